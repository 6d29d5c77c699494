#include "snippets/ui/file_headers.h"

#include <ctime>

#include "documents/ui/document_hooks.h"
#include "documents/ui/documents.h"
#include "snippets/script_headers.h"
#include "tools/html_template.h"

namespace {
// The pieces go in one by one, inside one user action so that one undo takes
// the whole header back.
void insert_pieces(ScriptKind kind) {
    GtkTextBuffer* buffer = current_document_buffer();
    if (!buffer) return;
    gtk_text_buffer_begin_user_action(buffer);
    for (const auto& piece : script_header_pieces(kind, std::time(nullptr)))
        doc_insert_at_cursor(piece);
    gtk_text_buffer_end_user_action(buffer);
}
} // namespace

void insert_bash_header() {
    insert_pieces(ScriptKind::bash);
}
void insert_perl_header() {
    insert_pieces(ScriptKind::perl);
}
void insert_php_header() {
    insert_pieces(ScriptKind::php);
}
void insert_html_skeleton() {
    doc_insert_at_cursor(html_page_skeleton());
}

void insert_new_file_header(const std::string& name) {
    switch (new_file_header_for(name)) {
    case NewFileHeader::bash:
        insert_bash_header();
        break;
    case NewFileHeader::perl:
        insert_perl_header();
        break;
    case NewFileHeader::php:
        insert_php_header();
        break;
    case NewFileHeader::html:
        insert_html_skeleton();
        break;
    case NewFileHeader::none:
        break;
    }
}
