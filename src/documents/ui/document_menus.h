// The documents' menus rebuilt from lists, files and directories, one rebuild
// function each. A rebuild destroys the item's previous submenu and attaches a
// new one.
#pragma once

#include <gtk/gtk.h>
#include <string>

#include "shell/key_file.h"
#include "shell/lines.h"

// "Co": one item per open charset.
void menu_rebuild_charsets();
// "Marque page": reloads orvane_bmx; a missing file keeps the menu as it is.
void menu_rebuild_bookmarks();
// "Fichier recents": with `reload` the list is read again from orvane_recent.
void menu_rebuild_recent_files(bool reload);
// "Snippets": only with use_snippets; creates snippets/ when missing.
void menu_rebuild_snippets();
// "Menu utilisateur": reloads orvane_user_menu when it exists.
void menu_rebuild_user_menu();
// Runs the user-menu entry `label` on `file_name` (inserted quoted).
void user_menu_run(const std::string& label, const std::string& file_name);
// "Sessions" and "Templates": create their folder (0700) when missing.
void menu_rebuild_sessions();
void menu_rebuild_templates();
// "Onglets": one item per open document name, in tab order.
void menu_rebuild_open_documents(const Lines& document_names);
// At shutdown closing documents no longer rebuilds "Onglets".
void menu_forget_open_documents();

// The start-up rebuilds that follow the window build: charsets, bookmarks,
// snippets, user menu, sessions, templates, and the recent files (reloaded).
void menus_rebuild_at_startup();

// The bookmarks list as last read from orvane_bmx, and the user-menu table.
const Lines& bookmark_entries();
const KeyTable& user_menu_table();
// Shutdown releases the user-menu table.
void user_menu_table_clear();
