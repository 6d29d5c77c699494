#include "tools/ui/scrapbook.h"

#include <glib/gi18n-lib.h>
#include <gtksourceview/gtksource.h>
#include <string>

#include "documents/path_helpers.h"
#include "documents/safe_write.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "tools/scrapbook_text.h"

namespace {

struct Note {
    GtkWidget* view = nullptr; // cleared by GTK when the view goes
    // The notes words provider and the buffer it reads, held until the
    // provider has been unregistered from it.
    GObjectPtr<GtkSourceCompletionWords> words;
    GObjectPtr<GtkTextBuffer> buffer;
};

Note& note() {
    static Note n;
    return n;
}

GtkTextBuffer* note_buffer() {
    return note().view ? gtk_text_view_get_buffer(GTK_TEXT_VIEW(note().view)) : nullptr;
}

// Text the program puts in the page is not something the user can undo.
void set_note_text(const std::string& text) {
    GtkTextBuffer* buffer = note_buffer();
    if (!buffer) return;
    gtk_source_buffer_begin_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
    gtk_text_buffer_set_text(buffer, text.data(), static_cast<gint>(text.size()));
    gtk_source_buffer_end_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
}

void append_note_text(const std::string& text) {
    GtkTextBuffer* buffer = note_buffer();
    if (!buffer) return;
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_source_buffer_begin_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
    gtk_text_buffer_insert(buffer, &end, text.data(), static_cast<gint>(text.size()));
    gtk_source_buffer_end_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
}

void insert_at_note_cursor(const std::string& text) {
    GtkTextBuffer* buffer = note_buffer();
    if (!buffer) return;
    gtk_text_buffer_begin_user_action(buffer);
    gtk_text_buffer_insert_at_cursor(buffer, text.data(), static_cast<gint>(text.size()));
    gtk_text_buffer_end_user_action(buffer);
}

void on_clear(GtkButton*, gpointer) {
    set_note_text(scrapbook_intro());
}

// Runs before the view inside goes, so its completion still exists.
void on_note_destroy(GtkWidget*, gpointer) {
    Note& n = note();
    if (n.words && n.view) {
        GtkSourceCompletion* completion = gtk_source_view_get_completion(GTK_SOURCE_VIEW(n.view));
        gtk_source_completion_remove_provider(
            completion, GTK_SOURCE_COMPLETION_PROVIDER(n.words.get()), nullptr);
    }
    if (n.words && n.buffer) gtk_source_completion_words_unregister(n.words.get(), n.buffer.get());
    n.words.reset();
    n.buffer.reset();
}

void add_notes_words(GtkSourceView* view) {
    Note& n = note();
    n.buffer.reset(GTK_TEXT_BUFFER(g_object_ref(gtk_text_view_get_buffer(GTK_TEXT_VIEW(view)))));
    n.words.reset(gtk_source_completion_words_new(nullptr, nullptr));
    gtk_source_completion_words_register(n.words.get(), n.buffer.get());
    gtk_source_completion_add_provider(gtk_source_view_get_completion(view),
                                       GTK_SOURCE_COMPLETION_PROVIDER(n.words.get()), nullptr);
    g_object_set(n.words.get(), "priority", 10, nullptr);
}

GtkWidget* build_view() {
    GtkSourceLanguageManager* languages = gtk_source_language_manager_get_default();
    GtkSourceBuffer* buffer = gtk_source_buffer_new_with_language(
        gtk_source_language_manager_get_language(languages, "perl"));
    GtkSourceStyleSchemeManager* schemes = gtk_source_style_scheme_manager_get_default();
    if (GtkSourceStyleScheme* scheme =
            gtk_source_style_scheme_manager_get_scheme(schemes, theme_name().c_str()))
        gtk_source_buffer_set_style_scheme(buffer, scheme);
    GtkWidget* view = gtk_source_view_new_with_buffer(buffer);
    g_object_unref(buffer);
    gtk_widget_set_name(view, "scrapbook_view");
    GtkSourceView* source = GTK_SOURCE_VIEW(view);
    gtk_source_view_set_show_right_margin(source, TRUE);
    gtk_source_view_set_show_line_numbers(source, TRUE);
    gtk_source_view_set_highlight_current_line(source, TRUE);
    gtk_source_view_set_show_line_marks(source, TRUE);
    PangoFontDescription* font = pango_font_description_from_string("mono 8");
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_widget_override_font(view, font);
    G_GNUC_END_IGNORE_DEPRECATIONS
    pango_font_description_free(font);
    atk_object_set_name(gtk_widget_get_accessible(view), _("Note"));
    return view;
}

void report_failure(const std::string& path, const std::string& why) {
    log_icon_error();
    log_message(_("Ne peut pas lire %s"), path + (why.empty() ? "" : " (" + why + ")"), LM_ERROR);
    status_message(_("Open Crapbook [ERROR]"));
}

bool exists(const std::string& path) {
    return g_file_test(path.c_str(), G_FILE_TEST_EXISTS);
}

// The tab showing the scrapbook file, or null.
DocumentPage* scrapbook_tab() {
    const std::string& path = config_paths().crapbook;
    for (int i = 0; i < document_count(); ++i) {
        DocumentPage* page = page_at_index(i);
        if (to_filesystem_encoding(page->path) == path) return page;
    }
    return nullptr;
}

} // namespace

