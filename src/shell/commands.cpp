#include "shell/commands.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <glib-unix.h>
#include <glib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

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
    return shell_fill_command(templ, arg);
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

namespace {
// Where a "%s" of a command template stands, as /bin/sh reads the template.
// A `…` part is read apart: its text, once the shell has taken out the
// backslashes it removes, is a template of its own.
enum class QuoteKind { plain, single, dbl, command, param, arith, comment };
struct QuoteFrame {
    QuoteKind kind;
    bool in_dq = false; // a ${…} that stands inside "…"
    int depth = 0;      // open parentheses inside $(…) or $((…))
};

bool is_plain_word(std::string_view arg) {
    return !arg.empty() && shell_word(arg) == arg;
}

bool starts_word(char prev) {
    return prev == '\0' || std::string_view(" \t\n;&|()<>").find(prev) != std::string_view::npos;
}

// In $((…)) the expanded text is read again as an expression, where quotes
// protect nothing; a command substitution inside starts afresh.
bool in_arithmetic(const std::vector<QuoteFrame>& stack) {
    for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
        if (it->kind == QuoteKind::arith) return true;
        if (it->kind == QuoteKind::command) return false;
    }
    return false;
}

bool in_double_quotes(const QuoteFrame& f) {
    return f.kind == QuoteKind::dbl || (f.kind == QuoteKind::param && f.in_dq);
}

