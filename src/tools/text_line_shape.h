// How the text commands read a text as lines and write lines back (see the
// comment at the top of text_transform.h).
#pragma once

#include <string>
#include <string_view>

#include "shell/lines.h"

struct LineShape {
    Lines lines;
    bool crlf = false;      // cut at CR LF: no line holds its line end's CR
    bool final_eol = false; // the text ended with a line end, not in `lines`
};

LineShape read_lines(std::string_view text);
// `lines` joined with the shape's line end, the final one put back when any
// line is left.
std::string write_lines(const Lines& lines, const LineShape& shape);

// The line without a carriage return at its end, and that CR (or nothing).
std::string_view line_body(std::string_view line);
std::string_view line_cr(std::string_view line);

// Valid UTF-8 without NUL bytes, what a text buffer holds.
bool text_is_utf8(std::string_view text);
