// Command lines that hand the user's work to other desktop programs: DevHelp,
// GIMP and the web browsers of the "Navigateurs" menu.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/settings.h"

// "devhelp -s <text> &", the text one shell word (an empty text is '').
std::string devhelp_command(std::string_view text);

// "gimp <address> &", the address one shell word. None for an address starting
// with "-", which GIMP would take for an option.
std::optional<std::string> gimp_command(std::string_view address);

// The command template of the browser entry named `item` (compared exactly but
// without regard to ASCII case with opera, firefox, mozilla, konqueror, galeon,
// dillo, elinks, links, lynx, epiphany and "Other browser"), or none.
std::optional<std::string> browser_template(const Settings& settings, std::string_view item);

// The browser command for `file_name`: every "%s" of the template replaced by
// the file name as one shell word (shell_fill_command); a template without
// "%s" as it stands.
std::string browser_command(std::string_view templ, std::string_view file_name);

// The program a command line starts: its first word after any NAME=value
// assignments. None when that word is quoted, expanded or made from "%s", so
// that nothing can be said about it.
std::optional<std::string> command_program(std::string_view command);

// True when `program` can be started: a name without "/" found on PATH, or a
// path naming an executable regular file.
bool program_on_path(std::string_view program);
