// Charset autodetection from arbitrary bytes: the vector scan, the portable
// scan and a plain substring search over the marker table must agree, and the
// Japanese guess must always name a charset.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "documents/charset_detect.h"
#include "shell/gobj.h"

namespace {

// With a byte from 0x80-0x9F, a Latin answer becomes the Windows code page
// when the converter reads the whole text in it.
std::string with_code_page(std::string_view bytes, std::string latin) {
    const struct {
        const char *iso, *windows;
    } pages[] = {{"ISO-8859-1", "CP1252"},
                 {"ISO-8859-15", "CP1252"},
                 {"ISO-8859-2", "CP1250"},
                 {"ISO-8859-9", "CP1254"},
                 {"ISO-8859-13", "CP1257"}};
    bool c1 = false;
    for (char c : bytes)
        c1 |= (static_cast<unsigned char>(c) & 0xE0) == 0x80;
    for (const auto& p : pages) {
        if (latin != p.iso || !c1) continue;
        GCharPtr read(g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8", p.windows,
                                nullptr, nullptr, nullptr));
        if (read) return p.windows;
    }
    return latin;
}

std::optional<std::string> plain_search(std::string_view bytes, const CharsetDetectFlags& flags) {
    if (bytes_are_utf8(bytes)) return std::string("UTF-8");
    for (const auto& lang : charset_marker_languages()) {
        if (!(flags.*(lang.flag))) continue;
        for (const auto& m : lang.markers)
            if (bytes.find(m) != std::string_view::npos) return with_code_page(bytes, lang.result);
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
