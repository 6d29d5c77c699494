// The one place that runs outside commands. Every argument the program inserts
// into a command line (file names, hosts, users) goes through shell_quote.
#pragma once

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Quotes a word for /bin/sh: `a b;rm -x` stays one word.
std::string shell_quote(std::string_view word);

// Quotes a word only when it needs it: a word made of letters, digits, non-ASCII
// bytes and `_@%+=:,./-` stays bare (`notes.txt`, `a/b-c`), anything else is
// quoted as shell_quote does; an empty word is `''`.
std::string shell_word(std::string_view word);

// A command line made of a fixed program part and quoted arguments:
// shell_command("chmod u+x", {path}) == "chmod u+x 'path'".
std::string shell_command(std::string_view program, std::initializer_list<std::string_view> args);

// Same as shell_fill_command below (kept for its callers).
std::string shell_fill_template(std::string_view templ, std::string_view arg);

// Runs `command` through /bin/sh and waits for it; the window blocks meanwhile.
// Returns the exit status (-1 when the shell could not be started).
int run_shell_sync(const std::string& command);
// Starts `command` through /bin/sh without waiting; false when it could not start.
bool run_shell_async(const std::string& command);

// Tests install a recorder: command lines are then handed to it instead of run,
// and the recorder's answer stands for the exit status.
using CommandRecorder = std::function<int(const std::string& command, bool sync)>;
void set_command_recorder(CommandRecorder recorder);

// A user's command template (browser, user menu, picture editor) where each "%s"
// stands for one argument, which the shell then sees as one whole, unchanged
// word wherever the "%s" stands. A plain argument (shell_word leaves it bare) is
// inserted as it is, so `firefox %s&` gives `firefox /tmp/a.html&`. Any other is
// quoted for its place: inside the template's own '…' that quote is closed
// around the quoted argument and reopened, inside "…" or ${…} its characters
// are escaped for double quotes, inside `…` it is escaped once more. Inside
// $((…)), where no quoting holds, only a plain argument goes in; a "%s" in a
// comment is dropped. A program that runs its argument as code (sh -c, eval)
// is beyond what quoting can protect.
std::string shell_fill_command(std::string_view templ, std::string_view arg);

// Starting a program with an argument vector without waiting for it; what it
// writes arrives line by line and its end is reported, all from the GLib main
// loop of the default context.
enum class OutputStream { out, err };
struct SpawnExit {
    bool success = false; // the wait status is a clean exit with code 0
    int exit_code = -1;   // -1 when the child did not exit normally (a signal)
    std::string message;  // GLib's reason when !success
};
struct SpawnLines {
    std::vector<std::string> argv;
    std::string working_dir;  // empty: the program's current folder
    bool search_path = false; // an argv[0] without "/" is looked up on PATH
    // Each line of output without its LF, as it arrives; a last line without LF
    // comes at the end of its stream, a line longer than 64 KiB in pieces.
    // Null: the child writes to the program's own standard output and error.
    std::function<void(OutputStream, std::string_view)> on_line;
    // Called once, after the child ended and its output was read to the end.
    std::function<void(const SpawnExit&)> on_exit;
};
// False, with `error` set when given, when the child could not start; no
// callback runs then. With a recorder installed, the recorder receives the
// argument vector as one quoted command line instead, and its answer is
// reported as the exit code from the main loop.
bool spawn_async_lines(SpawnLines job, std::string* error = nullptr);

// ---- Programs started from an argument vector, without a shell ----

// One program to run: argv[0] is looked up in PATH when it holds no '/'.
struct ArgvCommand {
    std::vector<std::string> argv;
    // Set for the child on top of the inherited environment. Never recorded: it may
    // carry credentials.
    std::vector<std::pair<std::string, std::string>> env;
    // The child's standard input (at most 64 KiB); none: /dev/null. Never recorded.
    std::optional<std::string> input;
    // After this many milliseconds the child's whole process group is killed; 0: no limit.
    int time_limit_ms = 0;
};

struct ArgvResult {
    bool started = false;   // false: the program could not be started (see `errors`)
    bool timed_out = false; // killed when the time limit ran out
    int status = -1;        // exit status when it exited, else -1
    std::string output;     // what it wrote on stdout (the last 64 KiB)
    std::string errors;     // what it wrote on stderr (the last 64 KiB), or why it did not start
    bool ok() const { return started && !timed_out && status == 0; }
};

// The child runs in a session of its own (no controlling terminal, so nothing can
// stop to ask a question on one); stdout and stderr go to unlinked temporary files,
// not pipes, so a child that leaves a daemon behind holding them does not keep us
// waiting.
ArgvResult run_argv_sync(const ArgvCommand& command);
// Starts the child and returns at once; `done` runs later on the GLib main loop of
// the default context, once the child has exited or been killed.
void run_argv_async(const ArgvCommand& command, std::function<void(const ArgvResult&)> done);

// The argument vector as a line for /bin/sh, each word through shell_word: what logs
// and tests show of a run. Holds nothing of the environment or the input.
std::string argv_to_shell_line(const std::vector<std::string>& argv);

// Tests install a recorder: it sees each argument vector (never the environment nor
// the input) before the run; an answer stands for the run's result, none lets the
// program run for real.
using ArgvRecorder =
    std::function<std::optional<ArgvResult>(const std::vector<std::string>& argv, bool sync)>;
void set_argv_recorder(ArgvRecorder recorder);
