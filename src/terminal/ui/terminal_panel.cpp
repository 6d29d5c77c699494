#include "terminal/ui/terminal_panel.h"

#include <glib/gi18n-lib.h>
#include <vte/vte.h>

#include "shell/gobj.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "terminal/run_plan.h"
#include "terminal/ui/terminal_view.h"

namespace {

// The folder a tab's terminal is made for while the tab waits to be shown.
constexpr const char* kWaitingFolder = "orvane-terminal-folder";

// The tab whose shell ended goes, wherever it has been dragged to.
void close_own_tab(GtkWidget* terminal) {
    if (GtkWidget* page = gtk_widget_get_parent(terminal)) gtk_widget_destroy(page);
}

GtkWidget* new_terminal(const std::string& folder, bool unlimited_history) {
    GtkWidget* terminal = terminal_view_new(folder);
    if (unlimited_history) vte_terminal_set_scrollback_lines(VTE_TERMINAL(terminal), -1);
    terminal_view_on_exit(terminal, close_own_tab);
    return terminal;
}

// Makes the terminal of a local tab that was waiting to be shown.
GtkWidget* fill_waiting_page(GtkWidget* page) {
    const char* folder =
        static_cast<const char*>(g_object_get_data(G_OBJECT(page), kWaitingFolder));
    if (!folder) return nullptr;
    GtkWidget* terminal = new_terminal(folder, true);
    g_object_set_data(G_OBJECT(page), kWaitingFolder, nullptr);
    gtk_box_pack_start(GTK_BOX(page), terminal, TRUE, TRUE, 0);
    gtk_widget_show(terminal);
    terminal_view_start(terminal);
    return terminal;
}

// A tab's page is a box holding its one terminal, made on demand for the tab
// the panel starts with.
GtkWidget* terminal_of_page(GtkWidget* page) {
    if (!page || !GTK_IS_BOX(page)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(page));
    GtkWidget* terminal = children ? GTK_WIDGET(children->data) : nullptr;
    g_list_free(children);
    return terminal ? terminal : fill_waiting_page(page);
}

GtkWidget* tab_head(const std::string& text, bool focusable) {
    GtkWidget* head = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 0);
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* icon = gtk_image_new_from_stock("gtk-yes", GTK_ICON_SIZE_SMALL_TOOLBAR);
    G_GNUC_END_IGNORE_DEPRECATIONS
    GtkWidget* label = gtk_label_new(text.c_str());
    gtk_box_pack_start(GTK_BOX(head), icon, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(head), label, TRUE, TRUE, 0);
    if (!focusable) {
        gtk_widget_set_can_focus(head, FALSE);
        gtk_widget_set_can_focus(label, FALSE);
    }
    gtk_widget_show_all(head);
    return head;
}

// Appends a tab page holding `terminal` (none yet for a waiting tab) and makes
// it current.
GtkWidget* add_page(GtkWidget* terminal, const std::string& label, bool focusable_label) {
    GtkWidget* notebook = terminal_notebook();
    if (!notebook) return nullptr;
    GtkWidget* page = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_widget_set_name(page, "terminal_tab");
    if (terminal) gtk_box_pack_start(GTK_BOX(page), terminal, TRUE, TRUE, 0);
    gtk_widget_show_all(page);
    GtkNotebook* nb = GTK_NOTEBOOK(notebook);
    int index = gtk_notebook_append_page(nb, page, tab_head(label, focusable_label));
    gtk_notebook_set_tab_detachable(nb, page, TRUE);
    gtk_notebook_set_current_page(nb, index);
    return page;
}

// A tab with a fresh terminal in the current folder, its shell started as
// terminal_view_start says.
GtkWidget* add_tab(const std::string& label, bool focusable_label, bool unlimited_history) {
    if (!terminal_notebook()) return nullptr;
    GCharPtr folder(g_get_current_dir());
    GtkWidget* terminal = new_terminal(folder ? folder.get() : "", unlimited_history);
    add_page(terminal, label, focusable_label);
    terminal_view_start(terminal);
    return terminal;
}

void on_close(GtkToolButton*, gpointer) {
    terminal_close_current();
}
void on_new(GtkToolButton*, gpointer) {
    terminal_new_tab();
}
void on_previous(GtkToolButton*, gpointer) {
    terminal_previous();
}
void on_next(GtkToolButton*, gpointer) {
    terminal_next();
}

} // namespace

GtkWidget* terminal_new_tab() {
    return add_tab(_("   Terminal   "), true, true);
}

void terminal_panel_start() {
    GtkWidget* page = add_page(nullptr, _("   Terminal   "), true);
    if (!page) return;
    GCharPtr folder(g_get_current_dir());
    g_object_set_data_full(G_OBJECT(page), kWaitingFolder, g_strdup(folder ? folder.get() : ""),
                           g_free);
    g_signal_connect(page, "map",
                     G_CALLBACK(+[](GtkWidget* widget, gpointer) { fill_waiting_page(widget); }),
                     nullptr);
}

GtkWidget* terminal_new_ssh_tab(const std::string& host, const std::string& user) {
    auto line = ssh_typed_line(host, user);
    if (!line) {
        log_icon_error();
        log_message(_("Connexion ssh refusée pour l'hôte %s"), host, LM_ERROR);
        return nullptr;
    }
    GtkWidget* terminal = add_tab(host, false, false);
    terminal_type(terminal, *line);
    return terminal;
}

GtkWidget* terminal_current() {
    GtkWidget* notebook = terminal_notebook();
    if (!notebook) return nullptr;
    GtkNotebook* nb = GTK_NOTEBOOK(notebook);
    int current = gtk_notebook_get_current_page(nb);
    return current < 0 ? nullptr : terminal_of_page(gtk_notebook_get_nth_page(nb, current));
}

void terminal_close_current() {
    GtkWidget* notebook = terminal_notebook();
    if (!notebook) return;
    GtkNotebook* nb = GTK_NOTEBOOK(notebook);
    int current = gtk_notebook_get_current_page(nb);
    if (current < 0) return;
    gtk_widget_destroy(gtk_notebook_get_nth_page(nb, current));
}

void terminal_previous() {
    if (GtkWidget* notebook = terminal_notebook()) gtk_notebook_prev_page(GTK_NOTEBOOK(notebook));
}

void terminal_next() {
    if (GtkWidget* notebook = terminal_notebook()) gtk_notebook_next_page(GTK_NOTEBOOK(notebook));
}

void terminal_bar_build(GtkWidget* box) {
    if (!box) return;
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_widget_set_name(toolbar, "terminal_toolbar");
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    toolbar_add_stock_button(toolbar, "gtk-remove", _("Close Terminal"), G_CALLBACK(on_close));
    toolbar_add_stock_button(toolbar, "gtk-add", _("New Terminal"), G_CALLBACK(on_new));
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), gtk_separator_tool_item_new(), -1);
    toolbar_add_stock_button(toolbar, "gtk-go-back", _("Prev Terminal"), G_CALLBACK(on_previous));
    toolbar_add_stock_button(toolbar, "gtk-go-forward", _("Next Terminal"), G_CALLBACK(on_next));
    gtk_box_pack_start(GTK_BOX(box), toolbar, TRUE, TRUE, 0);
    gtk_widget_show_all(toolbar);
}
