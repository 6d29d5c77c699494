#include "shell/ui/window_parts.h"

#include <map>

#include "shell/gobj.h"
#include "shell/settings.h"

namespace {
struct Parts {
    std::map<WindowPart, GtkWidget*> widgets;
    std::map<PanelPage, GtkWidget*> pages;
    GtkWidget* run_window = nullptr;
    std::string theme = "classic";
    long last_prefs_tab = 0;
    // The folder asked of a file panel whose chooser is not built yet, and the
    // panel (its name entry, cleared with it) it was asked of.
    std::string pending_folder;
    GtkWidget* pending_panel = nullptr;
};

Parts& parts() {
    static Parts p;
    return p;
}

// The references clear themselves when the widget is destroyed (at exit, or
// when tests build the window again).
void track(GtkWidget*& slot, GtkWidget* widget) {
    if (slot == widget) return;
    if (slot) g_object_remove_weak_pointer(G_OBJECT(slot), reinterpret_cast<gpointer*>(&slot));
    slot = widget;
    if (widget) g_object_add_weak_pointer(G_OBJECT(widget), reinterpret_cast<gpointer*>(&slot));
}
} // namespace

void window_part_set(WindowPart part, GtkWidget* widget) {
    track(parts().widgets[part], widget);
}

GtkWidget* window_part(WindowPart part) {
    auto it = parts().widgets.find(part);
    return it == parts().widgets.end() ? nullptr : it->second;
}

GtkWindow* main_window() {
    GtkWidget* w = window_part(WindowPart::window);
    return w ? GTK_WINDOW(w) : nullptr;
}
GtkWidget* main_notebook() {
    return window_part(WindowPart::main_notebook);
}
GtkWidget* side_notebook() {
    return window_part(WindowPart::side_notebook);
}
GtkWidget* bottom_notebook() {
    return window_part(WindowPart::bottom_notebook);
}
GtkWidget* editor_notebook() {
    return window_part(WindowPart::editor_notebook);
}
GtkWidget* terminal_notebook() {
    return window_part(WindowPart::terminal_notebook);
}
GtkWidget* myadmin_notebook() {
    return window_part(WindowPart::myadmin_notebook);
}

void panel_page_set(PanelPage page, GtkWidget* box) {
    track(parts().pages[page], box);
}

GtkWidget* panel_page(PanelPage page) {
    auto it = parts().pages.find(page);
    return it == parts().pages.end() ? nullptr : it->second;
}

void editor_area_update(bool has_documents) {
    GtkWidget* notebook = editor_notebook();
    GtkWidget* start = window_part(WindowPart::start_view);
    if (!notebook || !start) return;
    if (has_documents) {
        gtk_widget_hide(start);
        gtk_widget_show(notebook);
    } else {
        gtk_widget_hide(notebook);
        gtk_widget_show_all(start);
    }
}

GtkWidget* run_window() {
    return parts().run_window;
}

void run_window_replace(GtkWidget* window) {
    auto& p = parts();
    if (p.run_window == window) return;
    if (GtkWidget* old = p.run_window) {
        track(p.run_window, nullptr);
        gtk_widget_destroy(old);
    }
    track(p.run_window, window);
}

const std::string& theme_name() {
    return parts().theme;
}
void set_theme_name(const std::string& name) {
    parts().theme = name;
}
long last_prefs_tab() {
    return parts().last_prefs_tab;
}
void set_last_prefs_tab(long page) {
    parts().last_prefs_tab = page;
}

std::optional<std::string> file_panel_folder() {
    GtkWidget* chooser = window_part(WindowPart::file_panel);
    if (!chooser) {
        const Parts& p = parts();
        GtkWidget* panel = window_part(WindowPart::file_panel_name);
        if (!panel) return std::nullopt;
        if (p.pending_panel == panel) return p.pending_folder;
        // The folder the chooser opens on once its page shows.
        const Settings& s = settings();
        if (s.use_def_open_dir && g_file_test(s.def_open_dir.c_str(), G_FILE_TEST_IS_DIR)) {
            std::string folder = s.def_open_dir;
            while (folder.size() > 1 && folder.back() == '/')
                folder.pop_back();
            return folder;
        }
        GCharPtr here(g_get_current_dir());
        return std::string(here.get());
    }
    char* folder = gtk_file_chooser_get_current_folder(GTK_FILE_CHOOSER(chooser));
    if (!folder) return std::nullopt;
    std::string out(folder);
    g_free(folder);
    return out;
}

void file_panel_set_folder(const std::string& folder) {
    if (GtkWidget* chooser = window_part(WindowPart::file_panel)) {
        gtk_file_chooser_set_current_folder(GTK_FILE_CHOOSER(chooser), folder.c_str());
        return;
    }
    // Kept for the chooser, built when its page first shows.
    Parts& p = parts();
    track(p.pending_panel, window_part(WindowPart::file_panel_name));
    p.pending_folder = folder;
}
