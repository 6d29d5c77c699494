// Saving a 50 MB document: the charset conversion and the safe write (temporary
// file, flush to disk, rename), in UTF-8 and in CP1251, beside `cp` copying the
// same bytes from one file to another. `cp` does not flush to disk; the flush
// alone is measured too, so its share of a save can be told apart.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include "documents/file_open_rules.h"
#include "documents/safe_write.h"
#include "shell/commands.h"
#include "shell/gobj.h"

namespace {

constexpr std::size_t kDocumentBytes = 50u * 1024 * 1024;

// Mixed Cyrillic and Latin text that CP1251 can hold, as long as a document.
const std::string& document_text() {
    static const std::string text = [] {
        const std::string line = "Привет, мир! Hello, world: <p class=\"x\">текст 12345</p>\n";
        std::string t;
        t.reserve(kDocumentBytes + line.size());
        while (t.size() < kDocumentBytes)
            t += line;
        return t;
    }();
    return text;
}

// A private folder for the files of one benchmark, removed afterwards.
class BenchFolder {
  public:
    BenchFolder() : path_(GCharPtr(g_dir_make_tmp("orvane-save-bench-XXXXXX", nullptr)).get()) {}
    ~BenchFolder() {
        GDir* dir = g_dir_open(path_.c_str(), 0, nullptr);
        if (dir) {
            while (const char* name = g_dir_read_name(dir))
                g_remove(file(name).c_str());
            g_dir_close(dir);
        }
        g_rmdir(path_.c_str());
    }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

void BM_BaselineCopyWithCp(benchmark::State& state) {
    BenchFolder folder;
    const std::string source = folder.file("source.txt");
    const std::string& text = document_text();
    g_file_set_contents(source.c_str(), text.data(), static_cast<gssize>(text.size()), nullptr);
    const std::string command = shell_command("cp", {source, folder.file("copy.txt")});
    for (auto _ : state)
        if (run_shell_sync(command) != 0) state.SkipWithError("cp failed");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void save(benchmark::State& state, const std::string& charset) {
    BenchFolder folder;
    const std::string path = folder.file("document.txt");
    const std::string& text = document_text();
    for (auto _ : state) {
        auto bytes = encode_text(text, charset);
        if (!bytes || !write_file_safely(path, *bytes).ok) state.SkipWithError("save failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_SaveUtf8(benchmark::State& state) {
    save(state, "UTF-8");
}

void BM_SaveCp1251(benchmark::State& state) {
    save(state, "CP1251");
}

// The same bytes written and flushed to disk, without conversion or rename.
void BM_WriteAndFlushOnly(benchmark::State& state) {
    BenchFolder folder;
    const std::string path = folder.file("plain.txt");
    const std::string& text = document_text();
    for (auto _ : state) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        std::size_t done = 0;
        while (fd >= 0 && done < text.size()) {
            ssize_t n = ::write(fd, text.data() + done, text.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        if (fd < 0 || done != text.size() || ::fsync(fd) != 0) state.SkipWithError("write failed");
        if (fd >= 0) ::close(fd);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

} // namespace

BENCHMARK(BM_BaselineCopyWithCp)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveUtf8)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveCp1251)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_WriteAndFlushOnly)->Unit(benchmark::kMillisecond)->UseRealTime();
