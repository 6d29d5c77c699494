#include "web/ui/web_tab.h"

#include <glib/gi18n-lib.h>
#include <webkit2/webkit2.h>

#include <memory>
#include <string_view>
#include <vector>

#include "shell/gobj.h"
#include "web/ui/browser_window.h"

namespace {

constexpr const char* kSourceAddress = "orvane-source-address";
constexpr std::string_view kBlank = "about:blank";

WebKitWebView* web(GtkWidget* view) {
    return WEBKIT_WEB_VIEW(view);
}

std::string view_address(GtkWidget* view) {
    const gchar* uri = webkit_web_view_get_uri(web(view));
    return uri ? uri : "";
}

const char* source_address(GtkWidget* view) {
    return static_cast<const char*>(g_object_get_data(G_OBJECT(view), kSourceAddress));
}

void set_source_address(GtkWidget* view, const char* address) {
    g_object_set_data_full(G_OBJECT(view), kSourceAddress, address ? g_strdup(address) : nullptr,
                           g_free);
}

struct SourceFetch {
    GObjectPtr<GtkWidget> view;
    std::string address;
};

void on_source_data(GObject* resource, GAsyncResult* result, gpointer data) {
    std::unique_ptr<SourceFetch> fetch(static_cast<SourceFetch*>(data));
    gsize length = 0;
    GError* raw_error = nullptr;
    GCharPtr bytes(reinterpret_cast<gchar*>(webkit_web_resource_get_data_finish(
        WEBKIT_WEB_RESOURCE(resource), result, &length, &raw_error)));
    GErrorPtr error(raw_error);
    GtkWidget* view = fetch->view.get();
    // The web view may have been asked for meanwhile.
    const char* wanted = source_address(view);
    if (!bytes || !wanted || fetch->address != wanted) return;
    GCharPtr text(g_utf8_make_valid(bytes.get(), static_cast<gssize>(length)));
    webkit_web_view_load_plain_text(web(view), text.get());
}

template <void (*Action)(WebKitWebView*)> void on_view_action(GtkToolButton*, gpointer data) {
    if (GtkWidget* view = web_tab_view(*static_cast<WebTab*>(data))) Action(web(view));
}

void on_source(GtkToolButton*, gpointer data) {
    if (GtkWidget* view = web_tab_view(*static_cast<WebTab*>(data))) web_view_show_source(view);
}

void on_web(GtkToolButton*, gpointer data) {
    if (GtkWidget* view = web_tab_view(*static_cast<WebTab*>(data))) web_view_show_web(view);
}

void on_bookmarks_shown(GtkToolButton*, gpointer data) {
    if (GtkWidget* list = static_cast<WebTab*>(data)->server_list) gtk_widget_show(list);
}

void on_bookmarks_hidden(GtkToolButton*, gpointer data) {
    if (GtkWidget* list = static_cast<WebTab*>(data)->server_list) gtk_widget_hide(list);
}

void on_new_window(GtkToolButton*, gpointer data) {
    browser_window_new(web_tab_address(*static_cast<WebTab*>(data)));
}

void on_entry_activate(GtkEntry* entry, gpointer data) {
    auto* tab = static_cast<WebTab*>(data);
    const std::string text = gtk_entry_get_text(entry);
    if (tab->is_panel)
        web_panel_load(tab->panel, text);
    else if (tab->view)
        webkit_web_view_load_uri(web(tab->view), text.c_str());
}

void on_load_changed(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
    if (event != WEBKIT_LOAD_FINISHED) return;
    auto* tab = static_cast<WebTab*>(data);
    const std::string address = view_address(GTK_WIDGET(view));
    if (web_view_showing_source(GTK_WIDGET(view))) {
        // The source is shown as a page of its own; the entry and the history
        // keep the page it was taken from.
        if (address == kBlank) return;
        set_source_address(GTK_WIDGET(view), nullptr);
    }
    web_tab_set_address(*tab, address);
    if (!tab->history) return;
    GtkTreeIter row;
    gtk_list_store_append(tab->history, &row);
    gtk_list_store_set(tab->history, &row, 0, web_tab_address(*tab).c_str(), -1);
}

struct ToolRow {
    const char* stock; // null: a separator
    const char* tooltip;
    GCallback handler;
};

} // namespace

GtkWidget* web_tab_view(const WebTab& tab) {
    return tab.is_panel ? web_panel_view(tab.panel) : tab.view;
}

std::string web_tab_address(const WebTab& tab) {
    return tab.entry ? gtk_entry_get_text(GTK_ENTRY(tab.entry)) : tab.address;
}

