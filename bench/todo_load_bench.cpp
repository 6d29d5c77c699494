// Loading a todo folder of 5 000 row files into the table, beside reading the
// same files' bytes (open, read, close) in the same run. The window loads in
// slices between its events, so the longest slice stands for the longest stall
// the load can cause; it is reported as the counter longest_slice_ms.
#include <benchmark/benchmark.h>
#include <chrono>
#include <ctime>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include "shell/gobj.h"
#include "tools/todo_model.h"

namespace {

constexpr int kFiles = 5000;
constexpr std::size_t kFilesPerSlice = 100;

class RowFolder {
  public:
    RowFolder() : path_(GCharPtr(g_dir_make_tmp("orvane-todo-bench-XXXXXX", nullptr)).get()) {
        path_ += '/';
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = "user_" + std::to_string(1700000000 + i) + ".xml";
            const std::string text = todo_row_text(
                {{"Date", "2024-05-" + std::to_string(i % 28)},
                 {"Status", i % 3 ? "Mineur" : "Critique"},
                 {"User", "Zevavar"},
                 {"Notes", "Relire la page " + std::to_string(i) + " & corriger <title>"}});
            g_file_set_contents((path_ + name).c_str(), text.data(),
                                static_cast<gssize>(text.size()), nullptr);
            names_.push_back(name);
            bytes_ += text.size();
        }
    }
    ~RowFolder() {
        for (const std::string& name : names_)
            g_remove((path_ + name).c_str());
        g_rmdir(path_.c_str());
    }
    const std::string& path() const { return path_; }
    const std::vector<std::string>& names() const { return names_; }
    std::int64_t bytes() const { return static_cast<std::int64_t>(bytes_); }

  private:
    std::string path_;
    std::vector<std::string> names_;
    std::size_t bytes_ = 0;
};

const RowFolder& folder() {
    static RowFolder f;
    return f;
}

void BM_BaselineReadRowBytes(benchmark::State& state) {
    const RowFolder& f = folder();
    std::string buffer(64 * 1024, '\0');
    for (auto _ : state) {
        std::size_t total = 0;
        for (const std::string& name : f.names()) {
            int fd = ::open((f.path() + name).c_str(), O_RDONLY | O_CLOEXEC);
            if (fd < 0) state.SkipWithError("open failed");
            for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
                total += static_cast<std::size_t>(n);
            if (fd >= 0) ::close(fd);
        }
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * f.bytes());
}

double thread_cpu_ms() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// The longest slice of one refresh, in wall-clock time and in this thread's
// processor time (which other processes on a busy machine do not inflate).
struct Slices {
    double wall_ms = 0;
    double cpu_ms = 0;
    void merge(const Slices& o) {
        wall_ms = std::max(wall_ms, o.wall_ms);
        cpu_ms = std::max(cpu_ms, o.cpu_ms);
    }
    void report(benchmark::State& state) const {
        state.counters["longest_slice_ms"] = wall_ms;
        state.counters["longest_slice_cpu_ms"] = cpu_ms;
    }
};

Slices refresh_in_slices(TodoTable& table) {
    using Clock = std::chrono::steady_clock;
    Slices longest;
    TodoRefreshReport report;
    auto start = Clock::now();
    double cpu_start = thread_cpu_ms();
    bool more = table.begin_refresh(report);
    for (;;) {
        auto end = Clock::now();
        longest.merge({std::chrono::duration<double, std::milli>(end - start).count(),
                       thread_cpu_ms() - cpu_start});
        if (!more) break;
        report.changes.clear();
        start = Clock::now();
        cpu_start = thread_cpu_ms();
        more = table.refresh_step(kFilesPerSlice, report);
    }
    return longest;
}

void BM_TodoLoadFolder(benchmark::State& state) {
    const RowFolder& f = folder();
    Slices longest;
    for (auto _ : state) {
        TodoTable table(f.path());
        longest.merge(refresh_in_slices(table));
        if (table.rows().size() != static_cast<std::size_t>(kFiles))
            state.SkipWithError("rows lost");
    }
    state.SetBytesProcessed(state.iterations() * f.bytes());
    longest.report(state);
    state.counters["files_per_slice"] = static_cast<double>(kFilesPerSlice);
}

// The refresh the page runs when it is shown again: nothing changed.
void BM_TodoRefreshUnchanged(benchmark::State& state) {
    const RowFolder& f = folder();
    TodoTable table(f.path());
    TodoRefreshReport report;
    table.refresh(report);
    Slices longest;
    for (auto _ : state)
        longest.merge(refresh_in_slices(table));
    state.SetBytesProcessed(state.iterations() * f.bytes());
    longest.report(state);
}

} // namespace

BENCHMARK(BM_BaselineReadRowBytes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TodoLoadFolder)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TodoRefreshUnchanged)->Unit(benchmark::kMillisecond)->UseRealTime();
