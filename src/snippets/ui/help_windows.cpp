#include "snippets/ui/help_windows.h"

#include <gdk/gdkkeysyms.h>
#include <glib/gi18n-lib.h>
#include <string>

#include "documents/ui/document_page.h"
#include "shell/gobj.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "snippets/help_trees.h"
#include "snippets/snippet_catalogue.h"
#include "snippets/ui/snippet_run.h"
#include "terminal/terminal_texts.h"
#include "web/ui/web_views.h"
#include "web/web_addresses.h"

namespace {

// The tree stores of the help windows: the title as shown, and the title as
// the catalogue writes it, from which the chosen item is found whatever the
// translation made of the shown one.
enum { kShownColumn, kSourceColumn, kColumns };

constexpr const char* kTerminalKey = "orvane-help-terminal";

GtkWidget* g_help_window = nullptr;

void set_accessible_name(GtkWidget* widget, const char* name) {
    atk_object_set_name(gtk_widget_get_accessible(widget), name);
}

void enable_lines_and_rules(GtkTreeView* view) {
    gtk_tree_view_set_enable_tree_lines(view, TRUE);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    gtk_tree_view_set_rules_hint(view, TRUE);
    G_GNUC_END_IGNORE_DEPRECATIONS
}

void need_a_document() {
    log_message(_(kHelpNeedsDocument), LM_ERROR);
}

// The terminal a help tree types into, or null (none bound, or gone since);
// the caller owns the reference returned.
GtkWidget* bound_terminal(GtkTreeView* view) {
    auto* ref = static_cast<GWeakRef*>(g_object_get_data(G_OBJECT(view), kTerminalKey));
    return ref ? static_cast<GtkWidget*>(g_weak_ref_get(ref)) : nullptr;
}

void bind_terminal(GtkWidget* view, GtkWidget* terminal) {
    GWeakRef* ref = g_new0(GWeakRef, 1);
    g_weak_ref_init(ref, terminal);
    g_object_set_data_full(G_OBJECT(view), kTerminalKey, ref, [](gpointer data) {
        g_weak_ref_clear(static_cast<GWeakRef*>(data));
        g_free(data);
    });
}

// What choosing a row does. `source` is the catalogue's title, `shown` the one
// on screen; only rows outside the catalogue use the shown one (for a search).
void choose_row(GtkTreeView* view, const char* source, const char* shown) {
    const HelpRowParts parts = help_row_parse(source);
    if (terminal_command_item(parts.key)) {
        GtkWidget* terminal = bound_terminal(view);
        snippet_type_command(terminal, parts.key);
        if (terminal) g_object_unref(terminal);
        return;
    }
    if (!current_document()) {
        need_a_document();
        return;
    }
    if (snippet_find(parts.key)) {
        snippet_run(parts.key);
        return;
    }
    if (auto search = help_row_web_search(shown))
        web_panel_load(WebPanel::help_search, web_search_address(*search));
}

void choose_selected_row(GtkTreeView* view) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    if (!gtk_tree_selection_get_selected(gtk_tree_view_get_selection(view), &model, &iter)) return;
    gchar* shown = nullptr;
    gchar* source = nullptr;
    gtk_tree_model_get(model, &iter, kShownColumn, &shown, kSourceColumn, &source, -1);
    GCharPtr own_shown(shown), own_source(source);
    choose_row(view, source ? source : "", shown ? shown : "");
}

// A click chooses the row it ends on, provided that row is the selected one:
// releasing over a blank area or another row than the one pressed chooses
// nothing, and neither do the other buttons. (An expander's click selects
// nothing, and a heading does nothing when chosen.)
gboolean on_tree_button_release(GtkWidget* widget, GdkEventButton* event, gpointer) {
    GtkTreeView* view = GTK_TREE_VIEW(widget);
    if (event->button != GDK_BUTTON_PRIMARY || event->window != gtk_tree_view_get_bin_window(view))
        return FALSE;
    GtkTreePath* path = nullptr;
    if (!gtk_tree_view_get_path_at_pos(view, static_cast<gint>(event->x),
                                       static_cast<gint>(event->y), &path, nullptr, nullptr,
                                       nullptr))
        return FALSE;
    const bool selected =
        gtk_tree_selection_path_is_selected(gtk_tree_view_get_selection(view), path);
    gtk_tree_path_free(path);
    if (selected) choose_selected_row(view);
    return FALSE;
}

