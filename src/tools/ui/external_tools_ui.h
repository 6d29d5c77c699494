// Handing the user's work to other desktop programs: DevHelp, GIMP and the
// browsers of the "Navigateurs" menu. None of them is waited for.
#pragma once

#include <gtk/gtk.h>
#include <string>

// "Recher avec DevHelp": searches the command entry's text in DevHelp.
void devhelp_search_command();

// " Ouvrir avec Gimp ": opens `address` (a file:// address or a path, as the
// Mini Web shows it) in GIMP.
void gimp_open_address(const std::string& address);

// Opens the current document's file in the browser named `item` ("Firefox",
// "Opera"…, compared without regard to case), with that browser's command
// template from the settings.
void browser_open(const std::string& item);
// The "Navigateurs" items' handler: the item's widget name is the browser.
void on_browser_item(GtkMenuItem* item, gpointer data);
