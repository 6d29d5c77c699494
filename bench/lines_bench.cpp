// Splitting and key-file parsing over a large text, beside one plain pass over
// the same bytes (counting line feeds with memchr).
#include <benchmark/benchmark.h>
#include <cstring>

#include "shell/key_file.h"
#include "shell/lines.h"

namespace {
std::string sample_text(std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i)
        text += "key_" + std::to_string(i) + "=some value with = signs " + std::to_string(i) + "\n";
    return text;
}

void BM_BaselineCountLineFeeds(benchmark::State& state) {
    const std::string text = sample_text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        std::size_t n = 0;
        for (const char* p = text.data(), *end = p + text.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_TextToLines(benchmark::State& state) {
    const std::string text = sample_text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(text_to_lines(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_ParseKeyText(benchmark::State& state) {
    const std::string text = sample_text(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(parse_key_text(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_PushLimitedHistory(benchmark::State& state) {
    Lines history;
    int i = 0;
    for (auto _ : state) lines_push_limited(history, "entry " + std::to_string(i++ % 12), 8);
}
} // namespace

BENCHMARK(BM_BaselineCountLineFeeds)->Arg(100000);
BENCHMARK(BM_TextToLines)->Arg(100000);
BENCHMARK(BM_ParseKeyText)->Arg(100000);
BENCHMARK(BM_PushLimitedHistory);
