// Cutting a long text into pieces that a text buffer takes one after the other
// without anything changing at the seams.
#pragma once

#include <cstddef>
#include <string_view>

// Where the piece of `text` that starts at `from` ends, taking at most `max`
// bytes (at least one character): after the last line break in that stretch,
// else at a character boundary that does not part "\r" from "\n". The end of
// the text when the rest is no longer than `max`.
std::size_t text_piece_end(std::string_view text, std::size_t from, std::size_t max);
