// Replace-all as the command runs it on a page's buffer: a 10 MB text holding
// 100 000 occurrences, worked out in the core and applied to the buffer as one
// undo step. Beside it the plain pass that builds the same result string from
// positions known in advance: the least any replace-all can cost.
#include <benchmark/benchmark.h>
#include <cstdlib>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "documents/ui/search.h"

namespace {

constexpr std::size_t kOccurrences = 100000;
const std::string kFiller = std::string(93, 'x') + "\n";
const std::string kFind = "needle";
const std::string kReplacement = "pin";

const std::string& document() {
    static const std::string text = [] {
        std::string t;
        t.reserve(kOccurrences * (kFiller.size() + kFind.size()));
        for (std::size_t i = 0; i < kOccurrences; ++i)
            t.append(kFiller).append(kFind);
        return t;
    }();
    return text;
}

std::string replaced_document() {
    const std::string& text = document();
    std::string out;
    out.reserve(kOccurrences * (kFiller.size() + kReplacement.size()));
    for (std::size_t at = 0; at < text.size(); at += kFiller.size() + kFind.size())
        out.append(text, at, kFiller.size()).append(kReplacement);
    return out;
}

void BM_BaselineBuildReplacedText(benchmark::State& state) {
    for (auto _ : state) {
        std::string out = replaced_document();
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(document().size()));
}

// A page without window: its buffer is all replace-all touches.
void BM_ReplaceAllInPageBuffer(benchmark::State& state) {
    const std::string& text = document();
    DocumentPage page;
    page.buffer.reset(gtk_source_buffer_new(nullptr));
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page.buffer.get());
    for (auto _ : state) {
        state.PauseTiming();
        // Loaded as a file is: no undo history to grow from one round to the next.
        gtk_source_buffer_begin_not_undoable_action(page.buffer.get());
        gtk_text_buffer_set_text(buffer, text.data(), static_cast<gint>(text.size()));
        gtk_source_buffer_end_not_undoable_action(page.buffer.get());
        state.ResumeTiming();
        const std::size_t count = doc_replace_all(&page, kFind, kReplacement);
        if (count != kOccurrences) state.SkipWithError("not every occurrence was replaced");
    }
    if (doc_get_text(buffer) != replaced_document())
        state.SkipWithError("the buffer does not hold the replaced text");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

} // namespace

BENCHMARK(BM_BaselineBuildReplacedText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllInPageBuffer)->Unit(benchmark::kMillisecond);
