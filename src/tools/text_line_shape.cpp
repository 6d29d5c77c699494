#include "tools/text_line_shape.h"

#include <glib.h>

namespace {

bool every_lf_after_cr(std::string_view text) {
    bool any = false;
    for (std::size_t at = text.find('\n'); at != std::string_view::npos;
         at = text.find('\n', at + 1)) {
        if (at == 0 || text[at - 1] != '\r') return false;
        any = true;
    }
    return any;
}

void split_at(std::string_view body, std::string_view eol, Lines& out) {
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = body.find(eol, start);
        if (at == std::string_view::npos) break;
        out.emplace_back(body.substr(start, at - start));
        start = at + eol.size();
    }
    out.emplace_back(body.substr(start));
}

} // namespace

LineShape read_lines(std::string_view text) {
    LineShape shape;
    shape.crlf = every_lf_after_cr(text);
    const std::string_view eol = shape.crlf ? "\r\n" : "\n";
    std::string_view body = text;
    if (body.ends_with(eol)) {
        shape.final_eol = true;
        body.remove_suffix(eol.size());
    }
    // An empty text has no line; a lone line end has one empty line.
    if (!body.empty() || shape.final_eol) split_at(body, eol, shape.lines);
    return shape;
}

std::string write_lines(const Lines& lines, const LineShape& shape) {
    const std::string_view eol = shape.crlf ? "\r\n" : "\n";
    std::string out;
    if (lines.empty()) return out;
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + eol.size();
    out.reserve(total);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) out += eol;
        out += lines[i];
    }
    if (shape.final_eol) out += eol;
    return out;
}

std::string_view line_body(std::string_view line) {
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

std::string_view line_cr(std::string_view line) {
    return line.ends_with('\r') ? line.substr(line.size() - 1) : std::string_view();
}

bool text_is_utf8(std::string_view text) {
    return g_utf8_validate_len(text.data(), text.size(), nullptr);
}
