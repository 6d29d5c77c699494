#include "shell/ui/toolbars.h"

#include <gdk/gdkkeysyms.h>
#include <glib/gi18n-lib.h>
#include <vector>

#include "documents/ui/document_hooks.h"
#include "documents/ui/positions.h"
#include "documents/ui/search.h"
#include "shell/settings.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/preferences.h"
#include "shell/ui/report.h"
#include "tools/ui/documentation.h"
#include "terminal/ui/run_window.h"
#include "tools/ui/external_tools_ui.h"

namespace {
using ButtonHandler = void (*)(GtkToolButton*, gpointer);

// A null stock name stands for a separator; a null handler for an operation
// another module attaches.
struct ToolEntry {
    const char* stock = nullptr;
    const char* tooltip = nullptr;
    ButtonHandler handler = nullptr;
};

void on_new(GtkToolButton*, gpointer) {
    indicator_ok();
    new_document();
}
void on_open(GtkToolButton*, gpointer) {
    indicator_ok();
    open_file_dialog();
}
void on_save(GtkToolButton*, gpointer) {
    indicator_ok();
    save_current_document();
}
void on_save_as(GtkToolButton*, gpointer) {
    indicator_ok();
    save_current_document_as();
}
void on_preferences(GtkToolButton*, gpointer) {
    preferences_open();
}
void on_undo(GtkToolButton*, gpointer) {
    doc_undo();
}
void on_redo(GtkToolButton*, gpointer) {
    doc_redo();
}
void on_copy(GtkToolButton*, gpointer) {
    doc_copy();
}
void on_cut(GtkToolButton*, gpointer) {
    doc_cut();
}
void on_paste(GtkToolButton*, gpointer) {
    doc_paste();
}

void on_text_bookmark(GtkToolButton*, gpointer) {
    text_bookmark_command();
}

void on_find(GtkToolButton*, gpointer) {
    find_command();
}
void on_find_next(GtkToolButton*, gpointer) {
    find_next_command();
}
void on_replace_all(GtkToolButton*, gpointer) {
    replace_all_command();
}
void on_goto_line(GtkToolButton*, gpointer) {
    goto_line_command();
}
void on_doc_gen(GtkToolButton*, gpointer) {
    doc_gen_command();
}
void on_run_window(GtkToolButton*, gpointer) {
    open_run_window();
}
void on_devhelp(GtkToolButton*, gpointer) {
    devhelp_search_command();
}

const std::vector<ToolEntry>& main_tools() {
    static const std::vector<ToolEntry> tools = {
        {"gtk-new", N_("Créer un nouveau fichier"), on_new},
        {},
        {"gtk-open", N_("Ouvrir un fichier"), on_open},
        {},
        {"gtk-save", N_("Sauvegarder le fichier"), on_save},
        {"gtk-save-as", N_("Sauvegarder sous un autre nom"), on_save_as},
        {},
        {"gtk-preferences", N_("Preferences"), on_preferences},
        {},
        {"gtk-undo", N_("Undo"), on_undo},
        {"gtk-redo", N_("Redo"), on_redo},
        {},
        {"gtk-copy", N_("Copy"), on_copy},
        {"gtk-cut", N_("Cut"), on_cut},
        {"gtk-paste", N_("Paste"), on_paste},
        {},
        {"gtk-execute", N_("Run/Debug script"), on_run_window},
        {},
        {"gtk-underline", N_("Mise en valeur de la séléction et BookMark (F5 pour supprimer)"),
         on_text_bookmark},
        {},
        {"gtk-about", N_("Génération d'un template de documentation du code en HTML"), on_doc_gen},
        {},
    };
    return tools;
}

const std::vector<ToolEntry>& search_tools() {
    static const std::vector<ToolEntry> tools = {
        {"gtk-find", N_("Find"), on_find},
        {"gtk-go-forward", N_("Find Next"), on_find_next},
        {"gtk-find-and-replace", N_("Find~Replace"), on_replace_all},
        {"gtk-index", N_("Recher avec DevHelp"), on_devhelp},
        {"gtk-jump-to", N_("Go To Line"), on_goto_line},
    };
    return tools;
}

GtkWidget* new_toolbar(const char* name) {
    GtkWidget* toolbar = gtk_toolbar_new();
    gtk_widget_set_name(toolbar, name);
    gtk_toolbar_set_style(GTK_TOOLBAR(toolbar), GTK_TOOLBAR_ICONS);
    gtk_toolbar_set_icon_size(GTK_TOOLBAR(toolbar), GTK_ICON_SIZE_SMALL_TOOLBAR);
    return toolbar;
}

void add_tools(GtkWidget* toolbar, const std::vector<ToolEntry>& tools) {
    for (const auto& t : tools) {
        GtkToolItem* item;
        if (!t.stock) {
            item = gtk_separator_tool_item_new();
        } else {
            G_GNUC_BEGIN_IGNORE_DEPRECATIONS
            item = gtk_tool_button_new_from_stock(t.stock);
            G_GNUC_END_IGNORE_DEPRECATIONS
            gtk_widget_set_name(GTK_WIDGET(item), t.stock);
            tool_button_set_tip(item, _(t.tooltip));
            if (t.handler) g_signal_connect(item, "clicked", G_CALLBACK(t.handler), nullptr);
        }
        gtk_toolbar_insert(GTK_TOOLBAR(toolbar), item, -1);
    }
}

GtkWidget*& main_bar() {
    static GtkWidget* bar = nullptr;
    return bar;
}
} // namespace

