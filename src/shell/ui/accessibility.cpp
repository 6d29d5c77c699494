#include "shell/ui/accessibility.h"

void set_accessible_name(GtkWidget* widget, const char* name) {
    if (!widget || !name) return;
    if (AtkObject* accessible = gtk_widget_get_accessible(widget))
        atk_object_set_name(accessible, name);
}

void tool_button_set_tip(GtkToolItem* item, const char* tip) {
    gtk_widget_set_tooltip_text(GTK_WIDGET(item), tip);
    set_accessible_name(GTK_WIDGET(item), tip);
    set_accessible_name(gtk_bin_get_child(GTK_BIN(item)), tip);
}

GtkToolItem* toolbar_add_stock_button(GtkWidget* toolbar, const char* stock, const char* tip,
                                      GCallback handler) {
    G_GNUC_BEGIN_IGNORE_DEPRECATIONS
    GtkToolItem* item = gtk_tool_button_new_from_stock(stock);
    G_GNUC_END_IGNORE_DEPRECATIONS
    gtk_widget_set_name(GTK_WIDGET(item), stock);
    tool_button_set_tip(item, tip);
    g_signal_connect(item, "clicked", handler, nullptr);
    gtk_toolbar_insert(GTK_TOOLBAR(toolbar), item, -1);
    return item;
}
