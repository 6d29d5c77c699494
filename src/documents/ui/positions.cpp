#include "documents/ui/positions.h"

#include <glib/gi18n-lib.h>
#include <gtksourceview/gtksource.h>

#include "documents/path_helpers.h"
#include "documents/position_entry.h"
#include "documents/safe_write.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_menus.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
#include "shell/config_dir.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/menu_texts.h"
#include "shell/settings.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

// Stock ids: GTK draws their label and picture itself.
constexpr const char* kStockCancel = "gtk-cancel";
constexpr const char* kStockSave = "gtk-save";

constexpr const char* kMarkCategory = "icon_note";
// Set on the tags this module creates, so a name already used by another tag
// of the buffer is told apart from an earlier bookmark.
constexpr const char* kBookmarkTagKey = "orvane-bookmark";

enum MarkColumn { col_picture, col_text, col_name, n_columns };

struct Marks {
    GObjectPtr<GtkListStore> store;
    GtkWidget* view = nullptr; // cleared by GTK when the view goes
};

Marks& marks() {
    static Marks m;
    return m;
}

bool write_list(const Lines& list, const std::string& path) {
    return write_file_safely(path, position_list_text(list)).ok;
}

// The file chosen in the session dialog (file-system encoding), or none.
std::optional<std::string> choose_session_file() {
    GtkWidget* dialog = gtk_file_chooser_dialog_new(
        _("Sauvegarde de la session sous:"), main_window(), GTK_FILE_CHOOSER_ACTION_SAVE,
        kStockCancel, GTK_RESPONSE_CANCEL, kStockSave, GTK_RESPONSE_ACCEPT, nullptr);
    if (ensure_private_dir(config_paths().sessions_dir))
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(dialog),
                                            config_paths().sessions_dir.c_str());
    std::optional<std::string> chosen;
    if (gtk_dialog_run(GTK_DIALOG(dialog)) == GTK_RESPONSE_ACCEPT) {
        GCharPtr file(gtk_file_chooser_get_filename(GTK_FILE_CHOOSER(dialog)));
        if (file) chosen = file.get();
    }
    gtk_widget_destroy(dialog);
    return chosen;
}

bool is_bookmark_mark(GtkTextMark* mark) {
    return mark && GTK_SOURCE_IS_MARK(mark) &&
           g_strcmp0(gtk_source_mark_get_category(GTK_SOURCE_MARK(mark)), kMarkCategory) == 0;
}

gchar* mark_tooltip(GtkSourceMarkAttributes*, GtkSourceMark*, gpointer) {
    return g_strdup((std::string(46, '_') + "\n\n" + "BookMark" + " \n").c_str());
}

void register_mark_category(GtkWidget* view) {
    GObjectPtr<GtkSourceMarkAttributes> attributes(gtk_source_mark_attributes_new());
    GObjectPtr<GdkPixbuf> icon(
        gdk_pixbuf_new_from_file(pixmap_path("orvane_note.png").c_str(), nullptr));
    if (icon) gtk_source_mark_attributes_set_pixbuf(attributes.get(), icon.get());
    g_signal_connect(attributes.get(), "query-tooltip-text", G_CALLBACK(mark_tooltip), nullptr);
    gtk_source_view_set_mark_attributes(GTK_SOURCE_VIEW(view), kMarkCategory, attributes.get(), 1);
}

// The tag named after the bookmarked text: an earlier bookmark's is used again.
// None when the name belongs to another tag of the buffer.
GtkTextTag* bookmark_tag(GtkTextBuffer* buffer, const std::string& name) {
    GtkTextTagTable* table = gtk_text_buffer_get_tag_table(buffer);
    if (GtkTextTag* tag = gtk_text_tag_table_lookup(table, name.c_str()))
        return g_object_get_data(G_OBJECT(tag), kBookmarkTagKey) ? tag : nullptr;
    GtkTextTag* tag = gtk_text_buffer_create_tag(buffer, name.c_str(), "foreground", "black",
                                                 "background", "yellow", "weight", 700, nullptr);
    g_object_set_data(G_OBJECT(tag), kBookmarkTagKey, GINT_TO_POINTER(1));
    return tag;
}

