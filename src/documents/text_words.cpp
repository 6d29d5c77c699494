#include "documents/text_words.h"

#include <glib.h>

#include <algorithm>

namespace {

struct Decoded {
    char32_t c;
    std::size_t next;
};

// Invalid bytes (never found in an editor buffer) read as one U+FFFD each, so
// every walk below moves and ends.
Decoded decode_at(std::string_view text, std::size_t i) {
    const char* p = text.data() + i;
    const gssize left = static_cast<gssize>(text.size() - i);
    const gunichar c = g_utf8_get_char_validated(p, left);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return {0xFFFD, i + 1};
    const std::size_t length = static_cast<std::size_t>(g_utf8_skip[static_cast<guchar>(*p)]);
    return {static_cast<char32_t>(c), std::min(i + length, text.size())};
}

// The start of the character that ends at byte `i` (i > 0).
Decoded decode_before(std::string_view text, std::size_t i) {
    std::size_t j = i - 1;
    while (j > 0 && i - j < 4 && (static_cast<guchar>(text[j]) & 0xC0) == 0x80)
        --j;
    Decoded d = decode_at(text, j);
    if (d.next == i) return {d.c, j};
    return {0xFFFD, i - 1};
}

std::size_t count_chars(std::string_view text, std::size_t from, std::size_t to) {
    std::size_t n = 0;
    for (std::size_t i = from; i < to; i = decode_at(text, i).next)
        ++n;
    return n;
}

struct Located {
    std::size_t byte;
    long offset; // clamped to the text
};

Located locate(std::string_view text, long offset) {
    std::size_t i = 0;
    long n = 0;
    while (n < offset && i < text.size()) {
        i = decode_at(text, i).next;
        ++n;
    }
    return {i, n};
}

TextSpan to_text_span(std::string_view text, const Located& cursor, ByteSpan span) {
    const long before = static_cast<long>(count_chars(text, span.start, cursor.byte));
    const long after = static_cast<long>(count_chars(text, cursor.byte, span.end));
    return {cursor.offset - before, cursor.offset + after,
            std::string(text.substr(span.start, span.end - span.start))};
}

std::size_t word_start_byte(std::string_view text, std::size_t cursor_byte) {
    std::size_t i = cursor_byte;
    while (i > 0) {
        Decoded d = decode_before(text, i);
        if (is_word_delimiter(d.c)) break;
        i = d.next;
    }
    return i;
}

std::size_t word_end_byte(std::string_view text, std::size_t cursor_byte) {
    std::size_t i = cursor_byte;
    while (i < text.size()) {
        Decoded d = decode_at(text, i);
        if (is_word_delimiter(d.c)) break;
        i = d.next;
    }
    return i;
}

// The character offset of the nearest `wanted` character before `cursor`.
template <typename Pred>
std::optional<long> find_backward(std::string_view text, const Located& cursor, Pred wanted) {
    std::size_t i = cursor.byte;
    long offset = cursor.offset;
    while (i > 0) {
        Decoded d = decode_before(text, i);
        --offset;
        if (wanted(d.c)) return offset;
        i = d.next;
    }
    return std::nullopt;
}

bool is_line_end(char32_t c) {
    return c == '\n' || c == '\r' || c == 0x2029;
}

enum class WordKind { none, letters, numbers };

bool is_letter(GUnicodeType t) {
    return t == G_UNICODE_LOWERCASE_LETTER || t == G_UNICODE_MODIFIER_LETTER ||
           t == G_UNICODE_OTHER_LETTER || t == G_UNICODE_TITLECASE_LETTER ||
           t == G_UNICODE_UPPERCASE_LETTER;
}

bool is_number(GUnicodeType t) {
    return t == G_UNICODE_DECIMAL_NUMBER || t == G_UNICODE_LETTER_NUMBER ||
           t == G_UNICODE_OTHER_NUMBER;
}

bool continues_any_word(GUnicodeType t) {
    return t == G_UNICODE_SPACING_MARK || t == G_UNICODE_ENCLOSING_MARK ||
           t == G_UNICODE_NON_SPACING_MARK || t == G_UNICODE_FORMAT;
}

} // namespace

bool is_word_delimiter(char32_t c) {
    switch (c) {
    case 0:
    case '\'':
    case '"':
    case '`':
    case '(':
    case ')':
    case '[':
    case ']':
    case '{':
    case '}':
    case '<':
    case '>':
    case '=':
    case ',':
    case '!':
    case '-':
    case ':':
    case '?':
    case '+':
    case ';':
        return true;
    default:
        return g_unichar_isspace(static_cast<gunichar>(c));
    }
}

bool is_quote_char(char32_t c) {
    return c == '\'' || c == '"';
}

