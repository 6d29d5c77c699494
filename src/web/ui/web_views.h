// The main window's web views. Each is created lazily: the start view once the
// window has mapped, the others when their page is first shown.
#pragma once

#include <gtk/gtk.h>

enum class WebPanel { start, mini_web, myadmin_web, translation, help_search };

// A container (scrolled window) that will hold the panel's web view; the main
// window builder packs it where the panel belongs.
GtkWidget* web_panel_create(WebPanel panel);
// The panel's web view (a WebKitWebView as GtkWidget), or null while not created.
GtkWidget* web_panel_view(WebPanel panel);
// Loads the start pages (the start view's product home page) once views exist.
void web_panels_load_start_pages();
