// What the terminals are told to type: the run of the current script or of the
// project's build, the chmod that makes a script executable, the ssh login of
// a mount. Every name goes in as one shell word, bare when it is made only of
// letters, digits and `_@%+=:,./-` (shell_word), quoted otherwise.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/project_file.h"

// Typed into a fresh run terminal, in this order: the prompt becomes the date
// and time in brackets, then the screen is cleared.
inline constexpr std::string_view kRunPromptText = "PS1=\"[\\d \\t]\"\n";
inline constexpr std::string_view kRunClearText = "clear\n";

// Control characters (bytes below 0x20 and 0x7f) are never typed: the terminal
// and the shell's line editor act on them even inside quotes.
bool typable(std::string_view text);

// "Run script/bin" on the current document.
struct RunPlan {
    enum Outcome {
        script,          // ".sh" or ".pl": the file runs by its path
        project,         // ".c" or ".h": cd, make, cd, ./program
        no_project,      // ".c" or ".h" without a project with all three fields set
        other_extension, // nothing to run for this name
        untypable,       // a name or field holds a control character
    } outcome = other_extension;
    // For script and project: the text typed after the run terminal's reset.
    std::string typed;
};
// `file_name` is the document's file; `project` the loaded one or null. The
// extension after the last "." is compared exactly: ".sh", ".pl", ".c", ".h".
RunPlan run_plan(std::string_view file_name, const Project* project);

// "chmod u+x <path>": the path one word, "./" put before one starting with "-".
std::string chmod_command(std::string_view path);

// "ssh <user>@<host>\n", or "ssh <host>\n" for an empty user. None for an empty
// host, a host or user starting with "-" (ssh would read an option), or one
// that cannot be typed.
std::optional<std::string> ssh_typed_line(std::string_view host, std::string_view user);
