#include "documents/ui/highlighting.h"

#include "documents/highlight_modes.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/settings.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

GtkSourceBuffer* source_buffer_in(GtkWidget* root) {
    if (!root) return nullptr;
    if (GTK_SOURCE_IS_VIEW(root))
        return GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(root)));
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    GtkSourceBuffer* found = nullptr;
    for (GList* l = children; l && !found; l = l->next)
        found = source_buffer_in(GTK_WIDGET(l->data));
    g_list_free(children);
    return found;
}

void set_scheme(GtkSourceBuffer* buffer, GtkSourceStyleScheme* scheme) {
    if (buffer) gtk_source_buffer_set_style_scheme(buffer, scheme);
}

} // namespace

std::string highlight_mode_of_file(const std::string& path) {
    return highlight_mode_for_file(path, settings().do_det_scripts_by_content != 0);
}

void set_language_from_mode(DocumentPage& page) {
    if (!page.buffer) return;
    const LanguageChoice choice = language_for_mode(page.highlight_mode);
    if (choice.kind == LanguageChoice::keep) return;
    GtkSourceBuffer* buffer = page.buffer.get();
    if (choice.kind == LanguageChoice::clear) {
        gtk_source_buffer_set_language(buffer, nullptr);
        return;
    }
    // The default manager outlives every buffer: a manager of the buffer's own,
    // replaced on each change, would drop the old language while the
    // highlighting engine still holds its rules.
    GtkSourceLanguageManager* manager = gtk_source_language_manager_get_default();
    gtk_source_buffer_set_language(
        buffer, gtk_source_language_manager_get_language(manager, choice.id.c_str()));
}

void refresh_page_highlighting(DocumentPage& page) {
    if (!page.buffer) return;
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page.buffer.get());
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gtk_text_buffer_remove_all_tags(buffer, &start, &end);
    // Setting the language the buffer already has is no change to it, and the
    // colours just removed would stay away: the highlighting starts afresh
    // from no language. A mode that names none keeps the language it had.
    GtkSourceBuffer* source = page.buffer.get();
    GObjectPtr<GtkSourceLanguage> had;
    if (GtkSourceLanguage* language = gtk_source_buffer_get_language(source))
        had.reset(GTK_SOURCE_LANGUAGE(g_object_ref(language)));
    gtk_source_buffer_set_language(source, nullptr);
    // A page opened too large for it stays without, until a mode is chosen.
    if (!page.features.highlighting) return;
    if (language_for_mode(page.highlight_mode).kind == LanguageChoice::keep)
        gtk_source_buffer_set_language(source, had.get());
    else
        set_language_from_mode(page);
}

void on_highlight_mode_item(GtkMenuItem* item, gpointer) {
    DocumentPage* page = current_document();
    if (!page) return;
    page->highlight_mode = gtk_widget_get_name(GTK_WIDGET(item));
    page->features.highlighting = true;
    set_language_from_mode(*page);
}

void refresh_highlighting_command() {
    if (DocumentPage* page = current_document()) refresh_page_highlighting(*page);
}

void theme_command(const std::string& scheme) {
    if (!current_document()) return;
    GtkSourceStyleScheme* style = gtk_source_style_scheme_manager_get_scheme(
        gtk_source_style_scheme_manager_get_default(), scheme.c_str());
    if (!style) return;
    // Every open page takes the theme at once, not only when created anew.
    apply_style_scheme(scheme);
    string_to_file(config_paths().theme, theme_file_text(scheme));
    set_theme_name(scheme);
    if (theme_applies_to_panels(scheme)) {
        if (GtkWidget* log = log_view())
            set_scheme(GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(log))), style);
        set_scheme(source_buffer_in(panel_page(PanelPage::scrapbook)), style);
    }
    set_scheme(source_buffer_in(panel_page(PanelPage::projects)), style);
}
