// The main toolbar and the search toolbar of the editor page's toolbar row.
#pragma once

#include <gtk/gtk.h>

GtkWidget* main_toolbar_create();
GtkWidget* main_toolbar();
// Shows or hides the main toolbar from do_show_main_toolbar.
void main_toolbar_apply_visibility();

// Holds the command entry, which must exist first.
GtkWidget* search_toolbar_create();
