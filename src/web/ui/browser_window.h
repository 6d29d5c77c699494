// Free-standing browser windows: a toolbar, an address entry and a web view,
// titled with the page's title. Nothing keeps a list of them.
#pragma once

#include <gtk/gtk.h>

#include <string>

// Builds a browser window transient for the main window, shows it and loads
// `uri` (also put into its entry); returns its web view.
GtkWidget* browser_window_new(const std::string& uri);

// Makes `view` open browser windows: for new-window requests (a link with
// target=_blank) when `new_window_requests`, for pages that open a window by
// script (window.open) when `script_windows`.
void web_view_open_browser_windows(GtkWidget* view, bool new_window_requests, bool script_windows);