GtkWidget* main_toolbar_create() {
    GtkWidget* toolbar = new_toolbar("main_toolbar");
    gtk_style_context_add_class(gtk_widget_get_style_context(toolbar), "primary-toolbar");
    add_tools(toolbar, main_tools());
    // Its visibility follows the setting, not the window's show-all.
    gtk_widget_set_no_show_all(toolbar, TRUE);
    main_bar() = toolbar;
    g_object_add_weak_pointer(G_OBJECT(toolbar), reinterpret_cast<gpointer*>(&main_bar()));
    main_toolbar_apply_visibility();
    return toolbar;
}

GtkWidget* main_toolbar() {
    return main_bar();
}

void main_toolbar_apply_visibility() {
    GtkWidget* toolbar = main_bar();
    if (!toolbar) return;
    if (settings().do_show_main_toolbar) {
        gtk_container_foreach(
            GTK_CONTAINER(toolbar), [](GtkWidget* w, gpointer) { gtk_widget_show_all(w); },
            nullptr);
        gtk_widget_show(toolbar);
    } else {
        gtk_widget_hide(toolbar);
    }
}

namespace {
gboolean on_command_entry_key_press(GtkWidget* entry, GdkEventKey* event, gpointer) {
    indicator_ok();
    if (event->keyval == GDK_KEY_Return || event->keyval == GDK_KEY_KP_Enter)
        command_entry_find(gtk_entry_get_text(GTK_ENTRY(entry)));
    return FALSE;
}

gboolean on_command_entry_key_release(GtkWidget* entry, GdkEventKey*, gpointer) {
    if (GtkTextBuffer* buffer = current_document_buffer())
        command_entry_mark_matches(buffer, gtk_entry_get_text(GTK_ENTRY(entry)));
    return FALSE;
}
} // namespace

GtkWidget* search_toolbar_create() {
    GtkWidget* toolbar = new_toolbar("search_toolbar");
    gtk_toolbar_set_show_arrow(GTK_TOOLBAR(toolbar), FALSE);
    add_tools(toolbar, search_tools());
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), gtk_separator_tool_item_new(), -1);
    GtkToolItem* entry_item = gtk_tool_item_new();
    GtkWidget* entry = command_entry();
    g_signal_connect(entry, "key-press-event", G_CALLBACK(on_command_entry_key_press), nullptr);
    g_signal_connect(entry, "key-release-event", G_CALLBACK(on_command_entry_key_release), nullptr);
    gtk_container_add(GTK_CONTAINER(entry_item), entry);
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), entry_item, -1);
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), gtk_separator_tool_item_new(), -1);
    return toolbar;
}
