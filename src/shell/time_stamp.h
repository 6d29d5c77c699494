// The time stamp shown in the log and inserted by "Date/Time".
#pragma once

#include <ctime>
#include <string>
#include <string_view>

// The current local time formatted by strftime with `format` (UTF-8, normally
// the date_time setting). The format goes through the locale's encoding and the
// result comes back as UTF-8. An empty format, a format or result that cannot be
// converted, or a format that formats to nothing or to more than a mebibyte
// (a huge field width) gives " ".
std::string time_stamp(std::string_view format);

// The same for a given broken-down time.
std::string time_stamp_at(std::string_view format, const std::tm& when);