// The characters of `word` escaped so that inside "…" each stands for itself.
std::string dq_escaped(std::string_view word) {
    std::string out;
    for (char c : word) {
        if (c == '$' || c == '`' || c == '"' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// Inside `…` a backslash before \, ` or $ (and " when the `…` stands in "…") is
// taken out before the text runs.
bool escaped_in_backticks(char c, bool in_dq) {
    return c == '\\' || c == '`' || c == '$' || (in_dq && c == '"');
}

// The command text of the `…` part starting at `open`, and the index past it.
std::pair<std::string, std::size_t> backtick_body(std::string_view templ, std::size_t open,
                                                  bool in_dq) {
    std::string body;
    std::size_t i = open + 1;
    while (i < templ.size() && templ[i] != '`') {
        if (templ[i] == '\\' && i + 1 < templ.size()) {
            if (!escaped_in_backticks(templ[i + 1], in_dq)) body += '\\';
            body += templ[i + 1];
            i += 2;
        } else {
            body += templ[i++];
        }
    }
    return {body, i < templ.size() ? i + 1 : i};
}

std::string backtick_text(std::string_view command, bool in_dq) {
    std::string out = "`";
    for (char c : command) {
        if (escaped_in_backticks(c, in_dq)) out += '\\';
        out += c;
    }
    return out + "`";
}
} // namespace

std::string shell_fill_command(std::string_view templ, std::string_view arg) {
    std::vector<QuoteFrame> stack{{QuoteKind::plain}};
    std::string out;
    char prev = '\0';            // previous template character as the shell read it
    bool after_dollar = false;   // the "%s" follows an unquoted "$"
    bool lone_backslash = false; // inside "…", a literal backslash right before "%s"
    const bool plain = is_plain_word(arg);

    for (std::size_t i = 0; i < templ.size();) {
        const QuoteFrame top = stack.back();
        if (templ.compare(i, 2, "%s") == 0) {
            // "$'…'" or "$HOME" would not be the argument: the "$" stays a "$".
            if (after_dollar) out.insert(out.size() - 1, "\\");
            if (top.kind == QuoteKind::comment)
                ; // dropped
            else if (plain)
                out += arg;
            else if (in_arithmetic(stack))
                ; // no quoting holds there: only a plain word goes in
            else if (top.kind == QuoteKind::single)
                out += "'" + shell_quote(arg) + "'";
            else if (top.kind == QuoteKind::dbl)
                // Escaped in place: closing the quote could land inside a "${…",
                // where single quotes are taken literally.
                out += (lone_backslash ? "\\" : "") + dq_escaped(arg);
            else if (top.kind == QuoteKind::param)
                // A "…" holds inside ${…} whether that stands in "…" or not, in
                // dash and bash alike.
                out += "\"" + dq_escaped(arg) + "\"";
            else
                out += shell_quote(arg);
            i += 2;
            prev = 'x';
            after_dollar = lone_backslash = false;
            continue;
        }
        const char c = templ[i];
        const bool next_is_fill = templ.compare(i + 1, 2, "%s") == 0;
        after_dollar = lone_backslash = false;
        if (top.kind == QuoteKind::comment || top.kind == QuoteKind::single) {
            if ((top.kind == QuoteKind::comment && c == '\n') ||
                (top.kind == QuoteKind::single && c == '\''))
                stack.pop_back();
            out += c;
            ++i;
            continue;
        }
        if (c == '\\' && next_is_fill) {
            // Inside "…" this backslash is a literal one and stays (doubled when
            // the argument goes in escaped); elsewhere "\%" is only "%" and the
            // backslash would escape the quote that follows.
            if (top.kind == QuoteKind::dbl) {
                out += c;
                lone_backslash = true;
            }
            ++i;
            continue;
        }
        if (c == '\\' && i + 1 < templ.size()) {
            out += templ.substr(i, 2);
            prev = 'x';
            i += 2;
            continue;
        }
        if (c == '`') {
            const bool in_dq = in_double_quotes(top);
            auto [body, next] = backtick_body(templ, i, in_dq);
            if (body.find("%s") == std::string::npos)
                out += templ.substr(i, next - i);
            else
                out += backtick_text(shell_fill_command(body, arg), in_dq);
            prev = 'x';
            i = next;
            continue;
        }
        if (templ.compare(i, 3, "$((") == 0) {
            stack.push_back({QuoteKind::arith});
            out += "$((";
            prev = '(';
            i += 3;
            continue;
        }
        if (templ.compare(i, 2, "$(") == 0) {
            stack.push_back({QuoteKind::command});
            out += "$(";
            prev = '(';
            i += 2;
            continue;
        }
        if (templ.compare(i, 2, "${") == 0) {
            stack.push_back({QuoteKind::param, in_double_quotes(top)});
            out += "${";
            prev = '{';
            i += 2;
            continue;
        }
        switch (top.kind) {
        case QuoteKind::dbl:
            if (c == '"') stack.pop_back();
            break;
        case QuoteKind::param:
            if (c == '}')
                stack.pop_back();
            else if (c == '"')
                stack.push_back({QuoteKind::dbl});
            else if (c == '\'' && !top.in_dq)
                stack.push_back({QuoteKind::single});
            break;
        case QuoteKind::arith:
            if (c == '(') {
                ++stack.back().depth;
            } else if (c == ')' && top.depth > 0) {
                --stack.back().depth;
            } else if (c == ')' && templ.compare(i, 2, "))") == 0) {
                stack.pop_back();
                out += ')';
                ++i;
            }
            break;
        default: // plain or command
            if (c == '\'')
                stack.push_back({QuoteKind::single});
            else if (c == '"')
                stack.push_back({QuoteKind::dbl});
            else if (c == '#' && starts_word(prev))
                stack.push_back({QuoteKind::comment});
            else if (top.kind == QuoteKind::command && c == '(')
                ++stack.back().depth;
            else if (top.kind == QuoteKind::command && c == ')' && top.depth > 0)
                --stack.back().depth;
            else if (top.kind == QuoteKind::command && c == ')')
                stack.pop_back();
            break;
        }
        after_dollar = c == '$' && top.kind != QuoteKind::arith;
        out += c;
        prev = c;
        ++i;
    }
    return out;
}
namespace {
constexpr std::size_t kMaxLinePiece = 64 * 1024;

struct SpawnState;
struct StreamWatch {
    SpawnState* state = nullptr;
    OutputStream stream = OutputStream::out;
    GIOChannel* channel = nullptr;
    std::string partial;
};

struct SpawnState {
    SpawnLines job;
    StreamWatch streams[2];
    int open_streams = 0;
    bool exited = false;
    int wait_status = 0;
};

void finish_if_done(SpawnState* s) {
    if (!s->exited || s->open_streams > 0) return;
    SpawnExit result;
    GError* err = nullptr;
    result.success = g_spawn_check_wait_status(s->wait_status, &err);
    GErrorPtr owned(err);
    if (err) result.message = err->message;
    if (WIFEXITED(s->wait_status)) result.exit_code = WEXITSTATUS(s->wait_status);
    auto on_exit = std::move(s->job.on_exit);
    for (auto& w : s->streams)
        if (w.channel) g_io_channel_unref(w.channel);
    take_back<SpawnState>(s).reset();
    if (on_exit) on_exit(result);
}

void deliver(StreamWatch* w, bool at_end) {
    std::size_t start = 0;
    for (std::size_t nl; (nl = w->partial.find('\n', start)) != std::string::npos; start = nl + 1)
        w->state->job.on_line(w->stream, std::string_view(w->partial).substr(start, nl - start));
    w->partial.erase(0, start);
    while (w->partial.size() >= kMaxLinePiece) {
        w->state->job.on_line(w->stream, std::string_view(w->partial).substr(0, kMaxLinePiece));
        w->partial.erase(0, kMaxLinePiece);
    }
    if (at_end && !w->partial.empty()) {
        w->state->job.on_line(w->stream, w->partial);
        w->partial.clear();
    }
}

gboolean on_output(GIOChannel* channel, GIOCondition, gpointer data) {
    auto* w = static_cast<StreamWatch*>(data);
    char buffer[8192];
    for (;;) {
        gsize got = 0;
        GIOStatus status = g_io_channel_read_chars(channel, buffer, sizeof buffer, &got, nullptr);
        if (got > 0) {
            w->partial.append(buffer, got);
            deliver(w, false);
        }
        if (status == G_IO_STATUS_AGAIN) return G_SOURCE_CONTINUE;
        if (status == G_IO_STATUS_NORMAL) continue;
        deliver(w, true);
        SpawnState* s = w->state;
        --s->open_streams;
        finish_if_done(s);
        return G_SOURCE_REMOVE;
    }
}

struct RecordedExit {
    std::function<void(const SpawnExit&)> on_exit;
    int code = 0;
};

gboolean report_recorded_exit(gpointer data) {
    auto* recorded = static_cast<RecordedExit*>(data);
    SpawnExit result;
    result.exit_code = recorded->code;
    result.success = recorded->code == 0;
    if (recorded->on_exit) recorded->on_exit(result);
    return G_SOURCE_REMOVE;
}

void on_lines_child_exit(GPid pid, gint status, gpointer data) {
    auto* s = static_cast<SpawnState*>(data);
    g_spawn_close_pid(pid);
    s->exited = true;
    s->wait_status = status;
    finish_if_done(s);
}
} // namespace

bool spawn_async_lines(SpawnLines job, std::string* error) {
    if (job.argv.empty()) {
        if (error) *error = "empty command";
        return false;
    }
    if (recorder()) {
        std::string line = shell_word(job.argv[0]);
        for (std::size_t i = 1; i < job.argv.size(); ++i)
            line += ' ' + shell_word(job.argv[i]);
        auto recorded =
            std::make_unique<RecordedExit>(RecordedExit{std::move(job.on_exit), recorder()(line, false)});
        g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, report_recorded_exit,
                        hand_to_glib(std::move(recorded)), destroy_handed<RecordedExit>);
        return true;
    }

    std::vector<gchar*> argv;
    for (auto& a : job.argv)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const bool piped = static_cast<bool>(job.on_line);
    int flags = G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_CLOEXEC_PIPES;
    if (job.search_path) flags |= G_SPAWN_SEARCH_PATH;
    GPid pid = 0;
    gint out_fd = -1, err_fd = -1;
    GError* err = nullptr;
    if (!g_spawn_async_with_pipes(job.working_dir.empty() ? nullptr : job.working_dir.c_str(),
                                  argv.data(), nullptr, static_cast<GSpawnFlags>(flags), nullptr,
                                  nullptr, &pid, nullptr, piped ? &out_fd : nullptr,
                                  piped ? &err_fd : nullptr, &err)) {
        GErrorPtr owned(err);
        if (error) *error = err ? err->message : "spawn failed";
        return false;
    }
    // Owned by the child watch and the pipe watches until the last of them ends.
    auto* s = static_cast<SpawnState*>(
        hand_to_glib(std::make_unique<SpawnState>(SpawnState{std::move(job), {}, 0, false, 0})));
    if (piped) {
        const gint fds[2] = {out_fd, err_fd};
        for (int k = 0; k < 2; ++k) {
            StreamWatch& w = s->streams[k];
            w.state = s;
            w.stream = k == 0 ? OutputStream::out : OutputStream::err;
            w.channel = g_io_channel_unix_new(fds[k]);
            g_io_channel_set_close_on_unref(w.channel, TRUE);
            g_io_channel_set_encoding(w.channel, nullptr, nullptr);
            g_io_channel_set_buffered(w.channel, FALSE);
            g_io_channel_set_flags(w.channel, G_IO_FLAG_NONBLOCK, nullptr);
            ++s->open_streams;
            g_io_add_watch(w.channel, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                           on_output, &w);
        }
    }
    g_child_watch_add(pid, on_lines_child_exit, s);
    return true;
}

// ---- Programs started from an argument vector ----

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

void on_argv_child_exit(GPid pid, gint wait_status, gpointer data) {
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
    g_child_watch_add(pid, on_argv_child_exit, raw);
}
