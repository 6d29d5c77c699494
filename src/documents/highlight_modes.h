// Highlight modes: the names a page stores, the source-view language each one
// selects, the mode a file name (or a script's first lines) asks for, and the
// colour themes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The modes in the order of the "Coloration syntaxique" menu.
const std::vector<std::string>& highlight_mode_names();

// What setting a mode does to a buffer's language.
struct LanguageChoice {
    enum Kind { keep, clear, set } kind = keep;
    std::string id; // for `set`: the source-view language id
};
// "none" clears the language; a name that is not a mode keeps the buffer's.
LanguageChoice language_for_mode(std::string_view mode);

// The mode a file name selects by its ending (case-insensitive); none when no
// ending matches.
std::optional<std::string> mode_for_file_name(std::string_view path);
// The mode a script's text selects by its interpreter line; none otherwise.
std::optional<std::string> mode_for_content(std::string_view text);
// By file name first, then (when `by_content` is on and the file can be read)
// by the file's content; "none" when nothing matches.
std::string highlight_mode_for_file(const std::string& path, bool by_content);

// The colour themes: menu label and style-scheme id, in menu order.
struct ThemeEntry {
    const char* label;
    const char* scheme;
};
const std::vector<ThemeEntry>& theme_entries();
// The text orvane_theme holds for a scheme id.
std::string theme_file_text(std::string_view scheme);
// Whether a theme also colours the log and notes panels; the Tango scheme is
// kept for the editor and the shell view only.
bool theme_applies_to_panels(std::string_view scheme);
