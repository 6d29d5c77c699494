#include "web/ui/web_views.h"

#include "documents/ui/document_page.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "web/product_pages.h"
#include "web/ui/browser_window.h"
#include "web/ui/mini_web.h"
#include "web/ui/web_downloads.h"
#include "web/web_addresses.h"

#include <glib/gi18n-lib.h>
#include <webkit2/webkit2.h>

#include <array>
#include <vector>

namespace {

struct Panel {
    GtkWidget* container = nullptr; // owned by the widget tree
    GtkWidget* view = nullptr;      // child of container once created
    guint idle = 0;                 // pending creation of the start view
    gulong map_handler = 0;
    std::string pending_uri;
};

std::array<Panel, 5> g_panels;
std::array<std::vector<WebViewCreatedHook>, 5> g_hooks;
bool g_start_pages_wanted = false;
bool g_remote_start_pages = true;

size_t index_of(WebPanel panel) {
    return static_cast<size_t>(panel);
}
Panel& panel_of(WebPanel panel) {
    return g_panels[index_of(panel)];
}

// The product's pages are small; anything larger is not one of them.
constexpr std::size_t kLargestProductPage = 16 * 1024 * 1024;

void fail_request(WebKitURISchemeRequest* request, gint code, const char* format, const char* uri) {
    GErrorPtr error(g_error_new(G_IO_ERROR, code, format, uri));
    webkit_uri_scheme_request_finish_error(request, error.get());
}

void serve_product_page(WebKitURISchemeRequest* request, gpointer) {
    const gchar* uri = webkit_uri_scheme_request_get_uri(request);
    if (!uri) uri = "";
    auto file = product_page_file(uri, data_dir() + "/www");
    if (!file) {
        fail_request(request, G_IO_ERROR_PERMISSION_DENIED, _("Adresse refusée : %s"), uri);
        return;
    }
    auto contents = file_read_regular(file->path, kLargestProductPage);
    if (!contents) {
        fail_request(request, G_IO_ERROR_NOT_FOUND, _("Page introuvable : %s"), uri);
        return;
    }
    const auto length = static_cast<gint64>(contents->size());
    GBytes* bytes = g_bytes_new(contents->data(), contents->size());
    GObjectPtr<GInputStream> stream(g_memory_input_stream_new_from_bytes(bytes));
    g_bytes_unref(bytes);
    webkit_uri_scheme_request_finish(request, stream.get(), length, file->mime.c_str());
}

void load_into(GtkWidget* view, const std::string& uri) {
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri.c_str());
}

void load_start_page(WebPanel which, GtkWidget* view) {
    std::string uri = web_panel_start_page(which);
    if (g_remote_start_pages || is_product_page_address(uri)) load_into(view, uri);
}

constexpr const char* kShowTimerKey = "orvane-show-timer";

void show_now(GtkWidget* view);

void forget_show_timer(gpointer id) {
    g_source_remove(GPOINTER_TO_UINT(id));
}

// A page that keeps loading (a slow server) does not keep its view hidden.
gboolean show_late(gpointer view) {
    g_object_steal_data(G_OBJECT(view), kShowTimerKey);
    show_now(GTK_WIDGET(view));
    return G_SOURCE_REMOVE;
}

// Its page's content has begun to come in (or failed: the view then shows
// its error page).
void show_when_loaded(WebKitWebView* view, WebKitLoadEvent event, gpointer) {
    if (event == WEBKIT_LOAD_COMMITTED || event == WEBKIT_LOAD_FINISHED) show_now(GTK_WIDGET(view));
}

void show_now(GtkWidget* view) {
    g_signal_handlers_disconnect_by_func(view, reinterpret_cast<gpointer>(show_when_loaded), nullptr);
    g_object_set_data(G_OBJECT(view), kShowTimerKey, nullptr);
    gtk_widget_show(view);
}

void create_view(WebPanel which) {
    Panel& p = panel_of(which);
    if (p.view || !p.container) return;
    if (p.idle) {
        g_source_remove(p.idle);
        p.idle = 0;
    }
    if (p.map_handler) {
        g_signal_handler_disconnect(p.container, p.map_handler);
        p.map_handler = 0;
    }
    p.view = web_view_new();
    gtk_container_add(GTK_CONTAINER(p.container), p.view);
    // A view drawn while its web process is still starting holds the window
    // up waiting for that process's first frame (half a second for the start
    // view, which shows with the window): it shows once its page has loaded.
    g_signal_connect(p.view, "load-changed", G_CALLBACK(show_when_loaded), nullptr);
    g_object_set_data_full(G_OBJECT(p.view), kShowTimerKey,
                           GUINT_TO_POINTER(g_timeout_add(2000, show_late, p.view)),
                           forget_show_timer);
    // Added to a scrolled window, a view that does not scroll by itself is
    // wrapped in a viewport, which must be shown as well.
    if (GtkWidget* child = gtk_bin_get_child(GTK_BIN(p.container))) gtk_widget_show(child);
    GtkWidget* view = p.view;
    // Links asking for a new window open browser windows from the views the
    // user browses in; the translation service may open one by script.
    if (which == WebPanel::mini_web || which == WebPanel::myadmin_web)
        web_view_open_browser_windows(view, true, true);
    else if (which == WebPanel::translation)
        web_view_open_browser_windows(view, false, true);
    // A hook may load a page itself; it runs before the start page so that
    // its handlers see that first load too.
    for (auto hook : g_hooks[index_of(which)])
        hook(which, view);
    if (!p.pending_uri.empty()) {
        std::string uri = std::move(p.pending_uri);
        p.pending_uri.clear();
        load_into(view, uri);
    } else if (g_start_pages_wanted) {
        load_start_page(which, view);
    }
    // Nothing to load: the view shows as it is.
    if (!webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view))) show_now(view);
}

