#include "shell/ui/menu.h"

#include <glib/gi18n-lib.h>

#include "shell/menu_texts.h"
#include "shell/ui/menu_builders.h"
#include "shell/ui/menu_table.h"

namespace {

GtkWidget*& bar() {
    static GtkWidget* b = nullptr;
    return b;
}

void add_accelerator(GtkWidget* item, GtkAccelGroup* group, const char* accel) {
    guint key = 0;
    GdkModifierType mods{};
    gtk_accelerator_parse(accel, &key, &mods);
    if (key != 0 || mods != 0)
        gtk_widget_add_accelerator(item, "activate", group, key, mods, GTK_ACCEL_VISIBLE);
}

void collect_names(GtkWidget* menu_shell, Lines& names) {
    GList* children = gtk_container_get_children(GTK_CONTAINER(menu_shell));
    for (GList* l = children; l; l = l->next) {
        GtkWidget* item = GTK_WIDGET(l->data);
        names.emplace_back(gtk_widget_get_name(item));
        if (GTK_IS_MENU_ITEM(item))
            if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)))
                collect_names(sub, names);
    }
    g_list_free(children);
}

GtkWidget* find_in(GtkWidget* menu_shell, const std::string& name) {
    GtkWidget* found = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(menu_shell));
    for (GList* l = children; l && !found; l = l->next) {
        GtkWidget* item = GTK_WIDGET(l->data);
        if (name == gtk_widget_get_name(item)) {
            found = item;
        } else if (GTK_IS_MENU_ITEM(item)) {
            if (GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)))
                found = find_in(sub, name);
        }
    }
    g_list_free(children);
    return found;
}
} // namespace

GtkWidget* menu_bar_build(GtkAccelGroup* accel_group) {
    GtkWidget* menubar = gtk_menu_bar_new();
    gtk_widget_set_name(menubar, "menubar1");
    bar() = menubar;
    g_object_add_weak_pointer(G_OBJECT(menubar), reinterpret_cast<gpointer*>(&bar()));

    std::vector<GtkWidget*> open; // the menus being filled, innermost last
    for (const MenuEntry& e : menu_table()) {
        std::string label;
        if (e.label) label = e.translated ? _(e.label) : e.label;
        switch (e.row) {
        case MenuRow::menu: {
            GtkWidget* item = gtk_menu_item_new_with_label(label.c_str());
            gtk_widget_set_name(item, label.c_str());
            gtk_menu_shell_append(GTK_MENU_SHELL(menubar), item);
            open.assign(1, menu_add_submenu(item));
            if (e.detach) menu_add_detach(open.back());
            if (e.dynamic != DynamicMenu::none) dynamic_menu_register(e.dynamic, item);
            break;
        }
        case MenuRow::submenu:
        case MenuRow::dynamic: {
            if (open.empty()) break;
            GtkWidget* item = menu_add_item(label, open.back(), nullptr);
            GtkWidget* sub = menu_add_submenu(item);
            if (e.detach) menu_add_detach(sub);
            if (e.row == MenuRow::submenu)
                open.push_back(sub);
            else
                dynamic_menu_register(e.dynamic, item);
            break;
        }
        case MenuRow::end:
            if (open.size() > 1) open.pop_back();
            break;
        case MenuRow::separator:
            if (!open.empty()) menu_add_separator(open.back());
            break;
        case MenuRow::item: {
            if (open.empty()) break;
            GtkWidget* item = menu_add_item(label, open.back(), e.handler);
            if (e.accel) add_accelerator(item, accel_group, e.accel);
            break;
        }
        }
    }
    return menubar;
}

GtkWidget* menu_bar() {
    return bar();
}

std::string menu_dump() {
    Lines names;
    if (bar()) collect_names(bar(), names);
    return menu_dump_text(names);
}

GtkWidget* menu_find_item(const std::string& name) {
    return bar() ? find_in(bar(), name) : nullptr;
}
