#include "gui/support/chooser_answer.h"

#include <chrono>
#include <gtk/gtk.h>
#include <memory>
#include <set>

#include "shell/gobj.h"

namespace {

struct Pending {
    std::string path;
    std::function<void()> before_accept;
    std::chrono::steady_clock::time_point deadline;
    std::set<GtkWidget*> already_there;
    GtkWidget* dialog = nullptr; // once found; cleared when it goes
    bool recorded = false;
    int settle_ticks = 0;
    ~Pending() {
        if (dialog)
            g_object_remove_weak_pointer(G_OBJECT(dialog), reinterpret_cast<gpointer*>(&dialog));
    }
};

SeenChooser& seen() {
    static SeenChooser s;
    return s;
}

std::set<GtkWidget*> visible_choosers() {
    std::set<GtkWidget*> out;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        auto* w = static_cast<GtkWidget*>(l->data);
        if (GTK_IS_FILE_CHOOSER_DIALOG(w) && gtk_widget_get_visible(w)) out.insert(w);
    }
    g_list_free(all);
    return out;
}

void collect_extra(GtkWidget* widget, gpointer data) {
    auto* labels = static_cast<std::vector<std::string>*>(data);
    if (GTK_IS_BUTTON(widget)) {
        if (const char* label = gtk_button_get_label(GTK_BUTTON(widget))) labels->push_back(label);
    } else if (GTK_IS_LABEL(widget)) {
        labels->push_back(gtk_label_get_text(GTK_LABEL(widget)));
    } else if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(GTK_CONTAINER(widget), collect_extra, data);
    }
}

void record(GtkWidget* dialog) {
    SeenChooser s;
    s.found = true;
    if (const char* title = gtk_window_get_title(GTK_WINDOW(dialog))) s.title = title;
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(dialog);
    GCharPtr folder(gtk_file_chooser_get_current_folder(chooser));
    if (folder) s.folder = folder.get();
    GCharPtr name(gtk_file_chooser_get_current_name(chooser));
    if (name) s.name = name.get();
    for (int response : {GTK_RESPONSE_CANCEL, GTK_RESPONSE_ACCEPT, GTK_RESPONSE_OK}) {
        GtkWidget* button = gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), response);
        if (button && GTK_IS_BUTTON(button)) {
            const char* label = gtk_button_get_label(GTK_BUTTON(button));
            s.buttons.emplace_back(response, label ? label : "");
        }
    }
    if (GtkWidget* extra = gtk_file_chooser_get_extra_widget(chooser))
        collect_extra(extra, &s.extra_labels);
    seen() = std::move(s);
}

gboolean try_answer(gpointer data) {
    auto* pending = static_cast<Pending*>(data);
    if (std::chrono::steady_clock::now() > pending->deadline) return G_SOURCE_REMOVE;
    if (pending->recorded && !pending->dialog) return G_SOURCE_REMOVE;
    if (!pending->dialog) {
        for (GtkWidget* dialog : visible_choosers()) {
            if (pending->already_there.count(dialog)) continue;
            pending->dialog = dialog;
            g_object_add_weak_pointer(G_OBJECT(dialog),
                                      reinterpret_cast<gpointer*>(&pending->dialog));
            break;
        }
        return G_SOURCE_CONTINUE;
    }
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(pending->dialog);
    if (!pending->recorded) {
        // The chooser shows its first folder, and a preselected file's name, a
        // moment after it maps.
        GCharPtr folder(gtk_file_chooser_get_current_folder(chooser));
        GCharPtr name(gtk_file_chooser_get_current_name(chooser));
        ++pending->settle_ticks;
        if (!folder && pending->settle_ticks < 50) return G_SOURCE_CONTINUE;
        if ((!name || !*name) && pending->settle_ticks < 25) return G_SOURCE_CONTINUE;
        record(pending->dialog);
        pending->recorded = true;
        pending->settle_ticks = 0;
        if (pending->path.empty()) {
            gtk_dialog_response(GTK_DIALOG(pending->dialog), GTK_RESPONSE_CANCEL);
            return G_SOURCE_REMOVE;
        }
        GCharPtr dir(g_path_get_dirname(pending->path.c_str()));
        GCharPtr base(g_path_get_basename(pending->path.c_str()));
        gtk_file_chooser_set_current_folder(chooser, dir.get());
        gtk_file_chooser_set_current_name(chooser, base.get());
        return G_SOURCE_CONTINUE;
    }
    GCharPtr file(gtk_file_chooser_get_filename(chooser));
    if ((!file || pending->path != file.get()) && ++pending->settle_ticks < 100)
        return G_SOURCE_CONTINUE;
    if (pending->before_accept) pending->before_accept();
    gtk_dialog_response(GTK_DIALOG(pending->dialog), GTK_RESPONSE_ACCEPT);
    return G_SOURCE_REMOVE;
}

} // namespace

void answer_next_chooser(const std::string& path, std::function<void()> before_accept,
                         int timeout_ms) {
    auto pending = std::make_unique<Pending>();
    pending->path = path;
    pending->before_accept = std::move(before_accept);
    pending->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    pending->already_there = visible_choosers();
    seen() = SeenChooser{};
    g_timeout_add_full(G_PRIORITY_DEFAULT, 20, try_answer, pending.release(), [](gpointer p) {
        std::unique_ptr<Pending> owned(static_cast<Pending*>(p));
    });
}

const SeenChooser& last_chooser() {
    return seen();
}
