#include "snippets/ui/file_headers.h"

#include <ctime>

#include "documents/ui/documents.h"
#include "snippets/script_headers.h"
#include "tools/html_template.h"

namespace {
void insert_pieces(ScriptKind kind) {
    for (const auto& piece : script_header_pieces(kind, std::time(nullptr)))
        doc_insert_at_cursor(piece);
}
} // namespace

void insert_bash_header() { insert_pieces(ScriptKind::bash); }
void insert_perl_header() { insert_pieces(ScriptKind::perl); }
void insert_php_header() { insert_pieces(ScriptKind::php); }
void insert_html_skeleton() { doc_insert_at_cursor(html_page_skeleton()); }

void insert_new_file_header(const std::string& name) {
    switch (new_file_header_for(name)) {
    case NewFileHeader::bash: insert_bash_header(); break;
    case NewFileHeader::perl: insert_perl_header(); break;
    case NewFileHeader::php: insert_php_header(); break;
    case NewFileHeader::html: insert_html_skeleton(); break;
    case NewFileHeader::none: break;
    }
}