void append_mark_row(const std::string& name) {
    GtkListStore* store = marks_store();
    if (!store) return;
    GObjectPtr<GdkPixbuf> picture(
        gdk_pixbuf_new_from_file(pixmap_path("orvane_man.png").c_str(), nullptr));
    GtkTreeIter row;
    gtk_list_store_append(store, &row);
    gtk_list_store_set(store, &row, col_picture, picture.get(), col_text, "", col_name,
                       name.c_str(), -1);
}

void on_marks_selection_changed(GtkTreeSelection* selection, gpointer) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter row;
    if (!gtk_tree_selection_get_selected(selection, &model, &row)) return;
    gchar* raw = nullptr;
    gtk_tree_model_get(model, &row, col_name, &raw, -1);
    GCharPtr name(raw);
    if (current_document() && name) goto_text_bookmark(name.get());
    // Clearing the selection calls this handler again, with nothing selected.
    gtk_tree_selection_unselect_all(selection);
}

void on_clear_marks(GtkButton*, gpointer) {
    clear_text_bookmark_list();
}

} // namespace

std::optional<std::string> position_entry_of(const DocumentPage& page) {
    return format_position_entry({page.path, page.encoding, doc_get_cursor_offset(&page)});
}

void open_position_entry(const std::string& line) {
    if (line.size() <= 2) return;
    auto entry = parse_position_entry(line);
    if (!entry) return;
    const auto fs_path = to_filesystem_encoding(entry->path);
    if (!fs_path || !g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) {
        log_message(_("%s is not exists"), entry->path, LM_ERROR);
        return;
    }
    // An entry without charset opens in the default one.
    set_pending_charset(entry->charset.empty() ? std::nullopt
                                               : std::optional<std::string>(entry->charset));
    DocumentPage* page = open_and_show(*fs_path);
    if (!page) return;
    show_page_state(page);
    doc_set_cursor_offset(page, entry->offset);
}

void add_bookmark_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    auto entry = position_entry_of(*page);
    if (!entry) return;
    Lines list = bookmark_entries();
    position_list_add(list, *entry, settings().max_recent_items);
    write_list(list, config_paths().bmx);
    menu_rebuild_bookmarks();
}

bool save_session_to(const std::string& path) {
    Lines tabs;
    for (int i = 0; i < document_count(); ++i)
        if (auto entry = position_entry_of(*page_at_index(i))) tabs.push_back(*entry);
    const bool ok = write_list(session_list(tabs, settings().max_recent_items), path);
    menu_rebuild_sessions();
    return ok;
}

void save_session_command() {
    indicator_ok();
    auto chosen = choose_session_file();
    if (chosen && !save_session_to(*chosen)) {
        log_icon_error();
        log_message(_("error de la sauvegarde %s!!!"), to_utf8_path(*chosen).value_or(*chosen),
                    LM_ERROR);
    }
}

void text_bookmark_command() {
    DocumentPage* page = current_document();
    if (!page || !page->view) return;
    const std::string name = doc_get_selection(page).value_or("");
    if (name.empty()) {
        log_message(_("Vous devez séléctionner un mot ou du texte pour utiliser un BookMark"),
                    LM_ERROR);
        status_message(_("BookMark [ERROR]"));
        return;
    }
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page->buffer.get());
    GtkTextMark* existing = gtk_text_buffer_get_mark(buffer, name.c_str());
    GtkTextTag* tag =
        (existing && !is_bookmark_mark(existing)) ? nullptr : bookmark_tag(buffer, name);
    // The buffer's own marks and tags ("insert", "search", ...) keep their names.
    if (!tag) {
        log_message(_("Le texte %s ne peut pas servir de nom de BookMark"), name, LM_ERROR);
        status_message(_("BookMark [ERROR]"));
        return;
    }

    GtkTextIter start, end;
    gtk_text_buffer_get_selection_bounds(buffer, &start, &end);
    GtkTextIter line_start = start;
    gtk_text_iter_set_line_offset(&line_start, 0);
    GtkTextIter next_line = end;
    gtk_text_iter_forward_line(&next_line);
    gtk_text_buffer_apply_tag_by_name(buffer, "search", &start, &end);
    gtk_text_buffer_apply_tag(buffer, tag, &line_start, &start);
    gtk_text_buffer_apply_tag(buffer, tag, &end, &next_line);

    register_mark_category(page->view);
    // A second bookmark on the same text moves the mark to the newer place.
    if (existing)
        gtk_text_buffer_move_mark(buffer, existing, &line_start);
    else
        gtk_source_buffer_create_source_mark(page->buffer.get(), name.c_str(), kMarkCategory,
                                             &line_start);

    append_mark_row(name);
    notify_user(_("Le bookmark est disponible dans l'onglet :\nMark"));
    status_message(_("BookMark [OK]"));
}

