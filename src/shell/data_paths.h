// Where the installed read-only data lives; ORVANE_DATADIR and ORVANE_LOCALEDIR
// override the compiled-in places so the program runs from its source tree.
#pragma once

#include <string>
#include <string_view>

std::string data_dir();   // no trailing slash
std::string locale_dir(); // no trailing slash
std::string pixmap_path(std::string_view name); // data_dir()/pixmaps/name
std::string word_file_path(std::string_view name); // data_dir()/doc/name

inline constexpr const char* kProductName = "Orvane";
inline constexpr const char* kProductVersion = "1.6.4";
