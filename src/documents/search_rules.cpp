#include "documents/search_rules.h"

#include <glib.h>

#include "shell/key_file.h"

namespace {

struct Char {
    gunichar c = 0;
    std::size_t bytes = 1;
    bool valid = false;
};

Char char_at(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) return {lead, 1, true};
    const gssize left = static_cast<gssize>(text.size() - at);
    gunichar c = g_utf8_get_char_validated(text.data() + at, left);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) return {};
    const char* next = g_utf8_next_char(text.data() + at);
    return {c, static_cast<std::size_t>(next - (text.data() + at)), true};
}

// Appends the search lower case of one character; returns its byte length.
std::size_t append_lower(std::string& out, std::string_view text, const Char& ch, std::size_t at) {
    const std::size_t before = out.size();
    if (!ch.valid) {
        // A stray byte stands for itself, so it can still match itself.
        out += text[at];
    } else if (ch.c < 0x80) {
        out += g_ascii_tolower(static_cast<char>(ch.c));
    } else if (ch.c == 0x0130) {
        out += "i\xCC\x87";
    } else {
        gunichar lower = g_unichar_tolower(ch.c);
        if (lower == 0x03C2) lower = 0x03C3;
        char buf[6];
        out.append(buf, static_cast<std::size_t>(g_unichar_to_utf8(lower, buf)));
    }
    return out.size() - before;
}

std::size_t lower_length(std::string_view text, const Char& ch, std::size_t at) {
    std::string scratch;
    return append_lower(scratch, text, ch, at);
}

} // namespace

std::optional<ReplaceCommand> parse_replace_command(std::string_view entry) {
    const auto first = entry.find('~');
    if (first == std::string_view::npos) return std::nullopt;
    std::string_view rest = entry.substr(first + 1);
    const auto second = rest.find('~');
    if (second != std::string_view::npos) rest = rest.substr(0, second);
    return ReplaceCommand{std::string(entry.substr(0, first)), std::string(rest)};
}

ReplaceResult replace_all_counted(std::string_view text, std::string_view find,
                                  std::string_view replacement) {
    ReplaceResult result;
    if (find.empty()) {
        result.text = text;
        return result;
    }
    result.text.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find(find); at != std::string_view::npos;
         at = text.find(find, start)) {
        if (result.count == 0) result.first = at;
        result.text.append(text.substr(start, at - start));
        result.text.append(replacement);
        start = at + find.size();
        ++result.count;
    }
    result.last_end = result.count ? start : 0;
    result.text.append(text.substr(start));
    return result;
}

ReplacedStretch replace_all_stretch(std::string_view text, std::string_view find,
                                    std::string_view replacement) {
    ReplacedStretch out;
    const std::size_t first = find.empty() ? std::string_view::npos : text.find(find);
    if (first == std::string_view::npos) return out;
    const std::string_view rest = text.substr(first);
    ReplaceResult replaced = replace_all_counted(rest, find, replacement);
    out.count = replaced.count;
    out.text = std::move(replaced.text);
    out.text.resize(out.text.size() - (rest.size() - replaced.last_end));
    static constexpr std::string_view kObject = "\xEF\xBF\xBC";
    for (auto at = out.text.find(kObject); at != std::string::npos; at = out.text.find(kObject, at))
        out.text.erase(at, kObject.size());
    out.from = utf8_char_count(text.substr(0, first));
    out.to = out.from + utf8_char_count(rest.substr(0, replaced.last_end));
    return out;
}

std::vector<CharRange> find_all(std::string_view text, std::string_view needle) {
    std::vector<CharRange> out;
    if (needle.empty()) return out;
    const long needle_chars = utf8_char_count(needle);
    // Characters are counted only over the stretches between matches.
    std::size_t counted_to = 0;
    long chars = 0;
    for (std::size_t at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + needle.size())) {
        chars += utf8_char_count(text.substr(counted_to, at - counted_to));
        out.push_back({chars, chars + needle_chars});
        chars += needle_chars;
        counted_to = at + needle.size();
    }
    return out;
}

std::string lower_for_search(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const Char ch = char_at(text, at);
        append_lower(out, text, ch, at);
        at += ch.bytes;
    }
    return out;
}

std::optional<TextSpan> find_without_case(std::string_view text, std::string_view needle,
                                          long cursor) {
    const std::string low_needle = lower_for_search(needle);
    if (low_needle.empty()) return std::nullopt;
    const std::size_t from = utf8_byte_at(text, cursor);
    const long from_char = utf8_char_at(text, from);
    const std::string_view tail = text.substr(from);
    if (tail.empty()) return std::nullopt;
    const std::string low = lower_for_search(tail);

    const std::size_t skip = lower_length(tail, char_at(tail, 0), 0);
    const std::size_t at = low.find(low_needle, skip);
    if (at == std::string::npos) return std::nullopt;
    const std::size_t match_end = at + low_needle.size();

    // Walk the original characters again beside their lower case: the match
    // starts in the character whose lower case holds its first byte and ends
    // with the one that holds its last.
    long index = 0;
    long start = -1;
    std::size_t low_pos = 0;
    std::size_t start_byte = 0;
    for (std::size_t byte = 0; byte < tail.size(); ++index) {
        const Char ch = char_at(tail, byte);
        low_pos += lower_length(tail, ch, byte);
        if (start < 0 && low_pos > at) {
            start = index;
            start_byte = byte;
        }
        byte += ch.bytes;
        if (low_pos >= match_end) {
            TextSpan span;
            span.start = from_char + start;
            span.end = from_char + index + 1;
            span.text = std::string(tail.substr(start_byte, byte - start_byte));
            return span;
        }
    }
    return std::nullopt;
}

long line_number_of_entry(std::string_view entry) {
    return parse_long(entry);
}
