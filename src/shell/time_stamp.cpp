#include "shell/time_stamp.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {
constexpr std::size_t kBufferStart = 256;
// A field width such as "%2000000000Y" in the setting asks for gigabytes; a time
// stamp longer than this is refused rather than built.
constexpr std::size_t kBufferLimit = std::size_t{1} << 20;
const char* const kBlank = " ";

// strftime returns 0 both when the buffer is too small and when the text is
// empty. A leading marker makes every result non-empty, so a zero always means
// "grow"; growth doubles and stops at the limit (an empty result).
std::string format_locale(const std::string& locale_format, const std::tm& when) {
    const std::string marked = "#" + locale_format;
    std::string buffer;
    for (std::size_t size = kBufferStart; size <= kBufferLimit; size *= 2) {
        buffer.assign(size, '\0');
        std::size_t n = std::strftime(buffer.data(), buffer.size(), marked.c_str(), &when);
        if (n > 0) return buffer.substr(1, n - 1);
    }
    return {};
}
} // namespace

std::string time_stamp_at(std::string_view format, const std::tm& when) {
    if (format.empty()) return kBlank;
    const std::string utf8_format(format);
    GCharPtr locale_format(g_locale_from_utf8(utf8_format.c_str(), -1, nullptr, nullptr, nullptr));
    if (!locale_format) return kBlank;
    std::string text = format_locale(locale_format.get(), when);
    if (text.empty()) return kBlank;
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    GCharPtr converted(
        g_locale_to_utf8(text.data(), static_cast<gssize>(text.size()), nullptr, nullptr, nullptr));
    return converted ? std::string(converted.get()) : std::string(kBlank);
}

std::string time_stamp(std::string_view format) {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    if (!localtime_r(&now, &local)) return kBlank;
    return time_stamp_at(format, local);
}
