// The Mini Web page (preview of the page or picture being edited), the MyAdmin
// "Web" page (a small browser beside the server list), the web search and
// translation of the selection, and the web history and bookmark lists.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "shell/lines.h"

// Fills the bottom notebook's "Mini Web" box: toolbar, address row, the Mini
// Web view (built when the page is first shown) and the picture buttons.
void mini_web_page_build(GtkWidget* box);
// The MyAdmin "Web" page: toolbar, address entry, the view and the server list.
GtkWidget* myadmin_web_page_build();
// The box at the right of the MyAdmin view that holds the server list
// ("BookMark ON/OFF" show and hide it); null before the page is built.
GtkWidget* myadmin_server_list_slot();

// "Reload Mini Web" (Ctrl+R), " Charger l'URL ": loads the entry's address,
// shows or hides the picture buttons by its ending, and says so.
void mini_web_load();
// " Charger la page courante " and Ctrl+D: the current document's file.
void mini_web_load_document();
// Puts `address` into the Mini Web entry and loads it as mini_web_load does.
void mini_web_load_address(const std::string& address);
// Loads `uri` into the MyAdmin view (a row of the server list was chosen).
void myadmin_web_load(const std::string& uri);

// F8: the selection searched on the web, in MyAdmin's "Aide/Recherche" page.
void web_search_selection_command();
// F6 and F7: the selection translated, in MyAdmin's "Traduction" page.
void translate_french_to_english_command();
void translate_english_to_french_command();

// The web history and bookmark lists, read at start from orvane_zuda_history
// and orvane_zuda_bookmarks; the bookmarks again when that file is saved.
void zuda_lists_load();
void zuda_bookmarks_reload();
const Lines& zuda_history();
const Lines& zuda_bookmarks();
