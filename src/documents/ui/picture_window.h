// The small window that shows a picture file named in the text.
#pragma once

#include <gtk/gtk.h>
#include <string>

// A plain top-level window holding the picture, titled with the file's base
// name; it lives until the user closes it.
GtkWidget* picture_window_show(const std::string& path);
