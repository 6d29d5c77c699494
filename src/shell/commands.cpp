#include "shell/commands.h"

#include <glib.h>
#include <sys/wait.h>

#include "shell/gobj.h"
#include "shell/lines.h"

namespace {
CommandRecorder& recorder() {
    static CommandRecorder r;
    return r;
}
} // namespace

std::string shell_quote(std::string_view word) {
    std::string out = "'";
    for (char c : word) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

std::string shell_word(std::string_view word) {
    if (word.empty()) return "''";
    for (unsigned char c : word) {
        bool bare =
            (c >= 0x80) || g_ascii_isalnum(c) ||
            std::string_view("_@%+=:,./-").find(static_cast<char>(c)) != std::string_view::npos;
        if (!bare) return shell_quote(word);
    }
    return std::string(word);
}

std::string shell_command(std::string_view program, std::initializer_list<std::string_view> args) {
    std::string out(program);
    for (auto a : args) {
        out += ' ';
        out += shell_quote(a);
    }
    return out;
}

std::string shell_fill_template(std::string_view templ, std::string_view arg) {
    return fill_template(templ, shell_quote(arg));
}

void set_command_recorder(CommandRecorder r) {
    recorder() = std::move(r);
}

int run_shell_sync(const std::string& command) {
    if (recorder()) return recorder()(command, true);
    const gchar* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    gint status = 0;
    if (!g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_CHILD_INHERITS_STDIN,
                      nullptr, nullptr, nullptr, nullptr, &status, nullptr))
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool run_shell_async(const std::string& command) {
    if (recorder()) return recorder()(command, false) == 0;
    const gchar* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    return g_spawn_async(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_DEFAULT, nullptr,
                         nullptr, nullptr, nullptr);
}

// ---- Programs started from an argument vector ----

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <glib-unix.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
ArgvRecorder& argv_recorder() {
    static ArgvRecorder r;
    return r;
}

constexpr std::size_t kCapturedMax = 64 * 1024;

// A file descriptor closed when it goes out of scope.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

// An unlinked temporary file: only our descriptor and the child's copy reach it.
Fd capture_file() {
    gchar* name = nullptr;
    int fd = g_file_open_tmp("orvane-run-XXXXXX", &name, nullptr);
    if (name) {
        ::unlink(name);
        g_free(name);
    }
    return Fd(fd);
}

// The last kCapturedMax bytes of a capture file.
std::string read_capture(int fd) {
    if (fd < 0) return {};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return {};
    const off_t size = st.st_size;
    const off_t start = size > static_cast<off_t>(kCapturedMax) ? size - kCapturedMax : 0;
    std::string out(static_cast<std::size_t>(size - start), '\0');
    std::size_t have = 0;
    while (have < out.size()) {
        ssize_t n = ::pread(fd, out.data() + have, out.size() - have, start + have);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        have += static_cast<std::size_t>(n);
    }
    out.resize(have);
    return out;
}

void new_session(gpointer) {
    ::setsid();
}

// A started child: its pid, and what the parent keeps of its output files.
struct Child {
    GPid pid = 0;
    Fd out, err;
    ArgvResult result;
};

// Spawns the child. On failure `child.result` says why and pid stays 0.
void spawn_child(const ArgvCommand& command, Child& child) {
    if (command.argv.empty()) {
        child.result.errors = "empty command";
        return;
    }
    if (command.input && command.input->size() > kCapturedMax) {
        child.result.errors = "input too large";
        return;
    }
    GStrvPtr envp(g_get_environ());
    for (const auto& [name, value] : command.env)
        envp.reset(g_environ_setenv(envp.release(), name.c_str(), value.c_str(), TRUE));
    std::vector<const gchar*> argv;
    for (const auto& a : command.argv)
        argv.push_back(a.c_str());
    argv.push_back(nullptr);

    Fd in;
    Fd in_writer;
    if (command.input) {
        int fds[2];
        if (!g_unix_open_pipe(fds, FD_CLOEXEC, nullptr)) {
            child.result.errors = g_strerror(errno);
            return;
        }
        in = Fd(fds[0]);
        in_writer = Fd(fds[1]);
        // A pipe holds 64 KiB, so the whole input fits before the child reads it.
        std::string_view rest = *command.input;
        while (!rest.empty()) {
            ssize_t n = ::write(in_writer.get(), rest.data(), rest.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            rest.remove_prefix(static_cast<std::size_t>(n));
        }
        in_writer.reset();
    } else {
        in = Fd(::open("/dev/null", O_RDONLY | O_CLOEXEC));
    }
    child.out = capture_file();
    child.err = capture_file();
    if (in.get() < 0 || child.out.get() < 0 || child.err.get() < 0) {
        child.result.errors = "cannot prepare the child's input and output";
        return;
    }
    GError* error = nullptr;
    GPid pid = 0;
    if (!g_spawn_async_with_pipes_and_fds(
            nullptr, argv.data(), envp.get(),
            static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD), new_session,
            nullptr, in.get(), child.out.get(), child.err.get(), nullptr, nullptr, 0, &pid, nullptr,
            nullptr, nullptr, &error)) {
        GErrorPtr owned(error);
        child.result.errors = owned->message;
        return;
    }
    child.pid = pid;
    child.result.started = true;
}

void kill_child_group(GPid pid) {
    // The child leads its own session; daemons it forked stay in its group.
    ::kill(-pid, SIGKILL);
    ::kill(pid, SIGKILL);
}

void finish_child(Child& child, int wait_status) {
    if (WIFEXITED(wait_status)) child.result.status = WEXITSTATUS(wait_status);
    child.result.output = read_capture(child.out.get());
    child.result.errors = read_capture(child.err.get());
    child.out.reset();
    child.err.reset();
}
} // namespace

