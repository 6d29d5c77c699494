#include "tools/ui/html_tools_ui.h"

#include <glib/gi18n-lib.h>

#include <cstdint>
#include <optional>
#include <string>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "shell/settings.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/menu_builders.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "tools/html_tools.h"

namespace {

// The selection of the page as the rules take it, kept alive by `held`.
Selection selection_of(const DocumentPage* page, std::optional<std::string>& held) {
    held = doc_get_selection(page);
    if (!held || held->empty()) return std::nullopt;
    return std::string_view(*held);
}

// Writes the edit as one user action and puts the cursor where the rule says,
// counted from where the text went in.
void apply_edit(DocumentPage* page, const HtmlEdit& edit) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return;
    GtkTextIter start, end;
    long at = 0;
    if (edit.replaces_selection && gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) {
        at = gtk_text_iter_get_offset(&start);
        doc_replace_selection(page, edit.text);
    } else {
        at = doc_get_cursor_offset(page);
        doc_insert_at_cursor(page, edit.text);
    }
    if (!edit.cursor) return;
    GtkTextIter place;
    gtk_text_buffer_get_iter_at_offset(buffer, &place, static_cast<gint>(at + *edit.cursor));
    gtk_text_buffer_place_cursor(buffer, &place);
    if (page->view)
        gtk_text_view_scroll_mark_onscreen(GTK_TEXT_VIEW(page->view),
                                           gtk_text_buffer_get_insert(buffer));
}

// Runs `rule` on the current document's selection and applies its edit.
template <typename Rule> void edit_selection(Rule rule) {
    DocumentPage* page = current_document();
    if (!page) return;
    std::optional<std::string> held;
    apply_edit(page, rule(selection_of(page, held)));
}

void insert_text(const std::string& text) {
    if (DocumentPage* page = current_document()) doc_insert_at_cursor(page, text);
}

void wrap_in(const char* tag) {
    edit_selection([tag](Selection s) { return html_wrap_tag(tag, s); });
}

// The commands that only rewrite selected text; nothing without a selection.
template <typename Rewrite> void rewrite_selection(Rewrite rewrite) {
    DocumentPage* page = current_document();
    if (!page) return;
    std::optional<std::string> held;
    Selection s = selection_of(page, held);
    if (s) apply_edit(page, rewrite(*s));
}

void on_entity_item(GtkMenuItem* item, gpointer) {
    if (auto reference = html_character_reference(menu_item_name(item))) insert_text(*reference);
}

// The colour the user accepts in the chooser, as "#rrggbb"; none on cancel.
std::optional<std::string> choose_color() {
    GtkWidget* dialog = gtk_color_chooser_dialog_new(_("Séléctionnez une couleur"), main_window());
    gtk_color_chooser_set_use_alpha(GTK_COLOR_CHOOSER(dialog), FALSE);
    std::optional<std::string> color;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_OK) {
        GdkRGBA rgba{};
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(dialog), &rgba);
        auto channel = [](double v) {
            return static_cast<std::uint16_t>(CLAMP(v, 0.0, 1.0) * 65535.0 + 0.5);
        };
        color = html_color_text(channel(rgba.red), channel(rgba.green), channel(rgba.blue));
    }
    gtk_widget_destroy(dialog);
    return color;
}

} // namespace

void html_skeleton_command() {
    if (DocumentPage* page = current_document()) apply_edit(page, html_template_edit());
}

void html_comment_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    std::optional<std::string> held;
    if (auto edit = html_comment(page->path, selection_of(page, held))) apply_edit(page, *edit);
}

void html_table_command() {
    if (!current_document()) return;
    command_entry_prompt(kHtmlTableExample);
    log_icon_help();
    log_message(html_table_greeting_text(), LM_GREET);
    status_message(kHtmlTableStatus);
    const HtmlTable table = html_table(command_entry_text());
    insert_text(table.text);
    if (table.capped) log_message(html_table_capped_text(), LM_NORMAL);
}

void html_link_around_selection() {
    rewrite_selection([](std::string_view s) { return html_link_around(s); });
}

void html_image_around_selection() {
    edit_selection([](Selection s) { return html_image(s); });
}

void html_div_around_selection() {
    edit_selection([](Selection s) { return html_div_with_id(s); });
}

void html_bold_command() {
    wrap_in("b");
}
void html_italic_command() {
    wrap_in("i");
}
void html_underline_command() {
    wrap_in("u");
}
void html_paragraph_command() {
    wrap_in("p");
}

void html_link_command() {
    edit_selection([](Selection s) { return html_link(s); });
}

void html_line_break_command() {
    if (DocumentPage* page = current_document())
        apply_edit(page, html_line_break(settings().xhtml_mode));
}

void html_space_command() {
    if (DocumentPage* page = current_document()) apply_edit(page, html_space());
}

void html_color_command() {
    if (!current_document()) return;
    const std::optional<std::string> color = choose_color();
    if (!color) return;
    // The chooser was modal; the page it returns to is the current one.
    edit_selection(
        [&](Selection s) { return html_color(settings().fmt_color_function, *color, s); });
}

void html_strip_tags_command() {
    rewrite_selection([](std::string_view s) { return HtmlEdit{html_strip_tags(s), true, {}}; });
}

void html_escape_command() {
    rewrite_selection([](std::string_view s) {
        return HtmlEdit{html_escape_special(s), true, {}};
    });
}

void on_html_tag_item(GtkMenuItem* item, gpointer) {
    const std::string tag = menu_item_name(item);
    edit_selection([&](Selection s) { return html_wrap_tag(tag, s); });
}

void on_html_align_item(GtkMenuItem* item, gpointer) {
    const std::string name = menu_item_name(item);
    for (const HtmlAlignment& a : html_alignments()) {
        if (name != _(a.label)) continue;
        edit_selection([&](Selection s) { return html_align(a.value, s); });
        return;
    }
}

void on_html_doctype_item(GtkMenuItem* item, gpointer) {
    if (auto declaration = html_doctype(menu_item_name(item))) insert_text(*declaration);
}

void html_entities_menu_rebuild() {
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::html_entities);
    if (!menu) return;
    menu_add_detach(menu);
    for (const std::string& label : html_character_reference_labels())
        menu_add_item(label, menu, on_entity_item);
}