long utf8_char_count(std::string_view text) {
    return static_cast<long>(count_chars(text, 0, text.size()));
}

std::size_t utf8_byte_at(std::string_view text, long offset) {
    return locate(text, offset).byte;
}

long utf8_char_at(std::string_view text, std::size_t byte) {
    return static_cast<long>(count_chars(text, 0, std::min(byte, text.size())));
}

ByteSpan word_around_byte(std::string_view text, std::size_t cursor_byte) {
    cursor_byte = std::min(cursor_byte, text.size());
    return {word_start_byte(text, cursor_byte), word_end_byte(text, cursor_byte)};
}

ByteSpan word_before_byte(std::string_view text, std::size_t cursor_byte) {
    cursor_byte = std::min(cursor_byte, text.size());
    return {word_start_byte(text, cursor_byte), cursor_byte};
}

TextSpan word_around_cursor(std::string_view text, long cursor) {
    const Located at = locate(text, cursor);
    return to_text_span(text, at, word_around_byte(text, at.byte));
}

TextSpan word_before_cursor(std::string_view text, long cursor) {
    const Located at = locate(text, cursor);
    return to_text_span(text, at, word_before_byte(text, at.byte));
}

std::optional<TextSpan> goto_line_span(std::string_view text, long line) {
    if (line < 1) return std::nullopt;
    long current = 1;
    long offset = 0;
    long line_start = 0;
    std::size_t line_start_byte = 0;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decode_at(text, i);
        if (!is_line_end(d.c)) {
            i = d.next;
            ++offset;
            continue;
        }
        if (current == line)
            return TextSpan{line_start, offset,
                            std::string(text.substr(line_start_byte, i - line_start_byte))};
        i = d.next;
        ++offset;
        if (d.c == '\r' && i < text.size() && text[i] == '\n') {
            ++i;
            ++offset;
        }
        ++current;
        line_start = offset;
        line_start_byte = i;
    }
    return std::nullopt;
}

std::optional<long> previous_quote_offset(std::string_view text, long cursor) {
    return find_backward(text, locate(text, cursor), is_quote_char);
}

std::optional<long> after_previous_tag_offset(std::string_view text, long cursor) {
    auto is_close = [](char32_t c) { return c == '>'; };
    const Located at = locate(text, cursor);
    const std::optional<long> first = find_backward(text, at, is_close);
    if (!first) return std::nullopt;
    const std::optional<long> second =
        find_backward(text, Located{utf8_byte_at(text, *first), *first}, is_close);
    if (!second) return std::nullopt;
    return *second + 1;
}

std::optional<long> cursor_back_offset(long cursor, long n) {
    if (n <= 0 || n > cursor) return std::nullopt;
    return cursor - n;
}

std::string title_case(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    WordKind word = WordKind::none;
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decode_at(text, i);
        const auto c = static_cast<gunichar>(d.c);
        const GUnicodeType type = g_unichar_type(c);
        bool starts = false;
        if (is_letter(type)) {
            // A digit run swallows the letters that follow it ("2nd", "3.14abc").
            if (word == WordKind::none) {
                word = WordKind::letters;
                starts = true;
            }
        } else if (is_number(type)) {
            if (word != WordKind::numbers) {
                word = WordKind::numbers;
                starts = true;
            }
        } else if (!continues_any_word(type)) {
            word = WordKind::none;
        }
        const gunichar written = starts ? g_unichar_toupper(c) : c;
        if (d.c == 0xFFFD && d.next == i + 1 && static_cast<guchar>(text[i]) >= 0x80) {
            out.push_back(text[i]); // keep stray bytes as they were
        } else {
            char buffer[6];
            out.append(buffer, static_cast<std::size_t>(g_unichar_to_utf8(written, buffer)));
        }
        i = d.next;
    }
    return out;
}

std::vector<ByteSpan> layout_word_spans(std::string_view text) {
    std::vector<ByteSpan> words;
    WordKind word = WordKind::none;
    std::size_t start = 0;
    auto close = [&](std::size_t end) {
        if (word != WordKind::none) words.push_back({start, end});
        word = WordKind::none;
    };
    for (std::size_t i = 0; i < text.size();) {
        const Decoded d = decode_at(text, i);
        const GUnicodeType type = g_unichar_type(static_cast<gunichar>(d.c));
        if (is_letter(type)) {
            if (word == WordKind::none) {
                word = WordKind::letters;
                start = i;
            }
        } else if (is_number(type)) {
            if (word != WordKind::numbers) {
                close(i);
                word = WordKind::numbers;
                start = i;
            }
        } else if (!continues_any_word(type)) {
            close(i);
        }
        i = d.next;
    }
    close(text.size());
    return words;
}
