#include "documents/path_at_cursor.h"

#include <glib.h>

#include "documents/path_helpers.h"
#include "shell/gobj.h"

namespace {

constexpr std::string_view kPicture = "\xEF\xBF\xBC"; // U+FFFC

bool is_continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// True when `needle` matches at byte `at`, pictures between its characters
// skipped. Pictures are only looked for at character starts of the needle, where
// the text is at a character start too.
bool matches_at(std::string_view text, std::size_t at, std::string_view needle) {
    std::size_t i = at;
    for (std::size_t k = 0; k < needle.size(); ++k) {
        if (!is_continuation(needle[k]))
            while (text.substr(i, kPicture.size()) == kPicture)
                i += kPicture.size();
        if (i >= text.size() || text[i] != needle[k]) return false;
        ++i;
    }
    return true;
}

} // namespace

TextSpan quoted_text_around(std::string_view text, long cursor) {
    const std::size_t at = utf8_byte_at(text, cursor);
    std::size_t start = at;
    while (start > 0) {
        const std::size_t before = start - 1;
        // Quotes are ASCII, so a byte test cannot hit the middle of a character.
        if (text[before] == '\'' || text[before] == '"') break;
        start = before;
    }
    std::size_t end = text.find_first_of("'\"", at);
    if (end == std::string_view::npos) end = text.size();
    const long start_offset = utf8_char_at(text, start);
    return {start_offset, start_offset + utf8_char_count(text.substr(start, end - start)),
            std::string(text.substr(start, end - start))};
}

std::optional<long> find_anchor(std::string_view text, long from, std::string_view name) {
    const std::string needle = std::string("<a name=\"") + std::string(name);
    std::size_t counted = utf8_byte_at(text, from);
    long offset = utf8_char_at(text, counted);
    for (std::size_t at = text.find('<', counted); at != std::string_view::npos;
         at = text.find('<', at + 1)) {
        if (!matches_at(text, at, needle)) continue;
        return offset + utf8_char_count(text.substr(counted, at - counted));
    }
    return std::nullopt;
}

PathAtCursor path_at_cursor(std::string_view text, long cursor, std::string_view page_path) {
    const std::string quoted = quoted_text_around(text, cursor).text;
    PathAtCursor result;
    if (!quoted.empty() && quoted.front() == '#') {
        const std::optional<long> at =
            find_anchor(text, cursor, std::string_view(quoted).substr(1));
        if (at) {
            result.kind = PathAtCursor::Kind::anchor;
            result.anchor_offset = *at;
        }
        return result;
    }
    std::string_view relative = quoted;
    if (!relative.empty() && relative.front() == '/') relative.remove_prefix(1);
    const std::string page(page_path);
    GCharPtr folder(g_path_get_dirname(page.c_str()));
    result.kind = PathAtCursor::Kind::path;
    result.path = resolve_path(relative, folder.get());
    return result;
}
