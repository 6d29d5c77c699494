#include "documents/typing_rules.h"

#include <glib/gi18n-lib.h>

#include "shell/message_format.h"

std::optional<std::string> file_extension(std::string_view path) {
    // The name only: a dot in a folder name says nothing about the file.
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    return std::string(name.substr(dot));
}

std::optional<std::string> closing_for_typed(char32_t typed, std::string_view path,
                                             long use_textcompbloc) {
    if (typed == U'(') return std::string(")");
    if (use_textcompbloc != 1) return std::nullopt;
    const auto ext = file_extension(path);
    if (!ext) return std::nullopt;
    switch (typed) {
    case U'"':
        if (*ext != ".txt") return std::string("\"");
        break;
    case U'{':
        return std::string("}");
    case U'[':
        return std::string("]");
    case U'<':
        if (*ext == ".html" || *ext == ".htm" || *ext == ".php") return std::string(">");
        break;
    case U'\'':
        if (*ext != ".txt") return std::string("'");
        break;
    default:
        break;
    }
    return std::nullopt;
}

std::optional<std::string> autoreplace_for(const KeyTable& table, std::string_view word) {
    if (word.empty()) return std::nullopt;
    auto it = table.find(std::string(word));
    if (it == table.end()) return std::nullopt;
    return it->second;
}

std::string cursor_status_text(std::string_view path, long column, long line, long lines) {
    // Numbers first: a path may itself hold "%d".
    std::string text = _(" [File] : %s\t\t [Col] : %d \t\t[Ln] : %d/%d");
    text = format_with_number(text, column);
    text = format_with_number(text, line);
    text = format_with_number(text, lines);
    return format_with_text(text, path);
}
