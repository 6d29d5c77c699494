#include "documents/ui/document_hooks.h"

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "documents/ui/documents.h"
#include "documents/ui/page_loading.h"
#include "documents/ui/search.h"
#include "shell/gobj.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

GtkClipboard* clipboard() {
    return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
}

void to_clipboard(const std::string& text) {
    gtk_clipboard_set_text(clipboard(), text.data(), static_cast<gint>(text.size()));
}

std::optional<std::string> clipboard_text() {
    GCharPtr text(gtk_clipboard_wait_for_text(clipboard()));
    if (!text) return std::nullopt;
    return std::string(text.get());
}

GtkSourceBuffer* source_buffer(DocumentPage* page) {
    return page ? page->buffer.get() : nullptr;
}

} // namespace

GtkTextBuffer* current_document_buffer() {
    DocumentPage* page = current_document();
    return page ? GTK_TEXT_BUFFER(page->buffer.get()) : nullptr;
}

GtkWidget* current_document_view() {
    DocumentPage* page = current_document();
    return page ? page->view : nullptr;
}

std::optional<std::string> current_document_name() {
    DocumentPage* page = current_document();
    if (!page) return std::nullopt;
    return page->path;
}

void new_document() {
    new_document_command();
}

void new_document_with_text(std::string_view text) {
    new_document_page_with_text(text);
}

void close_current_document() {
    DocumentPage* page = current_document();
    if (!page) return;
    indicator_ok();
    close_page_at_index(index_of_page(page));
    update_editor_area();
}

void doc_replace_selection(std::string_view text) {
    doc_replace_selection(current_document(), text);
}

void apply_style_scheme(const std::string& name) {
    GtkSourceStyleScheme* scheme = gtk_source_style_scheme_manager_get_scheme(
        gtk_source_style_scheme_manager_get_default(), name.c_str());
    if (!scheme) return;
    for (int i = 0; i < document_count(); ++i)
        gtk_source_buffer_set_style_scheme(page_at_index(i)->buffer.get(), scheme);
}

void doc_find(std::string_view text) {
    doc_search(current_document(), text);
}

void doc_undo() {
    indicator_ok();
    GtkSourceBuffer* buffer = source_buffer(current_document());
    if (buffer && gtk_source_buffer_can_undo(buffer)) gtk_source_buffer_undo(buffer);
}

void doc_redo() {
    indicator_ok();
    GtkSourceBuffer* buffer = source_buffer(current_document());
    if (buffer && gtk_source_buffer_can_redo(buffer)) gtk_source_buffer_redo(buffer);
}

void doc_copy() {
    if (auto selection = doc_get_selection(current_document())) to_clipboard(*selection);
}

void doc_copy_all() {
    indicator_ok();
    if (DocumentPage* page = current_document())
        to_clipboard(doc_get_text(GTK_TEXT_BUFFER(page->buffer.get())));
}

void doc_cut() {
    indicator_ok();
    DocumentPage* page = current_document();
    if (auto selection = doc_get_selection(page)) {
        to_clipboard(*selection);
        doc_replace_selection(page, "");
    }
}

void doc_paste() {
    indicator_ok();
    DocumentPage* page = current_document();
    if (!page) return;
    if (auto text = clipboard_text()) doc_insert_at_cursor(page, *text);
}

void doc_exchange_clipboard() {
    DocumentPage* page = current_document();
    auto selection = doc_get_selection(page);
    if (!selection) return;
    auto text = clipboard_text();
    if (!text) return;
    doc_replace_selection(page, *text);
    to_clipboard(*selection);
}

void doc_delete_selection() {
    indicator_ok();
    doc_replace_selection(current_document(), "");
}

void doc_cut_to_new_document() {
    indicator_ok();
    DocumentPage* page = current_document();
    auto selection = doc_get_selection(page);
    if (!selection) return;
    doc_replace_selection(page, "");
    new_document_page_with_text(*selection);
}

void doc_copy_to_new_document() {
    indicator_ok();
    if (auto selection = doc_get_selection(current_document()))
        new_document_page_with_text(*selection);
}

void doc_paste_to_new_document() {
    indicator_ok();
    if (auto text = clipboard_text()) new_document_page_with_text(*text);
}

void doc_select_all() {
    GtkTextBuffer* buffer = current_document_buffer();
    if (!buffer) return;
    buffer_finish_loading(buffer);
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gtk_text_buffer_select_range(buffer, &start, &end);
}
