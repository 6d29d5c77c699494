// The main window's web views. Each is created lazily: the start view once the
// window has mapped, the others when their page is first shown.
#pragma once

#include <gtk/gtk.h>

#include <string>

struct DocumentPage;

enum class WebPanel { start, mini_web, myadmin_web, translation, help_search };

// A container (scrolled window) that will hold the panel's web view; the main
// window builder packs it where the panel belongs.
GtkWidget* web_panel_create(WebPanel panel);
// The panel's web view (a WebKitWebView as GtkWidget), or null while not created.
GtkWidget* web_panel_view(WebPanel panel);
// Loads the start pages (the start view's product home page) once views exist.
void web_panels_load_start_pages();

// The page a panel shows at start-up: the product's home page for the start and
// Mini Web views, the search engine for MyAdmin Web and Aide/Recherche, the
// translation service for Traduction.
std::string web_panel_start_page(WebPanel panel);
// Creates the panel's view now if its container exists and the view does not
// (for callers that must act on a panel the user has not opened yet); returns
// the view or null when there is no container.
GtkWidget* web_panel_ensure_view(WebPanel panel);
// Loads uri into the panel's view, or, while the view does not exist, remembers
// it and loads it (instead of the start page) when the view is created.
void web_panel_load(WebPanel panel, const std::string& uri);
// Called with the view once it exists (at once if it already does), so that
// other modules can connect their handlers to a view created lazily. Hooks
// stay registered for views created later for the same panel.
using WebViewCreatedHook = void (*)(WebPanel panel, GtkWidget* view);
void web_panel_on_created(WebPanel panel, WebViewCreatedHook hook);

// Whether start pages outside the product's own pages (search engine,
// translation service) are loaded when their view is built; on by default.
// Test runs turn it off so that showing a panel never reaches the network.
void web_panels_allow_remote_start_pages(bool allow);

// Shows a picture or web page (a file-system path) in the Mini Web and says so.
void mini_web_preview(const std::string& path);
// Shows generated HTML in the Mini Web, its relative links resolved against
// `base_uri` (creating the view if the page was never shown).
void mini_web_show_html(const std::string& html, const std::string& base_uri);
// After a save, a page the Mini Web shows (.htm, .html, .php) is reloaded there.
void mini_web_follow_save(DocumentPage& page);

// A new web view on the default context, with the product's page scheme
// registered; every web view of the program should be made through it (or,
// for a page's script-opened window, through web_view_new_related). Pages
// the view cannot show that come over http(s) are downloaded.
GtkWidget* web_view_new();
GtkWidget* web_view_new_related(GtkWidget* related);
// Registers the product's page scheme on the default web context (once).
void product_scheme_register();