void web_tab_set_address(WebTab& tab, const std::string& address) {
    tab.address = address;
    if (tab.entry) gtk_entry_set_text(GTK_ENTRY(tab.entry), address.c_str());
}

GtkWidget* web_toolbar_new(WebTab* tab, WebToolbarKind kind) {
    const bool mini = kind == WebToolbarKind::mini_web;
    const bool myadmin = kind == WebToolbarKind::myadmin;
    std::vector<ToolRow> rows = {
        {"gtk-refresh", N_("Reload"), G_CALLBACK(on_view_action<webkit_web_view_reload>)},
        {"gtk-undo", N_("Undo"), G_CALLBACK(on_view_action<webkit_web_view_go_back>)},
        {"gtk-redo", N_("Redo"), G_CALLBACK(on_view_action<webkit_web_view_go_forward>)},
        {"gtk-stop", N_("Stop"), G_CALLBACK(on_view_action<webkit_web_view_stop_loading>)},
        {nullptr, nullptr, nullptr},
        {"gtk-properties", mini ? N_("Source View") : N_("Source view"), G_CALLBACK(on_source)},
        {"gtk-convert", N_("Web view"), G_CALLBACK(on_web)},
    };
    if (myadmin) {
        rows.push_back({"gtk-leave-fullscreen", N_("BookMark ON"), G_CALLBACK(on_bookmarks_shown)});
        rows.push_back({"gtk-fullscreen", N_("BookMark OFF"), G_CALLBACK(on_bookmarks_hidden)});
    }
    if (mini || myadmin) {
        rows.push_back({nullptr, nullptr, nullptr});
        rows.push_back({"gtk-add", N_("New window Web"), G_CALLBACK(on_new_window)});
    }

    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    for (const auto& row : rows) {
        GtkToolItem* item;
        if (!row.stock) {
            item = gtk_separator_tool_item_new();
        } else {
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            item = gtk_tool_button_new_from_stock(row.stock);
            G_GNUC_END_IGNORE_DEPRECATIONS
            const char* tip = _(row.tooltip);
            gtk_widget_set_name(GTK_WIDGET(item), row.stock);
            gtk_widget_set_tooltip_text(GTK_WIDGET(item), tip);
            // The button inside the item takes the focus; it carries the name.
            GtkWidget* button = gtk_bin_get_child(GTK_BIN(item));
            atk_object_set_name(gtk_widget_get_accessible(button ? button : GTK_WIDGET(item)), tip);
            g_signal_connect(item, "clicked", row.handler, tab);
        }
        gtk_toolbar_insert(GTK_TOOLBAR(toolbar), item, -1);
    }
    return toolbar;
}

GtkWidget* web_tab_entry_new(WebTab* tab, const char* name, const char* accessible_name) {
    GtkWidget* entry = gtk_entry_new();
    gtk_widget_set_name(entry, name);
    atk_object_set_name(gtk_widget_get_accessible(entry), accessible_name);
    if (tab->history) {
        GtkEntryCompletion* completion = gtk_entry_completion_new();
        gtk_entry_completion_set_model(completion, GTK_TREE_MODEL(tab->history));
        gtk_entry_completion_set_text_column(completion, 0);
        gtk_entry_set_completion(GTK_ENTRY(entry), completion);
        g_object_unref(completion);
    }
    gtk_entry_set_text(GTK_ENTRY(entry), tab->address.c_str());
    g_signal_connect(entry, "activate", G_CALLBACK(on_entry_activate), tab);
    tab->entry = entry;
    return entry;
}

void web_tab_watch_view(WebTab* tab, GtkWidget* view) {
    g_signal_connect(view, "load-changed", G_CALLBACK(on_load_changed), tab);
}

bool web_view_showing_source(GtkWidget* view) {
    return view && source_address(view) != nullptr;
}

void web_view_show_source(GtkWidget* view) {
    const std::string address = view_address(view);
    if (address.empty() || address == kBlank) return;
    WebKitWebResource* resource = webkit_web_view_get_main_resource(web(view));
    if (!resource) return;
    set_source_address(view, address.c_str());
    auto fetch = std::make_unique<SourceFetch>();
    fetch->view.reset(GTK_WIDGET(g_object_ref(view)));
    fetch->address = address;
    webkit_web_resource_get_data(resource, nullptr, on_source_data, fetch.release());
}

void web_view_show_web(GtkWidget* view) {
    const char* saved = source_address(view);
    if (!saved) {
        webkit_web_view_reload(web(view));
        return;
    }
    const std::string address = saved;
    set_source_address(view, nullptr);
    webkit_web_view_load_uri(web(view), address.c_str());
}
