// Rules of the command entry above the editor and of the file panel's name entry.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/lines.h"

// The command-entry history keeps at most `famous_history_max` entries.
void command_history_push(Lines& history, std::string_view text, long famous_history_max);

// Typing in the command entry marks matches only in documents whose last line
// has an index of at most 999.
bool search_marks_allowed(int last_line_index);

// The file panel's "Create a directory" and "Create a File": the path made of the
// current folder, "/" and the typed name, or why there is none.
struct PanelTarget {
    enum Problem { ok, no_folder, no_name } problem = ok;
    std::string path;
};
PanelTarget panel_target(const std::optional<std::string>& folder, std::string_view name);
