#include "documents/ui/typing.h"

#include <gdk/gdkkeysyms.h>
#include <string>

#include "documents/autoreplace.h"
#include "documents/document_names.h"
#include "documents/file_open_rules.h"
#include "documents/indent_rules.h"
#include "documents/path_helpers.h"
#include "documents/typing_rules.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "documents/ui/search.h"
#include "shell/gobj.h"
#include "shell/settings.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/report.h"

namespace {

void scroll_cursor_onscreen(DocumentPage* page) {
    if (page->view)
        gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(page->view),
                                           gtk_text_buffer_get_insert(doc_buffer(page)));
}

void place_cursor(DocumentPage* page, long offset) {
    GtkTextBuffer* buffer = doc_buffer(page);
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_offset(buffer, &it, static_cast<gint>(offset));
    gtk_text_buffer_place_cursor(buffer, &it);
    scroll_cursor_onscreen(page);
}

void autoreplace_before(DocumentPage* page) {
    const auto& table = autoreplace_table();
    if (!table) return;
    const TextSpan word = doc_word_before_cursor(page);
    if (auto value = autoreplace_for(*table, word.text))
        doc_replace_range(page, word.start, word.end, *value);
}

void auto_indent(DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    GtkTextIter start, end;
    doc_line_bounds(doc_cursor_iter(buffer), start, end);
    doc_insert_at_cursor(page, auto_indent_text(doc_slice(start, end)));
    scroll_cursor_onscreen(page);
}

gunichar typed_char(const GdkEventKey* event) {
    return gdk_keyval_to_unicode(event->keyval);
}

void mark_word_before_cursor(DocumentPage* page) {
    doc_mark_occurrences_if_short(doc_buffer(page), "gray_bg", doc_word_before_cursor(page).text,
                                  page->view);
}

void show_cursor_status(DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    GtkTextIter cursor = doc_cursor_iter(buffer);
    status_message(cursor_status_text(page->path, gtk_text_iter_get_line_offset(&cursor) + 1,
                                      gtk_text_iter_get_line(&cursor) + 1,
                                      gtk_text_buffer_get_line_count(buffer)));
}

// The names in the text are UTF-8, resolved against the page's folder; the
// pictures are loaded by their file-system names.
void insert_pictures(DocumentPage* page, const char* marker, bool thumbnails) {
    GtkTextBuffer* buffer = doc_buffer(page);
    const std::string folder = folder_of(page->path).value_or("");
    const Settings& s = settings();
    GtkTextIter from;
    gtk_text_buffer_get_start_iter(buffer, &from);
    GtkTextIter match_start, value_start;
    while (gtk_text_iter_forward_search(&from, marker, GTK_TEXT_SEARCH_TEXT_ONLY, &match_start,
                                        &value_start, nullptr)) {
        GtkTextIter quote = value_start;
        bool closed = false;
        while (!gtk_text_iter_is_end(&quote)) {
            const gunichar c = gtk_text_iter_get_char(&quote);
            if (c == '"' || c == '\'') {
                closed = true;
                break;
            }
            gtk_text_iter_forward_char(&quote);
        }
        if (!closed) break;
        const std::string target = resolve_path(doc_slice(value_start, quote), folder);
        const int quote_offset = gtk_text_iter_get_offset(&quote);
        int resume = quote_offset + 1;
        const auto fs_target = to_filesystem_encoding(target);
        if (fs_target && is_picture_path(target)) {
            GObjectPtr<GdkPixbuf> picture(
                thumbnails ? gdk_pixbuf_new_from_file_at_size(fs_target->c_str(), s.thumb_width,
                                                              s.thumb_height, nullptr)
                           : gdk_pixbuf_new_from_file(fs_target->c_str(), nullptr));
            if (picture) {
                gtk_text_buffer_insert_pixbuf(buffer, &quote, picture.get());
                ++resume;
            }
        }
        gtk_text_buffer_get_iter_at_offset(buffer, &from, resume);
    }
}

void apply_to_pages() {
    for (int i = 0; i < document_count(); ++i)
        apply_editor_settings(*page_at_index(i));
}

} // namespace

void connect_typing_aids(DocumentPage& page) {
    static bool hook_added = false;
    if (!hook_added) {
        // Every later configuration load reaches the open pages.
        settings_apply_hook_add(apply_to_pages);
        hook_added = true;
    }
    g_signal_connect(page.view, "key-press-event", G_CALLBACK(typing_key_press), &page);
    g_signal_connect(page.view, "key-release-event", G_CALLBACK(typing_key_release), &page);
}

