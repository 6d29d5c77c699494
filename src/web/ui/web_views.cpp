#include "web/ui/web_views.h"

// Placeholders: the web views are built in their own change.
GtkWidget* web_panel_create(WebPanel) { return gtk_scrolled_window_new(nullptr, nullptr); }
GtkWidget* web_panel_view(WebPanel) { return nullptr; }
void web_panels_load_start_pages() {}
