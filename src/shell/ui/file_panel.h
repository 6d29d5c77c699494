// The file panel of the side notebook: a folder chooser with two small tools.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>

GtkWidget* file_panel_create();
// The file chooser widget; other tools use its current folder.
GtkWidget* file_panel();
GtkWidget* file_panel_name_entry();
std::optional<std::string> file_panel_folder();
void file_panel_set_folder(const std::string& folder);

// "Create a directory" and "Create a File": the panel's folder, "/" and the name entry.
void file_panel_create_directory();
void file_panel_create_file();
