// The typing aids' decisions: which closing character a typed one brings, the
// autoreplace lookup, and the status line shown after each key.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/key_file.h"

// The extension of a file name: from the last "." of its last component on
// ("notes.txt" gives ".txt"); none when that component has no ".".
std::optional<std::string> file_extension(std::string_view path);

// The character inserted after the cursor when `typed` is typed in a page at
// `path`: ")" always; with `use_textcompbloc` 1 and a file name with an
// extension, "}" and "]", ">" in HTML and PHP pages, and the quote itself
// except in ".txt" files. None when the key is left alone.
std::optional<std::string> closing_for_typed(char32_t typed, std::string_view path,
                                             long use_textcompbloc);

// The replacement of a word typed before white space; none when the table
// lacks it (or the word is empty).
std::optional<std::string> autoreplace_for(const KeyTable& table, std::string_view word);

// " [File] : <path>\t\t [Col] : <col> \t\t[Ln] : <line>/<lines>", from 1.
std::string cursor_status_text(std::string_view path, long column, long line, long lines);