gboolean create_start_view_idle(gpointer) {
    Panel& p = panel_of(WebPanel::start);
    p.idle = 0;
    // Hidden again meanwhile (a file opened as the program started): the
    // view waits until the start view shows.
    if (!p.container || !gtk_widget_get_mapped(p.container)) return G_SOURCE_REMOVE;
    create_view(WebPanel::start);
    return G_SOURCE_REMOVE;
}

void on_container_map(GtkWidget*, gpointer data) {
    auto which = static_cast<WebPanel>(GPOINTER_TO_INT(data));
    Panel& p = panel_of(which);
    if (p.view) return;
    // The start view is visible with the window: building it right away would
    // hold the window back, so it waits until the window is on screen.
    if (which == WebPanel::start) {
        if (!p.idle) p.idle = g_idle_add(create_start_view_idle, nullptr);
        return;
    }
    create_view(which);
}

void on_container_destroy(GtkWidget* widget, gpointer data) {
    Panel& p = panel_of(static_cast<WebPanel>(GPOINTER_TO_INT(data)));
    if (p.container != widget) return; // an older container of the same panel
    if (p.idle) g_source_remove(p.idle);
    p = Panel{};
}

} // namespace

void product_scheme_register() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WebKitWebContext* context = webkit_web_context_get_default();
    webkit_web_context_register_uri_scheme(context, kProductScheme, serve_product_page, nullptr,
                                           nullptr);
    // Local: pages from the web cannot link to or embed the product's pages.
    webkit_security_manager_register_uri_scheme_as_local(
        webkit_web_context_get_security_manager(context), kProductScheme);
    web_downloads_register(context);
}

GtkWidget* web_view_new() {
    product_scheme_register();
    GtkWidget* view = webkit_web_view_new();
    web_view_download_unshowable(view);
    return view;
}

GtkWidget* web_view_new_related(GtkWidget* related) {
    product_scheme_register();
    GtkWidget* view = webkit_web_view_new_with_related_view(WEBKIT_WEB_VIEW(related));
    web_view_download_unshowable(view);
    return view;
}

std::string web_panel_start_page(WebPanel panel) {
    switch (panel) {
    case WebPanel::start:
    case WebPanel::mini_web:
        return product_home_page();
    case WebPanel::myadmin_web:
    case WebPanel::help_search:
        return search_engine_home_page();
    case WebPanel::translation:
        return translation_home_page();
    }
    return product_home_page();
}

GtkWidget* web_panel_create(WebPanel panel) {
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    Panel& p = panel_of(panel);
    // A panel has one container at a time; an older one stops creating views.
    if (p.idle) g_source_remove(p.idle);
    if (p.container && p.map_handler) g_signal_handler_disconnect(p.container, p.map_handler);
    std::string pending = std::move(p.pending_uri);
    p = Panel{};
    p.container = scrolled;
    p.pending_uri = std::move(pending);
    gpointer data = GINT_TO_POINTER(static_cast<int>(panel));
    p.map_handler = g_signal_connect(scrolled, "map", G_CALLBACK(on_container_map), data);
    g_signal_connect(scrolled, "destroy", G_CALLBACK(on_container_destroy), data);
    return scrolled;
}

GtkWidget* web_panel_view(WebPanel panel) {
    return panel_of(panel).view;
}

GtkWidget* web_panel_ensure_view(WebPanel panel) {
    create_view(panel);
    return panel_of(panel).view;
}

void web_panel_load(WebPanel panel, const std::string& uri) {
    Panel& p = panel_of(panel);
    if (p.view)
        load_into(p.view, uri);
    else
        p.pending_uri = uri;
}

void web_panel_on_created(WebPanel panel, WebViewCreatedHook hook) {
    if (!hook) return;
    g_hooks[index_of(panel)].push_back(hook);
    if (GtkWidget* view = panel_of(panel).view) hook(panel, view);
}

void web_panels_load_start_pages() {
    g_start_pages_wanted = true;
    for (size_t i = 0; i < g_panels.size(); ++i)
        if (g_panels[i].view) load_start_page(static_cast<WebPanel>(i), g_panels[i].view);
}

void web_panels_allow_remote_start_pages(bool allow) {
    g_remote_start_pages = allow;
}

void mini_web_preview(const std::string& path) {
    // The platform's conversion escapes what a URI cannot hold ("#", blanks).
    if (auto address = file_address(path)) mini_web_load_address(*address);
}

void mini_web_show_html(const std::string& html, const std::string& base_uri) {
    GtkWidget* view = web_panel_ensure_view(WebPanel::mini_web);
    if (!view) return;
    webkit_web_view_load_html(WEBKIT_WEB_VIEW(view), html.c_str(),
                              base_uri.empty() ? nullptr : base_uri.c_str());
}

void mini_web_follow_save(DocumentPage& page) {
    const std::size_t dot = page.path.rfind('.');
    if (dot == std::string::npos) return;
    const std::string_view ext = std::string_view(page.path).substr(dot);
    if (ext != ".htm" && ext != ".html" && ext != ".php") return;
    GtkWidget* view = web_panel_view(WebPanel::mini_web);
    if (view && webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view)))
        webkit_web_view_reload(WEBKIT_WEB_VIEW(view));
}

