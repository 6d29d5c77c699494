#include "documents/rtf_text.h"

#include <glib.h>

#include <algorithm>

#include "shell/gobj.h"

namespace {

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The value of up to two hexadecimal digits, read as far as they are digits.
unsigned hex_value(std::string_view digits) {
    unsigned v = 0;
    for (std::size_t i = 0; i < digits.size() && i < 2; ++i) {
        int d = hex_digit(digits[i]);
        if (d < 0) break;
        v = v * 16 + static_cast<unsigned>(d);
    }
    return v;
}

} // namespace

std::optional<std::string> rtf_extract_text(std::string_view bytes, const std::string& charset) {
    // The file is taken as text: a NUL byte ends it.
    bytes = bytes.substr(0, bytes.find('\0'));
    const std::size_t n = bytes.size();
    std::string out;
    out.reserve(n);
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        const char next = i + 1 < n ? bytes[i + 1] : '\0';
        if (c == '\\' && next == '\'') {
            // \'hh: one byte of the text's charset. A zero value would cut the
            // text short in the editor, so it gives nothing.
            unsigned v = hex_value(bytes.substr(i + 2, 2));
            if (v != 0) out.push_back(static_cast<char>(v));
            i = std::min(i + 4, n);
            continue;
        }
        if (c == '\\' && (next == 'p' || next == 't') && i + 2 < n && bytes[i + 2] == 'a') {
            // \par and \tab with the delimiter after them (\pard counts as \par).
            out.push_back(next == 'p' ? '\n' : '\t');
            i = std::min(i + 5, n);
            continue;
        }
        if (c == '{' && next == '\\') {
            // A group that opens with a control word loses everything up to the
            // next space; without one the rest of the text goes.
            std::size_t space = bytes.find(' ', i + 2);
            i = space == std::string_view::npos ? n : space + 1;
            continue;
        }
        if (c >= 0x20 && c < 0x80) out.push_back(static_cast<char>(c));
        ++i;
    }
    gsize written = 0;
    GCharPtr utf8(g_convert(out.data(), static_cast<gssize>(out.size()), "UTF-8", charset.c_str(),
                            nullptr, &written, nullptr));
    if (!utf8) return std::nullopt;
    return std::string(utf8.get(), written);
}
