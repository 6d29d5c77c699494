// Menu building, for the menu bar and for every module that fills a menu: each
// item carries its label as widget name, so handlers that serve many entries
// find the chosen one from it; separators, detach items and submenus are named
// "-x-".
#pragma once

#include <gtk/gtk.h>
#include <string>

#include "shell/lines.h"

using MenuHandler = void (*)(GtkMenuItem* item, gpointer data);

GtkWidget* menu_add_item(const std::string& label, GtkWidget* menu, MenuHandler handler);
GtkWidget* menu_add_item_with_data(const std::string& label, GtkWidget* menu, MenuHandler handler,
                                   gpointer data);
GtkWidget* menu_add_separator(GtkWidget* menu);
GtkWidget* menu_add_detach(GtkWidget* menu);
// Creates a menu and attaches it as the item's submenu.
GtkWidget* menu_add_submenu(GtkWidget* item);
// One item per non-empty line, in order.
void menu_add_items_from_lines(const Lines& lines, GtkWidget* menu, MenuHandler handler);

// The widget name of an activated item, i.e. its label.
std::string menu_item_name(GtkMenuItem* item);

// The menus that modules rebuild or fill from lists, files and directories.
enum class DynamicMenu {
    none,
    recent_files,
    bookmarks,
    sessions,
    templates,
    snippets,
    user_menu,
    open_documents,
    charsets,
    links,
    html_entities,
};
// The menu bar builder records the item of each dynamic menu here.
void dynamic_menu_register(DynamicMenu which, GtkWidget* item);
// The menu item whose submenu a rebuild replaces (null before the menu bar exists).
GtkWidget* dynamic_menu_item(DynamicMenu which);
// A fresh, empty submenu for `which` (null before the menu bar exists).
GtkWidget* dynamic_menu_replace(DynamicMenu which);
