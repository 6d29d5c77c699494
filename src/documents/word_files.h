// Word files for completion: plain text, one word a line as a rule, though the
// completion picks words out of any text.
#pragma once

#include <string>
#include <string_view>

// Text of unsure charset as UTF-8, line by line so that one bad line costs only
// itself: a line that is valid UTF-8 is kept as it is, any other one is
// converted from the locale's charset. A line neither way can read is left out,
// or shown with U+FFFD in place of its bad bytes when `keep_unreadable` is set.
// Lines keep their line ends; nothing is ever cut inside a line.
std::string utf8_or_locale_lines(std::string_view bytes, bool keep_unreadable);

// A word file's bytes for a completion buffer: utf8_or_locale_lines, bad lines left out.
std::string word_file_text(std::string_view bytes);