// Enter on a row, and Enter in the search popup, activate it; a double click
// activates it too, but its two clicks have already chosen it twice.
void on_tree_row_activated(GtkTreeView* view, GtkTreePath*, GtkTreeViewColumn*, gpointer) {
    GdkEvent* event = gtk_get_current_event();
    const bool by_mouse =
        event && (event->type == GDK_BUTTON_PRESS || event->type == GDK_2BUTTON_PRESS ||
                  event->type == GDK_3BUTTON_PRESS || event->type == GDK_BUTTON_RELEASE);
    if (event) gdk_event_free(event);
    if (!by_mouse) choose_selected_row(view);
}

// Titles are plain text: markup characters in them are matched as they stand.
gboolean search_differs(GtkTreeModel* model, gint column, const gchar* typed, GtkTreeIter* iter,
                        gpointer) {
    gchar* text = nullptr;
    gtk_tree_model_get(model, iter, column, &text, -1);
    GCharPtr own(text);
    return !help_search_matches(text ? text : "", typed ? typed : "");
}

gboolean on_help_window_key(GtkWidget* window, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    gtk_widget_destroy(window);
    return TRUE;
}

void on_help_window_destroy(GtkWidget* window, gpointer) {
    if (g_help_window == window) g_help_window = nullptr;
}

GtkWidget* chooser_status_bar(GtkTreeSelection* selection) {
    return static_cast<GtkWidget*>(g_object_get_data(
        G_OBJECT(gtk_tree_selection_get_tree_view(selection)), "orvane-help-status"));
}

void on_chooser_changed(GtkTreeSelection* selection, gpointer) {
    GtkTreeModel* model = nullptr;
    GtkTreeIter iter;
    // Clearing the selection below comes back here with nothing selected.
    if (!gtk_tree_selection_get_selected(selection, &model, &iter)) return;
    if (!current_document()) {
        need_a_document();
        gtk_tree_selection_unselect_all(selection);
        return;
    }
    gchar* text = nullptr;
    gtk_tree_model_get(model, &iter, 0, &text, -1);
    GCharPtr own(text);
    const std::string row = text ? text : "";
    if (GtkWidget* bar = chooser_status_bar(selection))
        gtk_statusbar_push(GTK_STATUSBAR(bar),
                           gtk_statusbar_get_context_id(GTK_STATUSBAR(bar), "help"), row.c_str());
    if (const HelpLanguage* language = help_language_for_row(row))
        help_window_open(language->tree, language->window_title, nullptr);
    gtk_tree_selection_unselect_all(selection);
}

} // namespace

GtkWidget* help_chooser_build(GtkWidget* box) {
    GtkTreeStore* store = gtk_tree_store_new(1, G_TYPE_STRING);
    for (const HelpCategory& category : help_chooser_categories()) {
        GtkTreeIter parent;
        gtk_tree_store_append(store, &parent, nullptr);
        gtk_tree_store_set(store, &parent, 0, _(category.title), -1);
        for (const HelpLanguage& language : category.languages) {
            GtkTreeIter child;
            gtk_tree_store_append(store, &child, &parent);
            gtk_tree_store_set(store, &child, 0, language.row, -1);
        }
    }
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    gtk_widget_set_name(view, "help_chooser");
    GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
        _(kHelpChooserColumnTitle), gtk_cell_renderer_text_new(), "text", 0, nullptr);
    gtk_tree_view_append_column(GTK_TREE_VIEW(view), column);
    set_accessible_name(view, _(kHelpChooserColumnTitle));
    enable_lines_and_rules(GTK_TREE_VIEW(view));
    gtk_tree_view_expand_all(GTK_TREE_VIEW(view));

    GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_container_add(GTK_CONTAINER(scroll), view);
    gtk_box_pack_start(GTK_BOX(box), scroll, TRUE, TRUE, 0);
    GtkWidget* bar = gtk_statusbar_new();
    gtk_box_pack_start(GTK_BOX(box), bar, FALSE, TRUE, 0);
    g_object_set_data(G_OBJECT(view), "orvane-help-status", bar);

    g_signal_connect(gtk_tree_view_get_selection(GTK_TREE_VIEW(view)), "changed",
                     G_CALLBACK(on_chooser_changed), nullptr);
    gtk_widget_show_all(box);
    return view;
}