void scrapbook_panel_build(GtkWidget* box) {
    if (!box) return;
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    GtkWidget* view = build_view();
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);

    Note& n = note();
    if (n.view)
        g_object_remove_weak_pointer(G_OBJECT(n.view), reinterpret_cast<gpointer*>(&n.view));
    n.view = view;
    g_object_add_weak_pointer(G_OBJECT(view), reinterpret_cast<gpointer*>(&n.view));
    add_notes_words(GTK_SOURCE_VIEW(view));
    g_signal_connect(scrolled, "destroy", G_CALLBACK(on_note_destroy), nullptr);
    set_note_text(scrapbook_intro());

    GtkWidget* clear = gtk_button_new_with_label(_("Effacer"));
    g_signal_connect(clear, "clicked", G_CALLBACK(on_clear), nullptr);
    gtk_box_pack_start(GTK_BOX(box), clear, FALSE, FALSE, 0);
}

GtkWidget* scrapbook_view() {
    return note().view;
}

void scrapbook_show() {
    const std::string& path = config_paths().crapbook;
    set_note_text(scrapbook_intro());
    if (!exists(path)) {
        const WriteResult created = write_file_safely(path, scrapbook_first_text());
        if (!created.ok) {
            report_failure(path, created.error);
            return;
        }
    }
    auto bytes = file_read_regular(path, kScrapbookMaxBytes);
    if (!bytes) {
        report_failure(path, "");
        return;
    }
    append_note_text(scrapbook_display_text(*bytes));
    // A file older than the UTF-8 rule opens in the locale's charset.
    const char* locale_charset = nullptr;
    g_get_charset(&locale_charset);
    const bool utf8 = g_utf8_validate(bytes->data(), static_cast<gssize>(bytes->size()), nullptr);
    open_path_with_charset(path, utf8 ? "UTF-8" : locale_charset);
    // After the open, whose page state would otherwise cover it.
    status_message(_("Open Crapbook [OK]"));
}

void scrapbook_add_selection() {
    auto selection = doc_get_selection(current_document());
    if (!selection) return;
    const std::string fragment = scrapbook_fragment(*selection);
    if (DocumentPage* tab = scrapbook_tab()) {
        // The tab reaches the file when it is saved or closed.
        doc_replace_range(tab, 0, 0, fragment);
    } else {
        const std::string& path = config_paths().crapbook;
        std::string old;
        if (exists(path)) {
            // A file that is there but cannot be read is never replaced.
            auto bytes = file_read_regular(path, kScrapbookMaxBytes);
            if (!bytes) {
                log_icon_error();
                log_message(_("Ne peut pas lire %s"), path, LM_ERROR);
                return;
            }
            old = std::move(*bytes);
        }
        const WriteResult written =
            write_file_safely(path, scrapbook_with_addition(*selection, old));
        if (!written.ok) {
            log_icon_error();
            log_message(_("Ne peut pas écrire %s"), path + " (" + written.error + ")", LM_ERROR);
            return;
        }
    }
    insert_at_note_cursor(fragment);
}