gboolean typing_key_press(GtkWidget*, GdkEventKey* event, gpointer data) {
    if (!current_document()) return FALSE;
    auto* page = static_cast<DocumentPage*>(data);
    const Settings& s = settings();
    // With Control or Alt held the view inserts nothing, so nothing is paired.
    const bool plain = (event->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK)) == 0;
    const gunichar c = typed_char(event);

    if (plain && s.do_autorep && c != 0 && g_unichar_isspace(c)) autoreplace_before(page);

    if (plain && c != 0) {
        if (auto closing = closing_for_typed(c, page->path, s.use_textcompbloc)) {
            doc_insert_at_cursor(page, *closing);
            if (c == '"')
                doc_cursor_to_previous_quote(page);
            else
                doc_cursor_back(page, 1);
            return FALSE;
        }
    }

    switch (event->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        if (!s.use_auto_indent) return FALSE;
        auto_indent(page);
        return TRUE;
    case GDK_KEY_Tab:
        indent_block(page, false);
        return TRUE;
    default:
        return FALSE;
    }
}

gboolean typing_key_release(GtkWidget*, GdkEventKey*, gpointer data) {
    if (!current_document()) return FALSE;
    auto* page = static_cast<DocumentPage*>(data);
    show_cursor_status(page);
    mark_word_before_cursor(page);
    return FALSE;
}

void indent_block(DocumentPage* page, bool unindent) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    const Settings& s = settings();
    GtkTextIter start, end;
    LineRange lines;
    if (gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) {
        lines = block_lines(gtk_text_iter_get_line(&start), gtk_text_iter_get_line(&end),
                            gtk_text_iter_get_line_offset(&end));
    } else {
        const int line = gtk_text_iter_get_line(&start);
        lines = {line, line};
    }
    const std::string unit = indent_unit(s.tab_size, s.ins_spaces_on_tab_press != 0);
    gtk_text_buffer_begin_user_action(buffer);
    for (int line = lines.first; line <= lines.last; ++line) {
        GtkTextIter at;
        gtk_text_buffer_get_iter_at_line(buffer, &at, line);
        if (!unindent) {
            gtk_text_buffer_insert(buffer, &at, unit.data(), static_cast<gint>(unit.size()));
            continue;
        }
        GtkTextIter line_start, line_end;
        doc_line_bounds(at, line_start, line_end);
        const long width = unindent_width(doc_slice(at, line_end), s.tab_size);
        if (width == 0) continue;
        GtkTextIter cut = at;
        gtk_text_iter_forward_chars(&cut, static_cast<gint>(width));
        gtk_text_buffer_delete(buffer, &at, &cut);
    }
    gtk_text_buffer_end_user_action(buffer);
}

void indent_command() {
    indent_block(current_document(), false);
}

void unindent_command() {
    indent_block(current_document(), true);
}

void delete_line_command() {
    DocumentPage* page = current_document();
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter cursor = doc_cursor_iter(buffer);
    GtkTextIter from, line_end;
    doc_line_bounds(cursor, from, line_end);
    GtkTextIter to;
    if (!gtk_text_iter_is_end(&line_end)) {
        to = from;
        gtk_text_iter_forward_line(&to);
    } else {
        // The last line of a text without final newline: what precedes the cursor stays.
        from = cursor;
        gtk_text_buffer_get_end_iter(buffer, &to);
    }
    gtk_text_buffer_begin_user_action(buffer);
    gtk_text_buffer_delete(buffer, &from, &to);
    gtk_text_buffer_end_user_action(buffer);
}

void block_start_command() {
    DocumentPage* page = current_document();
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter cursor = doc_cursor_iter(buffer);
    place_cursor(page,
                 enclosing_block_start(doc_whole_slice(buffer), gtk_text_iter_get_offset(&cursor)));
}

void block_end_command() {
    DocumentPage* page = current_document();
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter cursor = doc_cursor_iter(buffer);
    place_cursor(page,
                 enclosing_block_end(doc_whole_slice(buffer), gtk_text_iter_get_offset(&cursor)));
}

void toggle_wrap_command() {
    DocumentPage* page = current_document();
    if (!page || !page->view) return;
    GtkTextView* view = GTK_TEXT_VIEW(page->view);
    gtk_text_view_set_wrap_mode(
        view, gtk_text_view_get_wrap_mode(view) == GTK_WRAP_NONE ? GTK_WRAP_WORD : GTK_WRAP_NONE);
}

void inline_pictures_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    const auto fs_path = to_filesystem_encoding(page->path);
    if (!fs_path || !g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) return;
    // Pictures are no edit: the page stays as much in step with its file as it was.
    GtkTextBuffer* buffer = doc_buffer(page);
    const gboolean modified = gtk_text_buffer_get_modified(buffer);
    insert_pictures(page, "src=\"", true);
    insert_pictures(page, "SRC=\"", false);
    gtk_text_buffer_set_modified(buffer, modified);
}