GtkWidget* help_tree_new(std::string_view name) {
    GtkTreeStore* store = gtk_tree_store_new(kColumns, G_TYPE_STRING, G_TYPE_STRING);
    GtkTreeIter heading;
    bool under_heading = false;
    for (const SnippetRow& row : snippet_tree_rows(name)) {
        GtkTreeIter iter;
        if (row.heading) {
            gtk_tree_store_append(store, &heading, nullptr);
            iter = heading;
            under_heading = true;
        } else {
            gtk_tree_store_append(store, &iter, under_heading ? &heading : nullptr);
        }
        gtk_tree_store_set(store, &iter, kShownColumn, _(row.title), kSourceColumn, row.title, -1);
    }
    GtkWidget* view = gtk_tree_view_new_with_model(GTK_TREE_MODEL(store));
    g_object_unref(store);
    GtkTreeView* tree = GTK_TREE_VIEW(view);
    // Only Ctrl+F opens the search: typed letters stay with the tree.
    gtk_tree_view_set_enable_search(tree, FALSE);
    gtk_tree_view_set_search_column(tree, kShownColumn);
    gtk_tree_view_set_search_equal_func(tree, search_differs, nullptr, nullptr);
    GtkTreeViewColumn* column = gtk_tree_view_column_new_with_attributes(
        _(kHelpTreeColumnTitle), gtk_cell_renderer_text_new(), "text", kShownColumn, nullptr);
    gtk_tree_view_append_column(tree, column);
    set_accessible_name(view, _(kHelpTreeColumnTitle));
    g_signal_connect(view, "button-release-event", G_CALLBACK(on_tree_button_release), nullptr);
    g_signal_connect(view, "row-activated", G_CALLBACK(on_tree_row_activated), nullptr);
    return view;
}

GtkWidget* help_window_open(std::string_view name, const char* title, GtkWidget* terminal) {
    if (g_help_window) gtk_widget_destroy(g_help_window);

    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    g_help_window = window;
    g_signal_connect(window, "destroy", G_CALLBACK(on_help_window_destroy), nullptr);
    g_signal_connect(window, "key-press-event", G_CALLBACK(on_help_window_key), nullptr);
    gtk_window_set_title(GTK_WINDOW(window), _(title));
    if (GtkWindow* parent = main_window()) {
        gtk_window_set_transient_for(GTK_WINDOW(window), parent);
        gtk_window_set_destroy_with_parent(GTK_WINDOW(window), TRUE);
    }
    gtk_window_resize(GTK_WINDOW(window), kHelpWindowWidth, kHelpWindowHeight);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 2);
    gtk_container_add(GTK_CONTAINER(window), box);
    GtkWidget* scroll = gtk_scrolled_window_new(nullptr, nullptr);
    gtk_scrolled_window_set_policy(GTK_SCROLLED_WINDOW(scroll), GTK_POLICY_AUTOMATIC,
                                   GTK_POLICY_AUTOMATIC);
    gtk_box_pack_start(GTK_BOX(box), scroll, TRUE, TRUE, 1);
    GtkWidget* view = help_tree_new(name);
    gtk_container_add(GTK_CONTAINER(scroll), view);
    gtk_box_pack_start(GTK_BOX(box), gtk_statusbar_new(), FALSE, TRUE, 1);
    if (terminal) bind_terminal(view, terminal);

    enable_lines_and_rules(GTK_TREE_VIEW(view));
    gtk_tree_view_expand_all(GTK_TREE_VIEW(view));
    gtk_widget_show_all(window);
    gtk_widget_grab_focus(view);
    return window;
}

GtkWidget* help_terminal_window_open(GtkWidget* terminal) {
    return help_window_open("term", kTerminalHelpTitle, terminal);
}

GtkWidget* help_window() {
    return g_help_window;
}
