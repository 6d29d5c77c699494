#include "shell/message_format.h"

#include <array>
#include <glib.h>

#include "shell/gobj.h"

namespace {
// Copies `format`, turning "%%" into "%" and the first conversion found in
// `conversions` into `replacement`; every other "%" stays literal.
template <std::size_t N>
std::string substitute_once(std::string_view format,
                            const std::array<std::string_view, N>& conversions,
                            std::string_view replacement) {
    std::string out;
    out.reserve(format.size() + replacement.size());
    bool replaced = false;
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] != '%') {
            out += format[i++];
            continue;
        }
        std::string_view rest = format.substr(i + 1);
        if (!rest.empty() && rest[0] == '%') {
            out += '%';
            i += 2;
            continue;
        }
        std::size_t matched = 0;
        if (!replaced) {
            for (std::string_view c : conversions) {
                if (rest.substr(0, c.size()) == c) {
                    matched = c.size();
                    break;
                }
            }
        }
        if (matched) {
            out += replacement;
            replaced = true;
            i += 1 + matched;
        } else {
            out += '%';
            ++i;
        }
    }
    return out;
}
} // namespace

std::string format_with_text(std::string_view format, std::string_view argument) {
    static constexpr std::array<std::string_view, 1> kText{"s"};
    return substitute_once(format, kText, argument);
}

std::string format_with_number(std::string_view format, long argument) {
    static constexpr std::array<std::string_view, 4> kNumber{"ld", "li", "d", "i"};
    return substitute_once(format, kNumber, std::to_string(argument));
}

std::string valid_utf8(std::string text) {
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) return text;
    GCharPtr fixed(g_utf8_make_valid(text.data(), static_cast<gssize>(text.size())));
    return fixed.get();
}