void set_argv_recorder(ArgvRecorder r) {
    argv_recorder() = std::move(r);
}

std::string argv_to_shell_line(const std::vector<std::string>& argv) {
    std::string line;
    for (const auto& a : argv) {
        if (!line.empty()) line += ' ';
        line += shell_word(a);
    }
    return line;
}

ArgvResult run_argv_sync(const ArgvCommand& command) {
    if (argv_recorder()) {
        if (auto answer = argv_recorder()(command.argv, true)) return *answer;
    }
    Child child;
    spawn_child(command, child);
    if (!child.pid) return child.result;
    const gint64 deadline = command.time_limit_ms > 0
                                ? g_get_monotonic_time() + gint64(command.time_limit_ms) * 1000
                                : 0;
    int wait_status = 0;
    gulong pause_us = 1000;
    for (;;) {
        pid_t done = ::waitpid(child.pid, &wait_status, WNOHANG);
        if (done == child.pid) break;
        if (done < 0 && errno != EINTR) {
            wait_status = -1;
            break;
        }
        if (deadline && g_get_monotonic_time() >= deadline && !child.result.timed_out) {
            child.result.timed_out = true;
            kill_child_group(child.pid);
        }
        g_usleep(pause_us);
        pause_us = std::min<gulong>(pause_us * 2, 20000);
    }
    g_spawn_close_pid(child.pid);
    finish_child(child, wait_status);
    return child.result;
}

namespace {
struct AsyncRun {
    Child child;
    std::function<void(const ArgvResult&)> done;
    guint timeout_id = 0;
};

gboolean on_time_limit(gpointer data) {
    auto* run = static_cast<AsyncRun*>(data);
    run->timeout_id = 0;
    run->child.result.timed_out = true;
    kill_child_group(run->child.pid);
    return G_SOURCE_REMOVE;
}

void on_child_exit(GPid pid, gint wait_status, gpointer data) {
    std::unique_ptr<AsyncRun> run(static_cast<AsyncRun*>(data));
    if (run->timeout_id) g_source_remove(run->timeout_id);
    g_spawn_close_pid(pid);
    finish_child(run->child, wait_status);
    run->done(run->child.result);
}

// Hands a result that is known at once to the main loop, so `done` never runs
// before run_argv_async has returned.
void deliver_later(ArgvResult result, std::function<void(const ArgvResult&)> done) {
    struct Later {
        ArgvResult result;
        std::function<void(const ArgvResult&)> done;
    };
    auto later = std::make_unique<Later>(Later{std::move(result), std::move(done)});
    g_idle_add_full(
        G_PRIORITY_DEFAULT,
        [](gpointer data) -> gboolean {
            std::unique_ptr<Later> owned(static_cast<Later*>(data));
            owned->done(owned->result);
            return G_SOURCE_REMOVE;
        },
        later.release(), nullptr);
}
} // namespace

void run_argv_async(const ArgvCommand& command, std::function<void(const ArgvResult&)> done) {
    if (argv_recorder()) {
        if (auto answer = argv_recorder()(command.argv, false)) {
            deliver_later(std::move(*answer), std::move(done));
            return;
        }
    }
    auto run = std::make_unique<AsyncRun>();
    run->done = std::move(done);
    spawn_child(command, run->child);
    if (!run->child.pid) {
        deliver_later(std::move(run->child.result), std::move(run->done));
        return;
    }
    const GPid pid = run->child.pid;
    AsyncRun* raw = run.release();
    if (command.time_limit_ms > 0)
        raw->timeout_id =
            g_timeout_add(static_cast<guint>(command.time_limit_ms), on_time_limit, raw);
    g_child_watch_add(pid, on_child_exit, raw);
}
