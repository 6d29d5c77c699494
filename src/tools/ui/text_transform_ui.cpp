#include "tools/ui/text_transform_ui.h"

#include <algorithm>
#include <glib/gi18n-lib.h>
#include <string>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/menu_builders.h"
#include "tools/text_transform_menu.h"

namespace {

GtkTextIter iter_at(GtkTextBuffer* buffer, long offset) {
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_offset(buffer, &it, static_cast<gint>(offset));
    return it;
}

// The marks put back after a rewrite of [start, end): the cursor keeps its side
// of a selection, or its place in a word.
void select_result(GtkTextBuffer* buffer, long start, long end, bool cursor_at_start) {
    GtkTextIter from = iter_at(buffer, start);
    GtkTextIter to = iter_at(buffer, end);
    if (cursor_at_start)
        gtk_text_buffer_select_range(buffer, &from, &to);
    else
        gtk_text_buffer_select_range(buffer, &to, &from);
}

void place_cursor(GtkTextBuffer* buffer, long offset) {
    GtkTextIter it = iter_at(buffer, offset);
    gtk_text_buffer_place_cursor(buffer, &it);
}

// The selection, or the word around the cursor for the rows that allow it.
void rewrite_selection(DocumentPage* page, const TextTransform& row, const std::string& entry) {
    GtkTextBuffer* buffer = doc_buffer(page);
    GtkTextIter start, end;
    if (gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) {
        const long from = gtk_text_iter_get_offset(&start);
        const long to = gtk_text_iter_get_offset(&end);
        const bool cursor_at_start = doc_get_cursor_offset(page) == from;
        auto text = doc_get_selection(page);
        if (!text) return;
        auto result = run_text_transform(row, {*text, entry, page->path});
        if (!result) return;
        doc_replace_range(page, from, to, *result);
        select_result(buffer, from, from + utf8_char_count(*result), cursor_at_start);
        return;
    }
    if (row.scope != TransformScope::selection_or_word) return;
    TextSpan word = doc_word_around_cursor(page);
    if (word.text.empty()) return;
    const long cursor = doc_get_cursor_offset(page);
    auto result = run_text_transform(row, {word.text, entry, page->path});
    if (!result) return;
    doc_replace_range(page, word.start, word.end, *result);
    place_cursor(buffer, std::min(cursor, word.start + utf8_char_count(*result)));
}

// Where an offset of the text before `edits` lies after them. An offset inside
// a rewritten range goes to the end of its replacement; an offset where text is
// inserted stays before it, so that a cursor at the end of a line never ends up
// between the CR and the LF a conversion puts there.
long offset_after_edits(long offset, const std::vector<TextEdit>& edits) {
    long shift = 0;
    for (const TextEdit& edit : edits) {
        if (edit.start >= offset) break;
        const long length = utf8_char_count(edit.text);
        if (edit.end > offset) return edit.start + shift + length;
        shift += length - (edit.end - edit.start);
    }
    return offset + shift;
}

long mark_offset(GtkTextBuffer* buffer, GtkTextMark* mark) {
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_mark(buffer, &it, mark);
    return gtk_text_iter_get_offset(&it);
}

// Edits applied last to first on the buffer itself, so that every mark outside
// the edited characters stays on its character; the cursor and the selection
// are then put back on theirs.
void edit_whole_text(DocumentPage* page, const TextTransform& row, const std::string& entry) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!row.edits) return;
    // One character per buffer position, so that the edits' offsets are the buffer's.
    const std::string text = doc_whole_slice(buffer);
    const auto edits = row.edits({text, entry, page->path});
    if (edits.empty()) return;
    const long cursor = mark_offset(buffer, gtk_text_buffer_get_insert(buffer));
    const long bound = mark_offset(buffer, gtk_text_buffer_get_selection_bound(buffer));
    gtk_text_buffer_begin_user_action(buffer);
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit)
        doc_replace_range(page, edit->start, edit->end, edit->text);
    gtk_text_buffer_end_user_action(buffer);
    GtkTextIter insert_at = iter_at(buffer, offset_after_edits(cursor, edits));
    GtkTextIter bound_at = iter_at(buffer, offset_after_edits(bound, edits));
    gtk_text_buffer_select_range(buffer, &insert_at, &bound_at);
}

void insert_at_cursor(DocumentPage* page, const TextTransform& row, const std::string& entry) {
    if (doc_has_selection(doc_buffer(page))) return;
    if (auto result = run_text_transform(row, {"", entry, page->path}))
        doc_insert_at_cursor(page, *result);
}

void report_in_new_document(DocumentPage* page, const TextTransform& row,
                            const std::string& entry) {
    GtkTextBuffer* buffer = doc_buffer(page);
    auto text = doc_get_selection(page);
    if (!text) text = doc_get_text(buffer);
    if (auto result = run_text_transform(row, {*text, entry, page->path}))
        new_document_with_text(*result);
}

} // namespace

void text_transform_run(const TextTransform& row) {
    DocumentPage* page = current_document();
    if (!doc_buffer(page)) return;
    std::string entry;
    if (row.prompt) {
        command_entry_prompt(row.prompt);
        entry = command_entry_text();
    }
    switch (row.scope) {
    case TransformScope::selection:
    case TransformScope::selection_or_word:
        rewrite_selection(page, row, entry);
        break;
    case TransformScope::cursor:
        insert_at_cursor(page, row, entry);
        break;
    case TransformScope::whole_text:
        edit_whole_text(page, row, entry);
        break;
    case TransformScope::selection_or_text:
        report_in_new_document(page, row, entry);
        break;
    }
}

void on_text_transform_item(GtkMenuItem* item, gpointer) {
    const std::string name = menu_item_name(item);
    for (const auto& row : text_transforms())
        if (name == _(row.label)) {
            text_transform_run(row);
            return;
        }
}
