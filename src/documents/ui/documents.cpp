#include "documents/ui/documents.h"

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"

void doc_insert_at_cursor(std::string_view text) {
    doc_insert_at_cursor(current_document(), text);
}

void close_all_documents() {
    close_all_pages();
}

bool documents_may_quit() {
    return pages_may_quit();
}
