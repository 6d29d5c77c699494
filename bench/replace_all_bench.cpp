// Replace-all over a 10 MB document holding 100 000 occurrences, beside one
// plain pass that builds the same result string from positions known in
// advance (no searching): the least any replace-all can cost.
#include <benchmark/benchmark.h>

#include "documents/search_rules.h"
#include "shell/lines.h"

namespace {

constexpr std::size_t kOccurrences = 100000;
const std::string kFiller = std::string(93, 'x') + "\n"; // 94 bytes
const std::string kFind = "needle";                      // 6 bytes: 100 per occurrence
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

void BM_BaselineBuildReplaced(benchmark::State& state) {
    const std::string& text = document();
    const std::size_t period = kFiller.size() + kFind.size();
    for (auto _ : state) {
        std::string out;
        out.reserve(kOccurrences * (kFiller.size() + kReplacement.size()));
        for (std::size_t at = 0; at < text.size(); at += period)
            out.append(text, at, kFiller.size()).append(kReplacement);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// The text rule of the command entry's "find~replacement", parse included.
void BM_ReplaceAllCommand(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        auto command = parse_replace_command("needle~pin");
        auto result = replace_all_counted(text, command->find, command->replacement);
        benchmark::DoNotOptimize(result.text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// The general helper the other tools use, for comparison.
void BM_ReplaceAllLines(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state) {
        auto result = replace_all(text, kFind, kReplacement);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

// Find without case lowers the text after the cursor; the needle here is
// absent, so the whole document is lowered and searched.
void BM_FindWithoutCaseWholeDocument(benchmark::State& state) {
    const std::string& text = document();
    for (auto _ : state)
        benchmark::DoNotOptimize(find_without_case(text, "Haystack", 0));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

} // namespace

BENCHMARK(BM_BaselineBuildReplaced)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplaceAllLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindWithoutCaseWholeDocument)->Unit(benchmark::kMillisecond);
