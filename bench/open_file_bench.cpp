// The core half of opening a file: reading it whole from disk and turning its
// bytes into page text (UTF-8 validated and copied, or converted from a legacy
// charset), for files of 5 MB and 50 MB. The baseline reads the same file and
// copies its bytes once, which any open has to do at least.
#include <benchmark/benchmark.h>
#include <glib.h>
#include <glib/gstdio.h>

#include <string>
#include <unistd.h>

#include "documents/file_open_rules.h"

namespace {

std::string repeat_to(const std::string& piece, std::size_t size) {
    std::string text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    return text;
}

// A file in the temporary folder, removed when the program ends.
struct TempFile {
    std::string path;
    explicit TempFile(const std::string& bytes) {
        gchar* name = nullptr;
        const int fd = g_file_open_tmp("orvane-open-bench-XXXXXX", &name, nullptr);
        if (fd >= 0) close(fd);
        path = name ? name : "";
        g_free(name);
        g_file_set_contents(path.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), nullptr);
    }
    ~TempFile() { g_remove(path.c_str()); }
};

const char* const kFrench = "Le renard brun très rapide saute par-dessus le chien paresseux, "
                            "puis il s'en va vers la forêt où ses amis l'attendent.\n";

const TempFile& utf8_file(std::size_t size) {
    static const TempFile five(repeat_to(kFrench, 5u << 20));
    static const TempFile fifty(repeat_to(kFrench, 50u << 20));
    return size == 5 ? five : fifty;
}

const TempFile& latin1_file_5mb() {
    static const TempFile file([] {
        gsize written = 0;
        gchar* bytes = g_convert(kFrench, -1, "ISO-8859-1", "UTF-8", nullptr, &written, nullptr);
        std::string piece(bytes ? bytes : "", bytes ? written : 0);
        g_free(bytes);
        return repeat_to(piece, 5u << 20);
    }());
    return file;
}

std::string read_whole(const std::string& path) {
    gchar* data = nullptr;
    gsize length = 0;
    g_file_get_contents(path.c_str(), &data, &length, nullptr);
    std::string bytes(data ? data : "", length);
    g_free(data);
    return bytes;
}

void read_and_copy(benchmark::State& state, const TempFile& file) {
    std::size_t size = 0;
    for (auto _ : state) {
        std::string bytes = read_whole(file.path);
        size = bytes.size();
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void read_and_decode(benchmark::State& state, const TempFile& file, const char* charset) {
    const CharsetDetectFlags flags;
    std::size_t size = 0;
    for (auto _ : state) {
        gchar* data = nullptr;
        gsize length = 0;
        g_file_get_contents(file.path.c_str(), &data, &length, nullptr);
        auto text = decode_file_bytes(std::string_view(data, length), charset, flags);
        g_free(data);
        if (!text) state.SkipWithError("the file did not decode");
        size = length;
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(size));
}

void BM_BaselineReadAndCopy5MB(benchmark::State& state) {
    read_and_copy(state, utf8_file(5));
}
BENCHMARK(BM_BaselineReadAndCopy5MB)->Unit(benchmark::kMillisecond);

void BM_OpenReadUtf8_5MB(benchmark::State& state) {
    read_and_decode(state, utf8_file(5), "UTF-8");
}
BENCHMARK(BM_OpenReadUtf8_5MB)->Unit(benchmark::kMillisecond);

void BM_OpenReadLatin1_5MB(benchmark::State& state) {
    read_and_decode(state, latin1_file_5mb(), "ISO-8859-1");
}
BENCHMARK(BM_OpenReadLatin1_5MB)->Unit(benchmark::kMillisecond);

void BM_BaselineReadAndCopy50MB(benchmark::State& state) {
    read_and_copy(state, utf8_file(50));
}
BENCHMARK(BM_BaselineReadAndCopy50MB)->Unit(benchmark::kMillisecond);

void BM_OpenReadUtf8_50MB(benchmark::State& state) {
    read_and_decode(state, utf8_file(50), "UTF-8");
}
BENCHMARK(BM_OpenReadUtf8_50MB)->Unit(benchmark::kMillisecond);

} // namespace
