// The file panel of the side notebook: a folder chooser with two small tools.
// Its current folder is handed out by shell/ui/window_parts.h.
#pragma once

#include <gtk/gtk.h>

GtkWidget* file_panel_create();
// The panel's chooser, built now if its page has not shown yet; null without a panel.
GtkWidget* file_panel_chooser();

// "Create a directory" and "Create a File": the panel's folder, "/" and the name entry.
void file_panel_create_directory();
void file_panel_create_file();
