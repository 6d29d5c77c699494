// The menu bar, built from the menu table.
#pragma once

#include <gtk/gtk.h>
#include <string>

#include "shell/ui/menu_builders.h"

// Builds the menu bar from the menu table, adding accelerators to `accel_group`.
GtkWidget* menu_bar_build(GtkAccelGroup* accel_group);
GtkWidget* menu_bar();

// The widget names of every item of the menu bar, depth first, "-x-" left out,
// joined by line feeds: what "Dump menu" inserts.
std::string menu_dump();

// The first item of the menu bar whose widget name is `name`, searched depth
// first (top-level menus included); null when there is none.
GtkWidget* menu_find_item(const std::string& name);
