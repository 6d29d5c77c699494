#include "tools/symbol_scan.h"

#include <algorithm>
#include <unordered_set>

#include "documents/file_open_rules.h"
#include "documents/path_helpers.h"
#include "shell/message_format.h"
#include "tools/code_lines.h"

using namespace code_lines;

namespace {

bool checks_terminators(std::string_view path) {
    auto ext = base_name_extension(path);
    return ext == ".pl" || ext == ".php" || ext == ".c" || ext == ".h";
}

// The first byte of the line that is not a space, a tab or a NUL (0 if none).
char first_dense(std::string_view line) {
    for (char c : line)
        if (c != ' ' && c != '\t' && c != '\0') return c;
    return 0;
}

// Statement ends, block openers and continued lines, and labels ("case 1:").
bool ends_a_statement(char last) {
    return std::string_view(";/}),. \t{(:").find(last) != std::string_view::npos;
}

bool is_else_or_case_prefix(std::string_view t) {
    return t == "e" || t == "el" || t == "els" || t == "else" || t == "c" || t == "ca" ||
           t == "cas" || t == "case";
}

void add_row(SymbolScan& scan, SymbolKind kind, std::string_view text, int line) {
    scan.rows.push_back({kind, std::string(cut_utf8(text)), line});
}

// A row for the line when it is an include, declaration or form-variable line;
// false when the line is left to the terminator check.
bool capture(SymbolScan& scan, std::string_view line, std::size_t start, int number) {
    std::string_view code = line.substr(start);
    std::string_view head = code.substr(0, kTextLimit);
    auto match = match_keyword(head, start > 0 ? line[start - 1] : '\0');
    switch (match.keyword) {
    case Keyword::include:
        if (auto name = first_quoted(code)) add_row(scan, SymbolKind::include, *name, number);
        return true;
    case Keyword::function:
    case Keyword::sub:
        add_row(scan, SymbolKind::declaration, code.substr(match.end), number);
        return true;
    default:
        break;
    }
    if (!has_form_variable(head)) return false;
    add_row(scan, SymbolKind::form_variable, code.substr(0, code.find(']')), number);
    return true;
}

void check_terminator(SymbolScan& scan, std::string_view line, std::size_t start, int number) {
    char dense = first_dense(line);
    // Comments and preprocessor lines say nothing about statements.
    if (dense == '#' || dense == '/' || dense == '*') return;
    std::string_view t = line.substr(start);
    char last = t.back();
    if (last == ')') {
        if (!is_control_line(t)) {
            add_row(scan, SymbolKind::suspect, t, number);
            scan.marked_lines.push_back(number);
        }
        return;
    }
    if (ends_a_statement(last) || is_else_or_case_prefix(t)) return;
    if (dense == '<' || dense == '?' || dense == 'p') return;
    scan.marked_lines.push_back(number);
}

} // namespace

SymbolScan symbol_scan(std::string_view text, std::string_view path) {
    SymbolScan scan;
    scan.rows.push_back({SymbolKind::suspect, {}, 0});
    const bool check = checks_terminators(path);
    for_each_line(text, [&](std::string_view line, int number) {
        std::size_t start = code_start(line);
        if (start == std::string_view::npos) return;
        if (capture(scan, line, start, number)) return;
        if (check) check_terminator(scan, line, start, number);
    });
    return scan;
}

const char* symbol_kind_pixmap(SymbolKind kind) {
    switch (kind) {
    case SymbolKind::include:
        return "orvane_log.png";
    case SymbolKind::declaration:
        return "orvane_exe.png";
    case SymbolKind::form_variable:
        return "orvane_package.png";
    case SymbolKind::suspect:
        break;
    }
    return "orvane_bug.png";
}

std::vector<std::string> include_file_paths(std::string_view text, std::string_view document_path) {
    auto slash = document_path.rfind('/');
    std::string_view folder =
        slash == std::string_view::npos ? std::string_view{} : document_path.substr(0, slash + 1);
    std::vector<std::string> paths;
    std::unordered_set<std::string> seen;
    for (const auto& row : symbol_scan(text, {}).rows) {
        if (row.kind != SymbolKind::include || row.text.empty()) continue;
        // A name holding a NUL cannot name a file; opening it would open another.
        if (row.text.find('\0') != std::string::npos) continue;
        // A leading "/" is the document's folder too: the quoted part of
        // `require __DIR__ . "/lib.php"` is the name that follows that folder.
        std::string_view name = row.text;
        name.remove_prefix(std::min(name.find_first_not_of('/'), name.size()));
        if (name.empty()) continue;
        std::string path = resolve_path(name, folder);
        if (seen.insert(path).second) paths.push_back(std::move(path));
    }
    return paths;
}

std::string scan_text_from_bytes(std::string_view bytes, const std::string& charset) {
    if (auto decoded = decode_file_bytes(bytes, charset, {})) return std::move(decoded->text);
    std::string text(bytes);
    for (char& c : text)
        if (c == '\0') c = ' ';
    return valid_utf8(std::move(text));
}
