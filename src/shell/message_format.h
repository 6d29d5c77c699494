// Safe stand-ins for printf over program texts with one argument. A message is
// never used as a printf format: only the one conversion the caller promises is
// honoured, "%%" reads as "%", and anything else is shown as written.
#pragma once

#include <string>
#include <string_view>

// Replaces the first "%s" of `format` with `argument`.
std::string format_with_text(std::string_view format, std::string_view argument);

// Replaces the first "%d", "%i", "%ld" or "%li" of `format` with `argument` in decimal.
std::string format_with_number(std::string_view format, long argument);

// `text` itself when it is valid UTF-8, else with each bad sequence replaced, so
// that widgets, which refuse invalid text whole, show what they can.
std::string valid_utf8(std::string text);
