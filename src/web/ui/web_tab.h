// What the Mini Web, the MyAdmin "Web" page and the browser windows share: an
// address entry, a toolbar acting on one web view, the source view of a page
// and the handler that writes each finished load back into the entry.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "web/ui/web_views.h"

struct WebTab {
    // A panel's view is built lazily and looked up each time; a browser
    // window's view is fixed.
    bool is_panel = false;
    WebPanel panel = WebPanel::mini_web;
    GtkWidget* view = nullptr;
    GtkWidget* entry = nullptr;       // null until the page's controls are built
    std::string address;              // the entry's text while there is no entry
    GtkListStore* history = nullptr;  // rows appended per finished load; null: none
    GtkWidget* server_list = nullptr; // shown and hidden by "BookMark ON/OFF"
};

// The tab's web view, or null while a panel's view is not built.
GtkWidget* web_tab_view(const WebTab& tab);
// The address in the tab's entry (kept aside while the entry does not exist).
std::string web_tab_address(const WebTab& tab);
void web_tab_set_address(WebTab& tab, const std::string& address);

enum class WebToolbarKind { mini_web, myadmin, browser_window };
// The toolbar above a tab (icons only, small); `tab` must outlive it.
GtkWidget* web_toolbar_new(WebTab* tab, WebToolbarKind kind);

// An address entry whose Enter loads its text into the tab's view; with a
// history, the entry completes from it. It starts with the tab's address.
GtkWidget* web_tab_entry_new(WebTab* tab, const char* name, const char* accessible_name);

// Connects the tab's load handler to its view: each finished load writes the
// view's address into the entry and appends the entry's text to the history.
// The source view's own page (about:blank) is never written.
void web_tab_watch_view(WebTab* tab, GtkWidget* view);

// The source view: the page's own bytes shown as text; the web view loads the
// address the source was taken from again. A view stays in source mode until
// the web view is asked for or it navigates elsewhere.
void web_view_show_source(GtkWidget* view);
void web_view_show_web(GtkWidget* view);
bool web_view_showing_source(GtkWidget* view);
