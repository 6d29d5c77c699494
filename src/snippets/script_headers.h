// The headers new script files start with: fixed text, the creation date as
// ctime lays it out, and a fixed ending. Each piece is one insertion.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

enum class ScriptKind { bash, perl, php };

// A macro as well, so that fixed fragments can be joined to it at compile time.
#define ORVANE_PRODUCT_ADDRESS "https://orvane.org"
inline constexpr const char* kProductAddress = ORVANE_PRODUCT_ADDRESS;

std::string ctime_line(std::time_t when); // "Mon Dec  7 12:38:45 2026\n"
std::vector<std::string> script_header_pieces(ScriptKind kind, std::time_t when);

// What a newly created file receives, by the text after the last '.' of its name
// (exact, case-sensitive): .sh, .pl, .php a script header, .html/.htm the page skeleton.
enum class NewFileHeader { none, bash, perl, php, html };
NewFileHeader new_file_header_for(std::string_view name);
