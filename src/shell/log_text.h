// The texts of log entries, apart from the widgets that show them.
#pragma once

#include <string>
#include <string_view>

// Log kinds select the tag of the same name.
enum LogKind { LM_ERROR = 13, LM_NORMAL = 14, LM_ADVICE = 15, LM_GREET = 16 };

// The line under every entry.
inline constexpr std::size_t kLogRuleWidth = 56;

// "lm_error", "lm_normal", "lm_advice" or "lm_greet"; null for any other kind.
const char* log_tag_name(int kind);

// The head of a formatted entry: a tab, the time stamp, a tab.
std::string log_stamp_text(std::string_view stamp);

// `format` with its "%s" filled by `argument` (nothing else in it is a
// conversion), cut to the size the log allows, made valid UTF-8.
std::string log_formatted_text(std::string_view format, std::string_view argument);

// One entry's body: a blank, the text, a line feed, the rule, a line feed.
std::string log_entry_text(std::string_view text);
