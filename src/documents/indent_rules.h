// Indentation and block rules of the editor: the indent unit, what unindent
// removes, which lines a block indent touches, the auto-indent on Return and
// the jumps to the braces around the cursor. Offsets are character offsets.
#pragma once

#include <string>
#include <string_view>

// `tab_size` spaces when spaces are inserted on Tab, otherwise one tab.
std::string indent_unit(long tab_size, bool spaces);

// How many characters unindent removes at the start of `line`: one tab, or
// `tab_size` characters when they are all spaces, otherwise none.
long unindent_width(std::string_view line, long tab_size);

// The lines (counted from 0) a block indent acts on, from the line of the
// selection's start to the line of its end; a last line that begins exactly at
// the selection's end is left out, as it holds nothing of the selection.
struct LineRange {
    int first = 0;
    int last = 0;
    bool operator==(const LineRange&) const = default;
};
LineRange block_lines(int start_line, int end_line, int end_line_offset);

// What Return inserts with auto-indent: a newline and the white space that
// begins `line` (the cursor's line from its start).
std::string auto_indent_text(std::string_view line);

// Just after the "{" that opens the block around the cursor, found by walking
// back and skipping inner blocks; the start of the text when there is none.
long enclosing_block_start(std::string_view text, long cursor);
// On the "}" that closes the block around the cursor, searching from the
// character after the cursor's; the end of the text when there is none.
long enclosing_block_end(std::string_view text, long cursor);
