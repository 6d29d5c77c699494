#include "shell/ui/main_window.h"

#include <glib/gi18n-lib.h>
#include <libnotify/notify.h>

#include "shell/config_dir.h"
#include "shell/data_paths.h"
#include "shell/settings.h"
#include "shell/ui/app.h"

namespace {
struct MainWindow {
    GtkWidget* window = nullptr;
    GtkWidget* vpaned1 = nullptr;
    GtkWidget* log_view = nullptr;
    std::string theme = "classic";
    long last_prefs_tab = 0;
    GtkCssProvider* colors = nullptr;
};

MainWindow& mw() {
    static MainWindow m;
    return m;
}

gboolean on_delete_event(GtkWidget*, GdkEvent*, gpointer) {
    ui_state_save();
    return FALSE;
}

gboolean on_configure_event(GtkWidget*, GdkEvent*, gpointer) {
    ui_state_snapshot();
    return FALSE;
}

void log_start(GtkTextView* view) {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(view);
    gtk_text_buffer_create_tag(buffer, "lm_greet", "foreground", "#1c6b2e", "weight",
                               PANGO_WEIGHT_BOLD, nullptr);
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    if (GdkPixbuf* start_pic = gdk_pixbuf_new_from_file(pixmap_path("orvane_start.png").c_str(),
                                                        nullptr)) {
        gtk_text_buffer_insert_pixbuf(buffer, &start, start_pic);
        g_object_unref(start_pic);
        gtk_text_buffer_insert(buffer, &start, "\n", -1);
    }
    std::string greeting =
        std::string(_("Bienvenue dans ")) + kProductName + " " + kProductVersion + "\n";
    gtk_text_buffer_insert_with_tags_by_name(buffer, &start, greeting.c_str(), -1, "lm_greet",
                                             nullptr);
}
} // namespace

GtkWindow* main_window() { return GTK_WINDOW(mw().window); }
const std::string& theme_name() { return mw().theme; }

void apply_text_colors() {
    auto& m = mw();
    if (!m.log_view) return;
    const Settings& s = settings();
    std::string css = "textview text { color: " + s.text_foreground +
                      "; background-color: " + s.text_background +
                      "; } textview text selection { color: " + s.text_sel_foreground +
                      "; background-color: " + s.text_sel_background + "; }";
    if (!m.colors) {
        m.colors = gtk_css_provider_new();
        gtk_style_context_add_provider(gtk_widget_get_style_context(m.log_view),
                                       GTK_STYLE_PROVIDER(m.colors),
                                       GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    }
    // A colour name the CSS parser does not know leaves the previous colours.
    gtk_css_provider_load_from_data(m.colors, css.c_str(), -1, nullptr);
}

UiState main_window_ui_state() {
    auto& m = mw();
    UiState s;
    s.last_prefs_tab = m.last_prefs_tab;
    if (m.window) {
        gint w = 0, h = 0, x = 0, y = 0;
        gtk_window_get_size(GTK_WINDOW(m.window), &w, &h);
        gtk_window_get_position(GTK_WINDOW(m.window), &x, &y);
        s.main_wnd_w = w;
        s.main_wnd_h = h;
        s.main_wnd_x = x;
        s.main_wnd_y = y;
    }
    if (m.vpaned1) s.vpaned1_y = gtk_paned_get_position(GTK_PANED(m.vpaned1));
    return s;
}

GtkWidget* main_window_build() {
    auto& m = mw();
    config_load();
    notify_init("libnotify");
    m.theme = read_theme_name(config_paths().theme);

    m.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(m.window, "main_window");
    std::string title = std::string(kProductName) + " " + kProductVersion;
    gtk_window_set_title(GTK_WINDOW(m.window), title.c_str());
    gtk_window_set_default_size(GTK_WINDOW(m.window), 1024, 720);
    g_signal_connect(m.window, "delete-event", G_CALLBACK(on_delete_event), nullptr);
    g_signal_connect(m.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    g_signal_connect(m.window, "configure-event", G_CALLBACK(on_configure_event), nullptr);

    m.vpaned1 = gtk_paned_new(GTK_ORIENTATION_VERTICAL);
    gtk_container_add(GTK_CONTAINER(m.window), m.vpaned1);
    GtkWidget* editor_area = gtk_notebook_new();
    gtk_paned_pack1(GTK_PANED(m.vpaned1), editor_area, TRUE, FALSE);
    GtkWidget* log_scroll = gtk_scrolled_window_new(nullptr, nullptr);
    m.log_view = gtk_text_view_new();
    gtk_widget_set_name(m.log_view, "log_memo");
    gtk_text_view_set_editable(GTK_TEXT_VIEW(m.log_view), FALSE);
    gtk_container_add(GTK_CONTAINER(log_scroll), m.log_view);
    gtk_paned_pack2(GTK_PANED(m.vpaned1), log_scroll, TRUE, TRUE);

    apply_text_colors();
    log_start(GTK_TEXT_VIEW(m.log_view));

    m.last_prefs_tab = ui_state_read_last_prefs_tab(config_paths().ui);
    // The stored geometry is not applied: the window starts maximised.
    gtk_window_maximize(GTK_WINDOW(m.window));
    gtk_paned_set_position(GTK_PANED(m.vpaned1), 50);
    return m.window;
}
