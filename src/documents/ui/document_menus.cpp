#include "documents/ui/document_menus.h"

#include <glib/gi18n-lib.h>

#include "documents/charset_list.h"
#include "documents/document_names.h"
#include "documents/path_helpers.h"
#include "documents/recent_files.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/documents.h"
#include "shell/commands.h"
#include "shell/config_dir.h"
#include "shell/menu_texts.h"
#include "shell/settings.h"
#include "shell/ui/menu_builders.h"
#include "shell/ui/report.h"

namespace {
struct DynamicMenus {
    Lines bookmarks;
    KeyTable user_menu;
    bool open_documents_forgotten = false;
};

DynamicMenus& dm() {
    static DynamicMenus d;
    return d;
}

// Labels must be UTF-8; a file name that is not cannot be shown or found again.
void add_names(const Lines& names, GtkWidget* menu, MenuHandler handler) {
    for (const auto& name : names)
        if (!name.empty() && g_utf8_validate(name.c_str(), -1, nullptr))
            menu_add_item(name, menu, handler);
}

void on_charset(GtkMenuItem* item, gpointer) {
    auto doc = current_document_name();
    // The page's name is UTF-8; the file is found by its file-system name.
    auto fs_path = doc ? to_filesystem_encoding(*doc) : std::nullopt;
    if (!fs_path || !g_file_test(fs_path->c_str(), G_FILE_TEST_EXISTS)) return;
    std::string charset = menu_item_name(item);
    set_pending_open_charset(charset);
    if (!reload_current_document(charset)) {
        log_icon_error();
        log_message(_("Non, je ne peux pas!"), LM_ERROR);
    }
}

void on_bookmark(GtkMenuItem* item, gpointer) {
    indicator_ok();
    open_position_entry(menu_item_name(item));
}

void on_recent_file(GtkMenuItem* item, gpointer) {
    std::string name = menu_item_name(item);
    open_position_entry(name);
    recent_remove_first(recent_files(), name);
    menu_rebuild_recent_files(false);
}

void on_snippet(GtkMenuItem* item, gpointer) {
    GtkTextBuffer* buffer = current_document_buffer();
    if (!buffer) return;
    auto content = file_read_all(config_paths().snippets_dir + menu_item_name(item));
    if (!content) return;
    std::optional<std::string> selection;
    GtkTextIter start, end;
    if (gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) {
        char* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
        selection = text;
        g_free(text);
    }
    auto edit = snippet_edit(*content, selection);
    if (!edit) return;
    if (edit->kind == SnippetEdit::replace_selection)
        doc_replace_selection(edit->text);
    else
        doc_insert_at_cursor(edit->text);
}

void on_user_menu(GtkMenuItem* item, gpointer) {
    // The command gets the file's name as the file system spells it.
    auto doc = current_document_name();
    if (auto fs_path = doc ? to_filesystem_encoding(*doc) : std::nullopt)
        user_menu_run(menu_item_name(item), *fs_path);
}

void on_session(GtkMenuItem* item, gpointer) {
    auto lines = file_to_lines(config_paths().sessions_dir + menu_item_name(item));
    if (!lines) return;
    for (const auto& entry : *lines)
        if (!entry.empty()) open_position_entry(entry);
}

void on_template(GtkMenuItem* item, gpointer) {
    if (auto text = file_read_all(config_paths().templates_dir + menu_item_name(item)))
        new_document_with_text(*text);
}

void on_open_document(GtkMenuItem* item, gpointer) {
    open_or_switch(menu_item_name(item));
}

// Rebuilds a menu listing the files of a private folder of the configuration
// directory; nothing changes when the folder cannot be created.
void rebuild_from_folder(DynamicMenu which, const std::string& dir, MenuHandler handler) {
    if (!ensure_private_dir(dir)) return;
    GtkWidget* menu = dynamic_menu_replace(which);
    if (!menu) return;
    menu_add_detach(menu);
    add_names(directory_file_names(dir), menu, handler);
}
} // namespace

void menu_rebuild_charsets() {
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::charsets);
    if (!menu) return;
    add_names(open_charsets(), menu, on_charset);
}

void menu_rebuild_bookmarks() {
    auto lines = file_to_lines(config_paths().bmx);
    if (!lines) return;
    dm().bookmarks = std::move(*lines);
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::bookmarks);
    if (!menu) return;
    add_names(dm().bookmarks, menu, on_bookmark);
}

void menu_rebuild_recent_files(bool reload) {
    if (reload) {
        recent_files().clear();
        recent_files_load(config_paths().recent, settings().max_recent_items);
        // A missing or empty list keeps the menu of the previous load.
        if (recent_files().empty()) return;
    }
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::recent_files);
    if (!menu) return;
    add_names(recent_menu_labels(recent_files(), settings().max_recent_items), menu,
              on_recent_file);
}

void menu_rebuild_snippets() {
    if (!settings().use_snippets) return;
    rebuild_from_folder(DynamicMenu::snippets, config_paths().snippets_dir, on_snippet);
}

void menu_rebuild_user_menu() {
    auto table = load_key_file(config_paths().user_menu);
    if (!table) return;
    dm().user_menu = std::move(*table);
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::user_menu);
    if (!menu) return;
    menu_add_detach(menu);
    add_names(user_menu_labels(dm().user_menu), menu, on_user_menu);
}

void user_menu_run(const std::string& label, const std::string& file_name) {
    if (auto command = user_menu_command(dm().user_menu, label, file_name))
        run_shell_sync(*command);
}

void menu_rebuild_sessions() {
    rebuild_from_folder(DynamicMenu::sessions, config_paths().sessions_dir, on_session);
}

void menu_rebuild_templates() {
    rebuild_from_folder(DynamicMenu::templates, config_paths().templates_dir, on_template);
}

void menu_rebuild_open_documents(const Lines& document_names) {
    if (dm().open_documents_forgotten) return;
    GtkWidget* menu = dynamic_menu_replace(DynamicMenu::open_documents);
    if (!menu) return;
    add_names(document_names, menu, on_open_document);
}

void menu_forget_open_documents() {
    dm().open_documents_forgotten = true;
}

void menus_rebuild_at_startup() {
    menu_rebuild_charsets();
    menu_rebuild_bookmarks();
    menu_rebuild_snippets();
    menu_rebuild_user_menu();
    menu_rebuild_sessions();
    menu_rebuild_templates();
    menu_rebuild_recent_files(true);
}

const Lines& bookmark_entries() {
    return dm().bookmarks;
}
const KeyTable& user_menu_table() {
    return dm().user_menu;
}
void user_menu_table_clear() {
    dm().user_menu.clear();
}
