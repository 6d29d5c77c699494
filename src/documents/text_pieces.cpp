#include "documents/text_pieces.h"

namespace {
bool continues_character(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

std::size_t text_piece_end(std::string_view text, std::size_t from, std::size_t max) {
    if (from >= text.size()) return text.size();
    if (max == 0) max = 1;
    if (text.size() - from <= max) return text.size();
    std::size_t end = from + max;
    // The last line break of the stretch; a "\r" at its very end may be the
    // first half of "\r\n", which the next piece would turn into two breaks.
    for (std::size_t i = end; i > from; --i) {
        const char c = text[i - 1];
        if (c == '\n' || (c == '\r' && text[i] != '\n')) return i;
    }
    // One long line: a character boundary, not inside "\r\n".
    while (end > from && continues_character(text[end]))
        --end;
    if (end > from && text[end - 1] == '\r' && text[end] == '\n') --end;
    if (end > from) return end;
    // Not even one whole character fits in `max`: the first one goes alone.
    end = from + 1;
    while (end < text.size() && continues_character(text[end]))
        ++end;
    return end;
}
