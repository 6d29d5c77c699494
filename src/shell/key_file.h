// key=value files (orvane_rc, orvane_user_menu, orvane_autoreplace, project files)
// and the setting lookups made against them.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "shell/lines.h"

using KeyTable = std::unordered_map<std::string, std::string>;

// Lines starting with '#' are comments; others split at their first '='; lines
// without '=' are skipped; nothing is trimmed; the last occurrence of a key wins.
KeyTable parse_key_text(std::string_view text);
// None when the file is missing or unreadable (not an empty table).
std::optional<KeyTable> load_key_file(const std::string& path);

std::string get_string_setting(const std::optional<KeyTable>& table, const std::string& key,
                               std::string_view def);
// strtol, base 10: leading blanks and sign accepted, stops at the first non-digit,
// text without digits reads as 0.
long get_int_setting(const std::optional<KeyTable>& table, const std::string& key, long def);
long parse_long(std::string_view text);

// Lookups in a line list such as orvane_ui: the first line whose text before its
// first '=' collates equal to the key decides. None when that line has no '='.
std::optional<std::string> lines_lookup_string(const std::optional<Lines>& list,
                                               std::string_view key, std::string_view def);
long lines_lookup_int(const std::optional<Lines>& list, std::string_view key, long def);
