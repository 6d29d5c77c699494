// Sorting, list and filter commands over the lines of a text.
#include <glib.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <random>
#include <unordered_set>

#include "documents/text_words.h"
#include "shell/gobj.h"
#include "tools/text_line_shape.h"
#include "tools/text_transform.h"

namespace {

// The lines of `text` rewritten by `rewrite` (Lines& -> bool, false: no change).
template <typename Rewrite> TransformResult with_lines(std::string_view text, Rewrite rewrite) {
    if (!text_is_utf8(text)) return std::nullopt;
    LineShape shape = read_lines(text);
    if (shape.lines.empty() || !rewrite(shape.lines)) return std::nullopt;
    return write_lines(shape.lines, shape);
}

template <typename Keep> TransformResult keep_lines(std::string_view text, Keep keep) {
    return with_lines(text, [&](Lines& lines) {
        std::erase_if(lines, [&](const std::string& line) { return !keep(line); });
        return true;
    });
}

GCharPtr collate_key(std::string_view s) {
    return GCharPtr(g_utf8_collate_key(s.data(), static_cast<gssize>(s.size())));
}

GCharPtr collate_key_nocase(std::string_view s) {
    GCharPtr folded(g_utf8_casefold(s.data(), static_cast<gssize>(s.size())));
    return collate_key(folded.get());
}

// Stable sort of `lines` by the keys `key` makes of them.
template <typename Key> void sort_by_key(Lines& lines, Key key) {
    std::vector<std::pair<GCharPtr, std::size_t>> keyed;
    keyed.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i)
        keyed.emplace_back(key(lines[i]), i);
    std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
        const int order = std::strcmp(a.first.get(), b.first.get());
        return order != 0 ? order < 0 : a.second < b.second;
    });
    Lines sorted;
    sorted.reserve(lines.size());
    for (const auto& entry : keyed)
        sorted.push_back(std::move(lines[entry.second]));
    lines = std::move(sorted);
}

long line_length(std::string_view line) {
    return utf8_char_count(line_body(line));
}

// `templ` with every "%s" replaced by the line's text; a CR ending the line
// stays at the end.
std::string fill_line(std::string_view templ, std::string_view line) {
    std::string out;
    out.reserve(templ.size() + line.size());
    const std::string_view body = line_body(line);
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = templ.find("%s", start);
        if (at == std::string_view::npos) break;
        out.append(templ.substr(start, at - start));
        out.append(body);
        start = at + 2;
    }
    out.append(templ.substr(start));
    out.append(line_cr(line));
    return out;
}

std::string replace_numbers(std::string_view templ, std::string_view number) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = templ.find("%d", start);
        if (at == std::string_view::npos) break;
        out.append(templ.substr(start, at - start));
        out.append(number);
        start = at + 2;
    }
    out.append(templ.substr(start));
    return out;
}

} // namespace

TransformResult sort_lines(std::string_view text) {
    return with_lines(text, [](Lines& lines) {
        sort_by_key(lines, collate_key);
        return true;
    });
}

TransformResult sort_lines_nocase(std::string_view text) {
    return with_lines(text, [](Lines& lines) {
        sort_by_key(lines, collate_key_nocase);
        return true;
    });
}

TransformResult sort_lines_by_length(std::string_view text) {
    return with_lines(text, [](Lines& lines) {
        std::ranges::stable_sort(lines, {}, line_length);
        std::ranges::reverse(lines);
        return true;
    });
}

TransformResult reverse_lines(std::string_view text) {
    return with_lines(text, [](Lines& lines) {
        std::ranges::reverse(lines);
        return true;
    });
}

TransformResult remove_empty_lines(std::string_view text) {
    return keep_lines(text, [](std::string_view line) { return !line_body(line).empty(); });
}

TransformResult remove_duplicate_lines(std::string_view text) {
    // A line identical to an earlier one collates equal to a kept line, so only
    // the first copy of each text costs a collation key.
    return with_lines(text, [](Lines& lines) {
        std::unordered_set<std::string_view> seen_texts, kept_keys;
        std::vector<GCharPtr> keys;
        seen_texts.reserve(lines.size());
        kept_keys.reserve(lines.size());
        keys.reserve(lines.size());
        std::vector<bool> keep(lines.size(), false);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (!seen_texts.insert(lines[i]).second) continue;
            keys.push_back(collate_key(lines[i]));
            keep[i] = kept_keys.insert(keys.back().get()).second;
        }
        std::size_t write = 0;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (keep[i]) {
                if (write != i) lines[write] = std::move(lines[i]);
                ++write;
            }
        lines.resize(write);
        return true;
    });
}

TransformResult number_lines(std::string_view text, std::string_view templ, long step,
                             long offset) {
    if (templ.find("%s") == std::string_view::npos) return std::nullopt;
    return with_lines(text, [&](Lines& lines) {
        long index = 0;
        for (auto& line : lines) {
            if (line.starts_with('#')) continue;
            const __int128 number =
                static_cast<__int128>(step) * (static_cast<__int128>(offset) + ++index);
            if (number > LLONG_MAX || number < LLONG_MIN) return false;
            line = fill_line(replace_numbers(templ, std::to_string(static_cast<long long>(number))),
                             line);
        }
        return true;
    });
}

TransformResult apply_line_template(std::string_view text, std::string_view templ) {
    if (templ.find("%s") == std::string_view::npos) return std::nullopt;
    return with_lines(text, [&](Lines& lines) {
        for (auto& line : lines)
            line = fill_line(templ, line);
        return true;
    });
}

TransformResult shuffle_lines(std::string_view text, std::uint64_t seed) {
    return with_lines(text, [&](Lines& lines) {
        std::mt19937_64 random(seed);
        std::ranges::shuffle(lines, random);
        return true;
    });
}

TransformResult remove_lines_containing(std::string_view text, std::string_view needle) {
    if (needle.empty()) return std::nullopt;
    return keep_lines(
        text, [&](std::string_view line) { return line.find(needle) == std::string_view::npos; });
}

TransformResult keep_lines_containing(std::string_view text, std::string_view needle) {
    if (needle.empty()) return std::nullopt;
    return keep_lines(
        text, [&](std::string_view line) { return line.find(needle) != std::string_view::npos; });
}

TransformResult remove_lines_shorter_than(std::string_view text, long n) {
    return keep_lines(text, [&](std::string_view line) { return line_length(line) >= n; });
}

TransformResult remove_lines_longer_than(std::string_view text, long n) {
    return keep_lines(text, [&](std::string_view line) { return line_length(line) <= n; });
}
