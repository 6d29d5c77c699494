// Names and titles of document pages: the numbering of new documents and what
// the window title shows for a page.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The number the next new document gets after `counter`: one more, except that
// 2147483646 is followed by 0, so the number never overflows an int.
int next_document_number(int counter);

// "noname_" and the number in decimal.
std::string new_document_name(int number);

// The window title for a page's path: the whole path, or only what follows its
// last "/" when `full_path` is off.
std::string document_window_title(std::string_view path, bool full_path);

// True when the part of `name` before its first "_" is exactly "noname" (a new
// document that has no file yet).
bool is_noname(std::string_view name);

// The folder of `path` (everything before its last "/"), or none without one.
std::optional<std::string> folder_of(std::string_view path);