bool goto_text_bookmark(const std::string& name) {
    DocumentPage* page = current_document();
    if (!page) return false;
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page->buffer.get());
    GtkTextMark* mark = gtk_text_buffer_get_mark(buffer, name.c_str());
    if (!is_bookmark_mark(mark)) {
        log_message(_("Le BookMark ne correspond pas au fichier en cours d'édition."), LM_ERROR);
        status_message(_("BookMark File [ERROR]"));
        return false;
    }
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_mark(buffer, &at, mark);
    gtk_text_buffer_place_cursor(buffer, &at);
    if (page->view) gtk_text_view_scroll_to_mark(GTK_TEXT_VIEW(page->view), mark, 0.0, FALSE, 0, 0);
    return true;
}

void clear_text_bookmark_list() {
    if (GtkListStore* store = marks_store()) gtk_list_store_clear(store);
}

void marks_panel_build(GtkWidget* box) {
    Marks& m = marks();
    m.store.reset(gtk_list_store_new(n_columns, GDK_TYPE_PIXBUF, G_TYPE_STRING, G_TYPE_STRING));
    if (m.view)
        g_object_remove_weak_pointer(G_OBJECT(m.view), reinterpret_cast<gpointer*>(&m.view));
    m.view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(m.store.get()));
    g_object_add_weak_pointer(G_OBJECT(m.view), reinterpret_cast<gpointer*>(&m.view));
    GtkTreeView* view = GTK_TREE_VIEW(m.view);
    set_accessible_name(m.view, _("Mark"));

    GtkTreeViewColumn* first = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(first, "   ");
    GtkCellRenderer* picture = gtk_cell_renderer_pixbuf_new();
    gtk_tree_view_column_pack_start(first, picture, FALSE);
    gtk_tree_view_column_add_attribute(first, picture, "pixbuf", col_picture);
    GtkCellRenderer* text = gtk_cell_renderer_text_new();
    gtk_tree_view_column_pack_start(first, text, TRUE);
    gtk_tree_view_column_add_attribute(first, text, "text", col_text);
    gtk_tree_view_append_column(view, first);
    GtkTreeViewColumn* second = gtk_tree_view_column_new();
    gtk_tree_view_column_set_title(second, _("Mark"));
    GtkCellRenderer* name = gtk_cell_renderer_text_new();
    gtk_tree_view_column_pack_start(second, name, TRUE);
    gtk_tree_view_column_add_attribute(second, name, "text", col_name);
    gtk_tree_view_append_column(view, second);
    gtk_tree_view_set_grid_lines(view, GTK_TREE_VIEW_GRID_LINES_BOTH);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_tree_view_set_rules_hint(view, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
    g_signal_connect(gtk_tree_view_get_selection(view), "changed",
                     G_CALLBACK(on_marks_selection_changed), nullptr);

    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_container_add(GTK_CONTAINER(scrolled), m.view);
    gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);
    GtkWidget* clear = gtk_button_new_with_label(_("Supprimer les BookMark"));
    g_signal_connect(clear, "clicked", G_CALLBACK(on_clear_marks), nullptr);
    gtk_box_pack_start(GTK_BOX(box), clear, FALSE, FALSE, 0);
    gtk_widget_show_all(box);
}

GtkListStore* marks_store() {
    return marks().store.get();
}

GtkWidget* marks_view() {
    return marks().view;
}
