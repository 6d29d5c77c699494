// "Trier les lignes" and "Tuez les doublons" over 100 000 lines of accented
// text, each beside std::sort of the same lines (bytewise, already split).
// The commands run under a UTF-8 locale, as the program does: collation keys
// are what they cost.
#include <benchmark/benchmark.h>
#include <glib.h>

#include <algorithm>
#include <clocale>
#include <random>
#include <string>
#include <vector>

#include "shell/lines.h"
#include "tools/text_transform.h"

namespace {

constexpr std::size_t line_count = 100000;

// Lines of 20 to 60 characters from a French alphabet, accented letters and
// blanks included; with `half_duplicates` every line appears twice, in an order
// that scatters the copies.
std::vector<std::string> sample_lines(bool half_duplicates) {
    static const std::vector<std::string> alphabet = {
        "a", "b", "c", "d", "e", "i", "l", "n", "o", "r", "s", "t", "u", " ", "é", "è",
        "ê", "à", "â", "ç", "ô", "û", "ù", "ï", "É", "À", "Ç", "œ", "E", "M", "P", "R"};
    std::mt19937 random(20240611);
    const std::size_t distinct = half_duplicates ? line_count / 2 : line_count;
    std::vector<std::string> lines;
    lines.reserve(line_count);
    for (std::size_t i = 0; i < distinct; ++i) {
        std::string line;
        const int length = std::uniform_int_distribution<int>(20, 60)(random);
        for (int c = 0; c < length; ++c)
            line += alphabet[random() % alphabet.size()];
        lines.push_back(std::move(line));
    }
    if (half_duplicates) {
        for (std::size_t i = 0; i < distinct; ++i)
            lines.push_back(lines[i]);
        std::shuffle(lines.begin(), lines.end(), random);
    }
    return lines;
}

// The program's locale when it is UTF-8, else C.UTF-8, for the time of a benchmark.
class Utf8Locale {
  public:
    Utf8Locale() : saved_(std::setlocale(LC_ALL, nullptr)) {
        std::setlocale(LC_ALL, "");
        if (!g_get_charset(nullptr)) std::setlocale(LC_ALL, "C.UTF-8");
    }
    ~Utf8Locale() { std::setlocale(LC_ALL, saved_.c_str()); }
    Utf8Locale(const Utf8Locale&) = delete;
    Utf8Locale& operator=(const Utf8Locale&) = delete;

  private:
    std::string saved_;
};

void sort_copies(benchmark::State& state, bool half_duplicates) {
    const std::vector<std::string> lines = sample_lines(half_duplicates);
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<std::string> copy = lines;
        state.ResumeTiming();
        std::sort(copy.begin(), copy.end());
        benchmark::DoNotOptimize(copy.data());
    }
}

void BM_BaselineStdSortLines(benchmark::State& state) {
    sort_copies(state, false);
}

void BM_SortLinesCommand(benchmark::State& state) {
    const Utf8Locale locale;
    const std::string text = lines_to_text(sample_lines(false));
    for (auto _ : state)
        benchmark::DoNotOptimize(sort_lines(text));
}

void BM_BaselineStdSortHalfDuplicates(benchmark::State& state) {
    sort_copies(state, true);
}

void BM_RemoveDuplicateLinesCommand(benchmark::State& state) {
    const Utf8Locale locale;
    const std::string text = lines_to_text(sample_lines(true));
    for (auto _ : state)
        benchmark::DoNotOptimize(remove_duplicate_lines(text));
}

} // namespace

BENCHMARK(BM_BaselineStdSortLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortLinesCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineStdSortHalfDuplicates)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RemoveDuplicateLinesCommand)->Unit(benchmark::kMillisecond);
