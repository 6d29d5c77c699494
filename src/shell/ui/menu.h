// Menu building: every item carries its label as widget name, so handlers that
// serve many entries find the chosen one from it; separators, detach items and
// submenus are named "-x-".
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

// Builds the menu bar from the menu table, adding accelerators to `accel_group`.
GtkWidget* menu_bar_build(GtkAccelGroup* accel_group);
GtkWidget* menu_bar();

// The widget names of every item of the menu bar, depth first, "-x-" left out,
// joined by line feeds: what "Dump menu" inserts.
std::string menu_dump();

// The first item of the menu bar whose widget name is `name`, searched depth
// first (top-level menus included); null when there is none.
GtkWidget* menu_find_item(const std::string& name);
