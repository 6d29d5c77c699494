// The symbol list of a file: its includes, function and sub declarations, uses
// of form variables, and the lines that seem to lack a statement terminator.
// The list shows the file as saved, so the scan reads the text of the file on
// disk, decoded with the page's charset.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class SymbolKind { include, declaration, form_variable, suspect };

struct SymbolRow {
    SymbolKind kind;
    std::string text; // UTF-8 when the scanned text is, at most 999 bytes, no CR or LF
    int line;         // 1-based; 0 for the list's first row, which has no line
    bool operator==(const SymbolRow&) const = default;
};

struct SymbolScan {
    // Always starts with the blank first row (suspect kind, empty text, line 0).
    std::vector<SymbolRow> rows;
    // 1-based lines to mark as suspect, ascending; the list's previous marks are
    // to be cleared first, and lines past the end of the buffer skipped.
    std::vector<int> marked_lines;
};

// Scans the UTF-8 `text` of the file at `path`. Rows come in line order:
//  - include: a line whose code starts with include, include_once, require or
//    require_once; the text is the name between its first two double quotes
//    (to the line end when there is one quote only; no row without a quote);
//  - declaration: a line that starts with "function" (after any of the
//    modifiers public, protected, private, static, abstract, final, async,
//    export, default) or with "sub"; the text is what follows the keyword;
//  - form variable: a line using $_GET, $_POST or $_REQUEST; the text is the
//    line from its first letter or digit up to its first ']';
//  - suspect: in .pl, .php, .c and .h files only, a line that is not a comment
//    nor a control line (if, while, for, foreach, switch, catch, ...) and whose
//    code ends with ')'; such a line is marked too.
// In those four kinds of file a line is also marked, with no row, when its code
// does not end in one of ; / } ) , . { ( : space tab, is not e, el, els, else,
// c, ca, cas, case, and does not start (ignoring blanks) with # / * < ? or p.
// Include, declaration and form-variable lines are never marked (an include
// line without a quote neither).
// An empty text gives the first row alone, which is also what a page without a
// file on disk shows.
SymbolScan symbol_scan(std::string_view text, std::string_view path);

// The picture of a row, a file name of the pixmaps folder.
const char* symbol_kind_pixmap(SymbolKind kind);

// The files that "Ouvrir les fichiers include" opens for the document at
// `document_path` whose saved text is `text`: the include rows' names, each
// put behind the document's folder (a leading "/" too, as in
// `require __DIR__ . "/lib.php"`), normalised, without empty names and without
// repeats, in line order. Whether each is an existing regular file is for the
// caller to check.
std::vector<std::string> include_file_paths(std::string_view text, std::string_view document_path);

// The bytes of a saved file as UTF-8 for the scanners, read in `charset` the
// way the page was opened ("UTF-8", "current locale" or a charset name). When
// the file no longer decodes (changed on disk since), bad sequences and NUL
// bytes are replaced so that the list still gets valid text.
std::string scan_text_from_bytes(std::string_view bytes, const std::string& charset);
