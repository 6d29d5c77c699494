// Command-entry parameters, character commands and number conversions.
#include <glib.h>

#include <climits>

#include "documents/text_words.h"
#include "shell/gobj.h"
#include "tools/text_line_shape.h"
#include "tools/text_transform.h"

std::vector<std::string> entry_pieces(std::string_view entry, std::size_t max_pieces) {
    std::vector<std::string> pieces;
    if (entry.empty()) return pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = entry.find('~', start);
        if (at == std::string_view::npos || (max_pieces && pieces.size() + 1 == max_pieces)) break;
        pieces.emplace_back(entry.substr(start, at - start));
        start = at + 1;
    }
    pieces.emplace_back(entry.substr(start));
    return pieces;
}

namespace {

bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

std::size_t skip_blanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && is_blank(text[i]))
        ++i;
    return i;
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// The leading unsigned number of `text` in `base`; none without a digit or
// when it does not fit 64 bits.
std::optional<std::uint64_t> leading_unsigned(std::string_view text, int base) {
    std::size_t i = skip_blanks(text);
    if (base == 16 && i + 2 < text.size() && text[i] == '0' && (text[i + 1] | 0x20) == 'x' &&
        digit_value(text[i + 2]) < 16)
        i += 2;
    std::uint64_t value = 0;
    bool any = false;
    for (; i < text.size() && digit_value(text[i]) < base; ++i) {
        if (__builtin_mul_overflow(value, static_cast<std::uint64_t>(base), &value) ||
            __builtin_add_overflow(value, static_cast<std::uint64_t>(digit_value(text[i])), &value))
            return std::nullopt;
        any = true;
    }
    if (!any) return std::nullopt;
    return value;
}

TransformResult from_glib(gchar* converted) {
    GCharPtr owned(converted);
    if (!converted) return std::nullopt;
    return std::string(converted);
}

} // namespace

long entry_number(std::string_view piece) {
    std::size_t i = skip_blanks(piece);
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    long value = 0;
    for (; i < piece.size() && piece[i] >= '0' && piece[i] <= '9'; ++i) {
        const int d = piece[i] - '0';
        // Accumulate toward the sign so that LONG_MIN itself is reachable.
        if (__builtin_mul_overflow(value, 10L, &value) ||
            (negative ? __builtin_sub_overflow(value, static_cast<long>(d), &value)
                      : __builtin_add_overflow(value, static_cast<long>(d), &value)))
            return negative ? LONG_MIN : LONG_MAX;
    }
    return value;
}

TransformResult text_upper(std::string_view text) {
    if (!text_is_utf8(text)) return std::nullopt;
    return from_glib(g_utf8_strup(text.data(), static_cast<gssize>(text.size())));
}

TransformResult text_lower(std::string_view text) {
    if (!text_is_utf8(text)) return std::nullopt;
    return from_glib(g_utf8_strdown(text.data(), static_cast<gssize>(text.size())));
}

TransformResult text_title_case(std::string_view text) {
    if (!text_is_utf8(text)) return std::nullopt;
    return title_case(text);
}

TransformResult reverse_characters(std::string_view text) {
    if (!text_is_utf8(text)) return std::nullopt;
    const LineShape shape = read_lines(text);
    const std::string_view eol = shape.crlf ? "\r\n" : "\n";
    std::string_view body = text;
    if (shape.final_eol) body.remove_suffix(eol.size());
    std::string out(body.size(), '\0');
    std::size_t write = body.size();
    for (std::size_t i = 0; i < body.size();) {
        std::size_t next =
            static_cast<std::size_t>(g_utf8_next_char(body.data() + i) - body.data());
        if (body.substr(i, 2) == "\r\n") next = i + 2;
        write -= next - i;
        out.replace(write, next - i, body.substr(i, next - i));
        i = next;
    }
    if (shape.final_eol) out += eol;
    return out;
}

TransformResult arabic_to_roman(std::string_view text) {
    long value = entry_number(text);
    if (value < 1 || value > 3999) return std::nullopt;
    static constexpr struct {
        int value;
        const char* letters;
    } table[] = {{1000, "M"}, {900, "CM"}, {500, "D"}, {400, "CD"}, {100, "C"},
                 {90, "XC"},  {50, "L"},   {40, "XL"}, {10, "X"},   {9, "IX"},
                 {5, "V"},    {4, "IV"},   {1, "I"}};
    std::string out;
    for (const auto& step : table)
        for (; value >= step.value; value -= step.value)
            out += step.letters;
    return out;
}

TransformResult hex_to_decimal(std::string_view text) {
    const auto value = leading_unsigned(text, 16);
    if (!value) return std::nullopt;
    return std::to_string(*value);
}

TransformResult binary_to_decimal(std::string_view text) {
    const auto value = leading_unsigned(text, 2);
    if (!value) return std::nullopt;
    return std::to_string(*value);
}

TransformResult counter_text(long start, long end, long factor) {
    if (end < start) return std::nullopt;
    const __int128 count = static_cast<__int128>(end) - start + 1;
    const long lines = count > counter_max_lines ? counter_max_lines : static_cast<long>(count);
    // The products grow or shrink steadily, so checking both ends checks them all.
    const __int128 first = static_cast<__int128>(start) * factor;
    const __int128 last = (static_cast<__int128>(start) + lines - 1) * factor;
    for (const __int128 v : {first, last})
        if (v > LLONG_MAX || v < LLONG_MIN) return std::nullopt;
    std::string out;
    out.reserve(static_cast<std::size_t>(lines) * 8);
    for (long i = 0; i < lines; ++i) {
        if (i) out += '\n';
        out += std::to_string(static_cast<long long>((start + i) * static_cast<__int128>(factor)));
    }
    return out;
}
