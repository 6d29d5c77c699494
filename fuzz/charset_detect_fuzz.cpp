// Charset autodetection from arbitrary bytes: the vector scan, the portable
// scan and a plain substring search over the marker table must agree, and the
// Japanese guess must always name a charset.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "documents/charset_detect.h"

namespace {

std::optional<std::string> plain_search(std::string_view bytes, const CharsetDetectFlags& flags) {
    if (bytes_are_utf8(bytes)) return std::string("UTF-8");
    for (const auto& lang : charset_marker_languages()) {
        if (!(flags.*(lang.flag))) continue;
        for (const auto& m : lang.markers)
            if (bytes.find(m) != std::string_view::npos) return std::string(lang.result);
    }
    return std::nullopt;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    // The first two bytes choose the enabled languages.
    unsigned bits = data[0] | (data[1] << 8);
    std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);
    CharsetDetectFlags flags;
    const auto& langs = charset_marker_languages();
    for (std::size_t i = 0; i < langs.size(); ++i)
        flags.*(langs[i].flag) = (bits >> i) & 1;

    auto fast = charset_autodetect(bytes, flags);
    if (fast != charset_autodetect_portable(bytes, flags)) __builtin_trap();
    if (fast != plain_search(bytes, flags)) __builtin_trap();

    std::string jp = japanese_autodetect(bytes);
    if (jp != "ISO-2022-JP-2" && jp != "UTF-8" && jp != "Shift_JIS" && jp != "EUC-JP")
        __builtin_trap();
    return 0;
}
