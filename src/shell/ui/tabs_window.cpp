#include "shell/ui/tabs_window.h"

#include <glib/gi18n-lib.h>

#include "shell/data_paths.h"
#include "shell/ui/window_parts.h"

namespace {
GtkNotebook* on_create_window(GtkNotebook* source, GtkWidget*, gint x, gint y, gpointer) {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_widget_set_name(window, "tabs_window");
    if (GtkWindow* main = main_window()) gtk_window_set_transient_for(GTK_WINDOW(window), main);
    // Emptied windows stay open; the tabs can be dragged back.
    gtk_window_set_deletable(GTK_WINDOW(window), FALSE);
    GtkWidget* notebook = gtk_notebook_new();
    gtk_notebook_set_tab_pos(GTK_NOTEBOOK(notebook), GTK_POS_LEFT);
    gtk_notebook_set_group_name(GTK_NOTEBOOK(notebook), gtk_notebook_get_group_name(source));
    tabs_window_connect(GTK_NOTEBOOK(notebook));
    gtk_container_add(GTK_CONTAINER(window), notebook);
    gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
    gtk_window_move(GTK_WINDOW(window), x, y);
    gtk_notebook_set_scrollable(GTK_NOTEBOOK(notebook), TRUE);
    gtk_window_set_title(GTK_WINDOW(window), _("Onglets"));
    gtk_window_set_icon_from_file(GTK_WINDOW(window), pixmap_path("orvane_ok.png").c_str(),
                                  nullptr);
    gtk_widget_show_all(window);
    return GTK_NOTEBOOK(notebook);
}
} // namespace

void tabs_window_connect(GtkNotebook* notebook) {
    g_signal_connect(notebook, "create-window", G_CALLBACK(on_create_window), nullptr);
}

namespace {
bool foreign_tab_drag(GtkWidget* notebook, GdkDragContext* context) {
    GdkAtom target = gtk_drag_dest_find_target(notebook, context, nullptr);
    if (target != gdk_atom_intern_static_string("GTK_NOTEBOOK_TAB")) return false;
    GtkWidget* source = gtk_drag_get_source_widget(context);
    return source != notebook;
}

gboolean on_drag_motion(GtkWidget* notebook, GdkDragContext* context, gint, gint, guint time,
                        gpointer) {
    if (!foreign_tab_drag(notebook, context)) return FALSE;
    gdk_drag_status(context, GdkDragAction(0), time);
    return TRUE;
}

gboolean on_drag_drop(GtkWidget* notebook, GdkDragContext* context, gint, gint, guint time,
                      gpointer) {
    if (!foreign_tab_drag(notebook, context)) return FALSE;
    gtk_drag_finish(context, FALSE, FALSE, time);
    return TRUE;
}
} // namespace

void tabs_refuse_foreign(GtkNotebook* notebook) {
    g_signal_connect(notebook, "drag-motion", G_CALLBACK(on_drag_motion), nullptr);
    g_signal_connect(notebook, "drag-drop", G_CALLBACK(on_drag_drop), nullptr);
}
