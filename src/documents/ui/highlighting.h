// Highlighting of the pages and the colour themes.
#pragma once

#include <gtk/gtk.h>
#include <string>

struct DocumentPage;

// The mode of a file name, or of the file's first lines when the settings ask
// for detection by content; "none" when nothing matches.
std::string highlight_mode_of_file(const std::string& path);
// Sets the page's buffer language from its highlight mode (a mode that is not
// one of the menu's leaves the language as it is).
void set_language_from_mode(DocumentPage& page);
// Removes every tag from the page's text (search and word marks too) and sets
// the language again.
void refresh_page_highlighting(DocumentPage& page);

// "Coloration syntaxique": the item's name becomes the current page's mode.
void on_highlight_mode_item(GtkMenuItem* item, gpointer);
// "Rafraichir la coloration syntaxique".
void refresh_highlighting_command();
// A "Themes" item: the scheme goes to every page and the panels, and to
// orvane_theme for the pages to come. Nothing without a current document.
void theme_command(const std::string& scheme);
