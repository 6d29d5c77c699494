#include "documents/ui/picture_window.h"

#include "shell/gobj.h"

GtkWidget* picture_window_show(const std::string& path) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GCharPtr title(g_filename_display_basename(path.c_str()));
    gtk_window_set_title(GTK_WINDOW(window), title.get());
    gtk_container_add(GTK_CONTAINER(window), gtk_image_new_from_file(path.c_str()));
    gtk_widget_show_all(window);
    return window;
}
