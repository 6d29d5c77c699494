#include "web/ui/browser_window.h"

#include <glib/gi18n-lib.h>
#include <webkit2/webkit2.h>

#include <memory>

#include "shell/ui/window_parts.h"
#include "web/ui/web_tab.h"
#include "web/ui/web_views.h"

namespace {

void delete_tab(gpointer tab) {
    std::unique_ptr<WebTab> owned(static_cast<WebTab*>(tab));
}

void on_title(WebKitWebView* view, GParamSpec*, gpointer window) {
    const gchar* title = webkit_web_view_get_title(view);
    if (title && *title) gtk_window_set_title(GTK_WINDOW(window), title);
}

void on_close(WebKitWebView*, gpointer window) {
    gtk_widget_destroy(GTK_WIDGET(window));
}

void on_ready_to_show(WebKitWebView*, gpointer window) {
    gtk_widget_show_all(GTK_WIDGET(window));
}

// The window around `view`, not shown yet.
GtkWidget* build_window(GtkWidget* view) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(window, "browser_window");
    if (GtkWindow* main = main_window()) gtk_window_set_transient_for(GTK_WINDOW(window), main);
    gtk_window_resize(GTK_WINDOW(window), 900, 500);
    gtk_window_maximize(GTK_WINDOW(window));

    auto tab = std::make_unique<WebTab>();
    tab->view = view;
    WebTab* t = tab.get();
    g_object_set_data_full(G_OBJECT(window), "orvane-web-tab", tab.release(), delete_tab);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
    gtk_box_pack_start(GTK_BOX(row), web_toolbar_new(t, WebToolbarKind::browser_window), TRUE, TRUE,
                       0);
    gtk_box_pack_start(GTK_BOX(row), web_tab_entry_new(t, "browser_entry", _("Adresse")), TRUE,
                       TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    GtkWidget* scrolled = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scrolled), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scrolled), view);
    gtk_box_pack_start(GTK_BOX(box), scrolled, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(window), box);

    web_tab_watch_view(t, view);
    web_view_open_browser_windows(view, true, true);
    g_signal_connect(view, "notify::title", G_CALLBACK(on_title), window);
    g_signal_connect(view, "close", G_CALLBACK(on_close), window);
    return window;
}

gboolean on_decide_policy(WebKitWebView*, WebKitPolicyDecision* decision,
                          WebKitPolicyDecisionType type, gpointer) {
    if (type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION) return FALSE;
    WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
        WEBKIT_NAVIGATION_POLICY_DECISION(decision));
    const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
    const std::string address = uri ? uri : "";
    // Answered here: the view that asked does not navigate.
    webkit_policy_decision_ignore(decision);
    browser_window_new(address);
    return TRUE;
}

// A page opens a window by script: WebKit loads the page into the view given
// back, and asks for the window to be shown once it is ready.
GtkWidget* on_create(WebKitWebView* related, WebKitNavigationAction*, gpointer) {
    GtkWidget* view = web_view_new_related(GTK_WIDGET(related));
    GtkWidget* window = build_window(view);
    g_signal_connect(view, "ready-to-show", G_CALLBACK(on_ready_to_show), window);
    return view;
}

} // namespace

GtkWidget* browser_window_new(const std::string& uri) {
    GtkWidget* view = web_view_new();
    GtkWidget* window = build_window(view);
    gtk_window_set_title(GTK_WINDOW(window), uri.c_str());
    auto* tab = static_cast<WebTab*>(g_object_get_data(G_OBJECT(window), "orvane-web-tab"));
    web_tab_set_address(*tab, uri);
    gtk_widget_show_all(window);
    webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri.c_str());
    return view;
}

void web_view_open_browser_windows(GtkWidget* view, bool new_window_requests, bool script_windows) {
    if (new_window_requests)
        g_signal_connect(view, "decide-policy", G_CALLBACK(on_decide_policy), nullptr);
    if (script_windows) g_signal_connect(view, "create", G_CALLBACK(on_create), nullptr);
}
