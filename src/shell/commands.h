// The one place that runs outside commands. Every argument the program inserts
// into a command line (file names, hosts, users) goes through shell_quote.
#pragma once

#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

// Quotes a word for /bin/sh: `a b;rm -x` stays one word.
std::string shell_quote(std::string_view word);

// Quotes a word only when it needs it: a word made of letters, digits, non-ASCII
// bytes and `_@%+=:,./-` stays bare (`notes.txt`, `a/b-c`), anything else is
// quoted as shell_quote does; an empty word is `''`.
std::string shell_word(std::string_view word);

// A command line made of a fixed program part and quoted arguments:
// shell_command("chmod u+x", {path}) == "chmod u+x 'path'".
std::string shell_command(std::string_view program, std::initializer_list<std::string_view> args);

// A user's command template where each "%s" stands for one argument, which is
// inserted quoted for the shell.
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
