#include "documents/ui/doc_primitives.h"

#include "documents/path_at_cursor.h"
#include "documents/ui/document_page.h"
#include "documents/ui/page_loading.h"
#include "shell/gobj.h"

GtkTextBuffer* doc_buffer(const DocumentPage* page) {
    return page && page->buffer ? GTK_TEXT_BUFFER(page->buffer.get()) : nullptr;
}

GtkTextIter doc_cursor_iter(GtkTextBuffer* buffer) {
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_mark(buffer, &it, gtk_text_buffer_get_insert(buffer));
    return it;
}

std::string doc_slice(const GtkTextIter& start, const GtkTextIter& end) {
    GCharPtr text(gtk_text_iter_get_slice(&start, &end));
    return text ? std::string(text.get()) : std::string();
}

std::string doc_whole_slice(GtkTextBuffer* buffer) {
    buffer_finish_loading(buffer);
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    return doc_slice(start, end);
}

void doc_line_bounds(const GtkTextIter& at, GtkTextIter& start, GtkTextIter& end) {
    start = at;
    gtk_text_iter_set_line_offset(&start, 0);
    end = start;
    if (!gtk_text_iter_ends_line(&end)) gtk_text_iter_forward_to_line_end(&end);
}

namespace {

GtkTextIter iter_at(GtkTextBuffer* buffer, long offset) {
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_offset(buffer, &it, static_cast<gint>(offset));
    return it;
}

// The cursor's line and the cursor's offset within it: a word never crosses a
// line end, so the word rules need no more text than that.
struct LineAtCursor {
    std::string text;
    long line_start = 0;
    long cursor = 0;
};

LineAtCursor line_at_cursor(GtkTextBuffer* buffer) {
    GtkTextIter cursor = doc_cursor_iter(buffer);
    GtkTextIter start, end;
    doc_line_bounds(cursor, start, end);
    LineAtCursor line;
    line.text = doc_slice(start, end);
    line.line_start = gtk_text_iter_get_offset(&start);
    line.cursor = gtk_text_iter_get_offset(&cursor) - line.line_start;
    return line;
}

TextSpan shifted(TextSpan span, long by) {
    span.start += by;
    span.end += by;
    return span;
}

void place_cursor_at(GtkTextBuffer* buffer, long offset) {
    GtkTextIter it = iter_at(buffer, offset);
    gtk_text_buffer_place_cursor(buffer, &it);
}

void scroll_cursor_to_top_left(const DocumentPage* page) {
    if (!page->view) return;
    GtkTextBuffer* buffer = doc_buffer(page);
    gtk_text_view_scroll_to_mark(GTK_TEXT_VIEW(page->view), gtk_text_buffer_get_insert(buffer), 0.0,
                                 TRUE, 0.0, 0.0);
}

} // namespace

std::optional<std::string> doc_get_selection(const DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return std::nullopt;
    GtkTextIter start, end;
    if (!gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) return std::nullopt;
    GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
    return std::string(text.get());
}

bool doc_has_selection(GtkTextBuffer* buffer) {
    return buffer && gtk_text_buffer_get_has_selection(buffer);
}

std::string doc_get_text(GtkTextBuffer* buffer) {
    if (!buffer) return {};
    buffer_finish_loading(buffer);
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    GCharPtr text(gtk_text_buffer_get_text(buffer, &start, &end, FALSE));
    return text.get();
}

void doc_insert_at_cursor(DocumentPage* page, std::string_view text) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    gtk_text_buffer_begin_user_action(buffer);
    gtk_text_buffer_insert_at_cursor(buffer, text.data(), static_cast<gint>(text.size()));
    gtk_text_buffer_end_user_action(buffer);
}

void doc_replace_range(DocumentPage* page, long start, long end, std::string_view text) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter from = iter_at(buffer, start);
    GtkTextIter to = iter_at(buffer, end);
    gtk_text_buffer_begin_user_action(buffer);
    gtk_text_buffer_delete(buffer, &from, &to);
    // `from` is revalidated by the deletion and sits where the range was.
    gtk_text_buffer_insert(buffer, &from, text.data(), static_cast<gint>(text.size()));
    gtk_text_buffer_end_user_action(buffer);
}

void doc_replace_selection(DocumentPage* page, std::string_view text) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter start, end;
    if (!gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) return;
    doc_replace_range(page, gtk_text_iter_get_offset(&start), gtk_text_iter_get_offset(&end), text);
}

void doc_goto_line(DocumentPage* page, long line) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    auto span = goto_line_span(doc_whole_slice(buffer), line);
    if (!span) return;
    place_cursor_at(buffer, span->start);
    scroll_cursor_to_top_left(page);
    GtkTextIter end = iter_at(buffer, span->end);
    gtk_text_buffer_move_mark(buffer, gtk_text_buffer_get_selection_bound(buffer), &end);
}

long doc_get_cursor_offset(const DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return 0;
    GtkTextIter it = doc_cursor_iter(buffer);
    return gtk_text_iter_get_offset(&it);
}

void doc_set_cursor_offset(DocumentPage* page, long offset) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    // A place in the part of a file still to come.
    if (offset > gtk_text_buffer_get_char_count(buffer)) buffer_finish_loading(buffer);
    place_cursor_at(buffer, offset);
    scroll_cursor_to_top_left(page);
}

TextSpan doc_word_around_cursor(const DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return {};
    LineAtCursor line = line_at_cursor(buffer);
    return shifted(word_around_cursor(line.text, line.cursor), line.line_start);
}

TextSpan doc_word_before_cursor(const DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return {};
    LineAtCursor line = line_at_cursor(buffer);
    return shifted(word_before_cursor(line.text, line.cursor), line.line_start);
}

void doc_cursor_back(DocumentPage* page, long n) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter cursor = doc_cursor_iter(buffer);
    if (auto to = cursor_back_offset(gtk_text_iter_get_offset(&cursor), n))
        place_cursor_at(buffer, *to);
}

void doc_cursor_to_previous_quote(DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter start, cursor = doc_cursor_iter(buffer);
    gtk_text_buffer_get_start_iter(buffer, &start);
    if (auto to =
            previous_quote_offset(doc_slice(start, cursor), gtk_text_iter_get_offset(&cursor)))
        place_cursor_at(buffer, *to);
}

void doc_cursor_after_previous_tag(DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter start, cursor = doc_cursor_iter(buffer);
    gtk_text_buffer_get_start_iter(buffer, &start);
    if (auto to =
            after_previous_tag_offset(doc_slice(start, cursor), gtk_text_iter_get_offset(&cursor)))
        place_cursor_at(buffer, *to);
}

std::optional<std::string> doc_selection_title_case(const DocumentPage* page) {
    auto selection = doc_get_selection(page);
    if (!selection) return std::nullopt;
    return title_case(*selection);
}

std::optional<std::string> doc_path_at_cursor(DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return std::nullopt;
    GtkTextIter cursor = doc_cursor_iter(buffer);
    PathAtCursor found =
        path_at_cursor(doc_whole_slice(buffer), gtk_text_iter_get_offset(&cursor), page->path);
    switch (found.kind) {
    case PathAtCursor::Kind::path:
        return found.path;
    case PathAtCursor::Kind::anchor:
        doc_set_cursor_offset(page, found.anchor_offset);
        if (page->view) gtk_text_view_place_cursor_onscreen(GTK_TEXT_VIEW(page->view));
        return std::nullopt;
    case PathAtCursor::Kind::none:
        break;
    }
    return std::nullopt;
}
