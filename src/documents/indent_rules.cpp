#include "documents/indent_rules.h"

#include <glib.h>

#include "documents/text_words.h"

std::string indent_unit(long tab_size, bool spaces) {
    if (!spaces) return "\t";
    return std::string(static_cast<std::size_t>(tab_size > 0 ? tab_size : 0), ' ');
}

long unindent_width(std::string_view line, long tab_size) {
    if (!line.empty() && line.front() == '\t') return 1;
    if (tab_size <= 0 || line.size() < static_cast<std::size_t>(tab_size)) return 0;
    for (long i = 0; i < tab_size; ++i)
        if (line[static_cast<std::size_t>(i)] != ' ') return 0;
    return tab_size;
}

LineRange block_lines(int start_line, int end_line, int end_line_offset) {
    if (end_line > start_line && end_line_offset == 0) return {start_line, end_line - 1};
    return {start_line, end_line};
}

std::string auto_indent_text(std::string_view line) {
    std::string out = "\n";
    for (const char* p = line.data(); p < line.data() + line.size(); p = g_utf8_next_char(p)) {
        const gunichar c = g_utf8_get_char_validated(p, line.data() + line.size() - p);
        if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) break;
        if (c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029 || !g_unichar_isspace(c)) break;
        out.append(p, static_cast<std::size_t>(g_utf8_next_char(p) - p));
    }
    return out;
}

// Braces are ASCII, so the walks go over bytes; only the result is converted.
long enclosing_block_start(std::string_view text, long cursor) {
    std::size_t at = utf8_byte_at(text, cursor);
    int depth = 0;
    while (at > 0) {
        const char c = text[--at];
        if (c == '}') {
            ++depth;
        } else if (c == '{') {
            if (depth == 0) return utf8_char_at(text, at + 1);
            --depth;
        }
    }
    return 0;
}

long enclosing_block_end(std::string_view text, long cursor) {
    std::size_t at = utf8_byte_at(text, cursor);
    if (at < text.size()) at = utf8_byte_at(text, cursor + 1);
    int depth = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (depth == 0) return utf8_char_at(text, at);
            --depth;
        }
    }
    return utf8_char_count(text);
}
