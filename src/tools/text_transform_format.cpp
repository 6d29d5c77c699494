// White space, wrapping, tabs and line ends.
#include "tools/text_line_shape.h"
#include "tools/text_transform.h"

namespace {

bool is_ascii_space(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool is_space_or_tab(char c) {
    return c == ' ' || c == '\t';
}

bool starts_char(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

std::string squeeze(std::string_view text) {
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = text.find(' ', start);
        std::string_view piece = text.substr(
            start, space == std::string_view::npos ? std::string_view::npos : space - start);
        while (!piece.empty() && is_ascii_space(piece.front()))
            piece.remove_prefix(1);
        while (!piece.empty() && is_ascii_space(piece.back()))
            piece.remove_suffix(1);
        if (!piece.empty()) {
            if (!out.empty()) out += ' ';
            out += piece;
        }
        if (space == std::string_view::npos) break;
        start = space + 1;
    }
    return out;
}

// Each line rewritten by `rewrite`, the line ends as they were.
template <typename Rewrite> TransformResult each_line(std::string_view text, Rewrite rewrite) {
    if (!text_is_utf8(text)) return std::nullopt;
    LineShape shape = read_lines(text);
    for (auto& line : shape.lines)
        line = rewrite(std::string_view(line));
    return write_lines(shape.lines, shape);
}

template <typename Edit>
std::vector<TextEdit> edits_at_each_char(std::string_view text, Edit edit) {
    std::vector<TextEdit> edits;
    if (!text_is_utf8(text)) return edits;
    long offset = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!starts_char(text[i])) continue;
        edit(text, i, offset, edits);
        ++offset;
    }
    return edits;
}

} // namespace

TransformResult squeeze_spaces(std::string_view text) {
    if (!text_is_utf8(text)) return std::nullopt;
    return squeeze(text);
}

TransformResult squeeze_spaces_each_line(std::string_view text) {
    return each_line(text, [](std::string_view line) {
        return squeeze(line_body(line)) + std::string(line_cr(line));
    });
}

TransformResult wrap_hard(std::string_view text, long width) {
    if (width < 1 || !text_is_utf8(text)) return std::nullopt;
    LineShape shape = read_lines(text);
    if (shape.lines.empty()) return std::nullopt;
    std::string joined;
    for (const auto& line : shape.lines)
        joined += line;
    Lines wrapped(1);
    long count = 0;
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (starts_char(joined[i]) && count++ == width) {
            wrapped.emplace_back();
            count = 1;
        }
        wrapped.back() += joined[i];
    }
    return write_lines(wrapped, shape);
}

TransformResult wrap_at_spaces(std::string_view text, long width) {
    if (width < 1 || !text_is_utf8(text)) return std::nullopt;
    std::vector<std::size_t> breaks;
    long position = 0, line_start = 0, last_space = 0, allowance = 0;
    std::size_t last_space_byte = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!starts_char(text[i])) continue;
        ++position;
        if (text[i] == ' ') {
            last_space = position;
            last_space_byte = i;
        } else if (text[i] == '\t') {
            allowance += 7; // a tab takes 8 columns
        } else if (text[i] == '\n') {
            line_start = position;
            allowance = 0;
        }
        if (position - line_start >= width - allowance && last_space > line_start &&
            last_space >= line_start + width / 2) {
            breaks.push_back(last_space_byte);
            line_start = last_space;
            allowance = 0;
        }
    }
    // A text with CR LF line ends gets CR LF line ends.
    const std::string_view eol = read_lines(text).crlf ? "\r\n" : "\n";
    std::string out;
    out.reserve(text.size() + breaks.size());
    std::size_t from = 0;
    for (const std::size_t at : breaks) {
        out.append(text.substr(from, at - from));
        out += eol;
        from = at + 1;
    }
    out.append(text.substr(from));
    return out;
}

TransformResult trim_line_starts(std::string_view text) {
    return each_line(text, [](std::string_view line) {
        while (!line.empty() && is_space_or_tab(line.front()))
            line.remove_prefix(1);
        return std::string(line);
    });
}

TransformResult trim_line_ends(std::string_view text) {
    return each_line(text, [](std::string_view line) {
        std::string_view body = line_body(line);
        while (!body.empty() && is_space_or_tab(body.back()))
            body.remove_suffix(1);
        return std::string(body) + std::string(line_cr(line));
    });
}

std::string apply_text_edits(std::string_view text, const std::vector<TextEdit>& edits) {
    std::string out;
    out.reserve(text.size());
    long offset = 0;
    std::size_t i = 0;
    // Copies up to character `target`.
    auto copy_to = [&](long target, bool keep) {
        while (i < text.size() && offset < target) {
            const std::size_t start = i++;
            while (i < text.size() && !starts_char(text[i]))
                ++i;
            if (keep) out.append(text.substr(start, i - start));
            ++offset;
        }
    };
    for (const auto& edit : edits) {
        copy_to(edit.start, true);
        copy_to(edit.end, false);
        out += edit.text;
    }
    out.append(text.substr(i));
    return out;
}

std::vector<TextEdit> tabs_to_spaces_edits(std::string_view text, long n) {
    const std::string spaces(static_cast<std::size_t>(n < 1 ? 1 : n), ' ');
    return edits_at_each_char(
        text, [&](std::string_view t, std::size_t i, long offset, std::vector<TextEdit>& edits) {
            if (t[i] == '\t') edits.push_back({offset, offset + 1, spaces});
        });
}

std::vector<TextEdit> spaces_to_tabs_edits(std::string_view text, long n) {
    if (n < 1) n = 1;
    long run = 0;
    return edits_at_each_char(
        text, [&](std::string_view t, std::size_t i, long offset, std::vector<TextEdit>& edits) {
            run = t[i] == ' ' ? run + 1 : 0;
            if (run == n) {
                edits.push_back({offset + 1 - n, offset + 1, "\t"});
                run = 0;
            }
        });
}

std::vector<TextEdit> crlf_to_lf_edits(std::string_view text) {
    return edits_at_each_char(
        text, [](std::string_view t, std::size_t i, long offset, std::vector<TextEdit>& edits) {
            if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')
                edits.push_back({offset, offset + 1, ""});
        });
}

std::vector<TextEdit> lf_to_crlf_edits(std::string_view text) {
    return edits_at_each_char(
        text, [](std::string_view t, std::size_t i, long offset, std::vector<TextEdit>& edits) {
            if (t[i] == '\n' && (i == 0 || t[i - 1] != '\r'))
                edits.push_back({offset, offset, "\r"});
        });
}
