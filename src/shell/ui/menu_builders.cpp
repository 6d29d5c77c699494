#include "shell/ui/menu_builders.h"

#include <map>

#include "shell/menu_texts.h"

namespace {
constexpr const char* kUnnamed = "-x-";

std::map<DynamicMenu, GtkWidget*>& dynamic_items() {
    static std::map<DynamicMenu, GtkWidget*> items;
    return items;
}
} // namespace

GtkWidget* menu_add_item_with_data(const std::string& label, GtkWidget* menu, MenuHandler handler,
                                   gpointer data) {
    GtkWidget* item = gtk_menu_item_new_with_label(label.c_str());
    gtk_widget_show(item);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    gtk_widget_set_name(item, label.c_str());
    if (handler) g_signal_connect(item, "activate", G_CALLBACK(handler), data);
    return item;
}

GtkWidget* menu_add_item(const std::string& label, GtkWidget* menu, MenuHandler handler) {
    return menu_add_item_with_data(label, menu, handler, nullptr);
}

GtkWidget* menu_add_separator(GtkWidget* menu) {
    GtkWidget* item = gtk_menu_item_new();
    gtk_widget_set_sensitive(item, FALSE);
    gtk_widget_set_name(item, kUnnamed);
    gtk_widget_show(item);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    return item;
}

GtkWidget* menu_add_detach(GtkWidget* menu) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkWidget* item = gtk_tearoff_menu_item_new();
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_set_name(item, kUnnamed);
    gtk_widget_show(item);
    gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
    return item;
}

GtkWidget* menu_add_submenu(GtkWidget* item) {
    GtkWidget* menu = gtk_menu_new();
    gtk_widget_set_name(menu, kUnnamed);
    gtk_menu_item_set_submenu(GTK_MENU_ITEM(item), menu);
    return menu;
}

void menu_add_items_from_lines(const Lines& lines, GtkWidget* menu, MenuHandler handler) {
    for (const auto& label : menu_labels_from_lines(lines))
        menu_add_item(label, menu, handler);
}

std::string menu_item_name(GtkMenuItem* item) {
    const char* name = gtk_widget_get_name(GTK_WIDGET(item));
    return name ? name : "";
}

void dynamic_menu_register(DynamicMenu which, GtkWidget* item) {
    GtkWidget*& slot = dynamic_items()[which];
    if (slot) g_object_remove_weak_pointer(G_OBJECT(slot), reinterpret_cast<gpointer*>(&slot));
    slot = item;
    g_object_add_weak_pointer(G_OBJECT(item), reinterpret_cast<gpointer*>(&slot));
}

GtkWidget* dynamic_menu_item(DynamicMenu which) {
    auto it = dynamic_items().find(which);
    return it == dynamic_items().end() ? nullptr : it->second;
}

GtkWidget* dynamic_menu_replace(DynamicMenu which) {
    GtkWidget* item = dynamic_menu_item(which);
    if (!item) return nullptr;
    // Setting a new submenu destroys the previous one.
    return menu_add_submenu(item);
}
