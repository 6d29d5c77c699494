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
