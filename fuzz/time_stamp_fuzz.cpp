// The log's time stamp with the date_time setting taken from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string_view>

#include "shell/time_stamp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view format(reinterpret_cast<const char*>(data), size);
    std::tm when{};
    when.tm_year = 126;
    when.tm_mon = 11;
    when.tm_mday = 7;
    when.tm_hour = 12;
    when.tm_wday = 1;
    const std::string text = time_stamp_at(format, when);
    if (text.empty()) __builtin_trap();
    return 0;
}
