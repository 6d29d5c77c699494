// Position entries: the "path,charset,offset" lines of the recent-files list,
// the session files and the bookmarks file, and the rules of those lists.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/lines.h"

struct PositionEntry {
    std::string path;    // UTF-8
    std::string charset; // as the open dialog names it ("UTF-8", "current locale", ...)
    long offset = 0;     // the cursor's character offset
    bool operator==(const PositionEntry&) const = default;
};

// The line "%s,%s,%d". None when it could not be read back as written: a line
// end in the path or charset (the entry would become two lines), a comma in the
// charset, or an empty path.
std::optional<std::string> format_position_entry(const PositionEntry& entry);

// Reads a line back. The charset and the offset are taken from the right, so a
// path that holds commas comes back whole. The offset reads as strtol would
// (leading blanks, a sign, digits; no digits gives 0; a negative one gives 0).
// None for a line of at most 2 characters, one with fewer than two commas, or
// one with an empty path.
std::optional<PositionEntry> parse_position_entry(std::string_view line);

// Puts `entry` first; when the list then holds more than `max` entries, the last
// one goes (only one: a longer bookmarks file read whole keeps its other lines).
void position_list_add(Lines& list, std::string entry, long max);

// The file text of a list: each non-empty entry followed by "\n".
std::string position_list_text(const Lines& list);

// The file text read back: split at "\n"; the empty piece after a final newline
// stays as an empty entry, which menus and opening skip.
Lines position_list_from_text(std::string_view text);

// A session: the entries of the pages in tab order, each added as above, so the
// last tab comes first and only the last `max` tabs are kept.
Lines session_list(const Lines& entries_in_tab_order, long max);
