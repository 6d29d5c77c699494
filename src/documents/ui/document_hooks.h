// The document commands of the menus, toolbars and command entry: each acts on
// the current document and does nothing without one.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>
#include <string_view>

// The current document's buffer and view, or null without a current document.
GtkTextBuffer* current_document_buffer();
GtkWidget* current_document_view();
// The current document's file name as its record stores it (a full path, or
// "noname_<n>" for a new document); none without a current document.
std::optional<std::string> current_document_name();

// "Nouveau": a new current page, shown with its title and focus.
void new_document();
// A fresh tab holding `text`, as tools put their results.
void new_document_with_text(std::string_view text);
void open_file_dialog();
void save_current_document();
void save_current_document_as();
// "Fermer le fichier encours".
void close_current_document();
// Reads the current document's file again in `charset`; false when that failed.
bool reload_current_document(const std::string& charset);
// Opens a "path,charset,offset" entry of the recent, bookmarks or session lists.
void open_position_entry(const std::string& entry);
// Selects the tab of `path` when it is open, else opens it.
void open_or_switch(const std::string& path);
// Replaces the current document's selection as one user action.
void doc_replace_selection(std::string_view text);
// Searches `text` in the current document from the cursor.
void doc_find(std::string_view text);
// Applies a style scheme to every document page.
void apply_style_scheme(const std::string& name);

// The "Editer" commands; the clipboard is the desktop clipboard.
void doc_undo();
void doc_redo();
void doc_copy();
void doc_copy_all();
void doc_cut();
void doc_paste();
void doc_exchange_clipboard();
void doc_delete_selection();
void doc_cut_to_new_document();
void doc_copy_to_new_document();
void doc_paste_to_new_document();
void doc_select_all();

// Tab moves of the "Navigation" menu.
// "Aller à un onglet récent" swaps the current and the previous tab; the others
// remember the current tab as the previous one before they move.
void goto_recent_tab();
void goto_next_tab();
void goto_previous_tab();
void goto_first_tab();
void goto_last_tab();

// A menu row's handler for a command that takes no arguments.
template <void (*Command)()> void menu_command(GtkMenuItem*, gpointer) {
    Command();
}
