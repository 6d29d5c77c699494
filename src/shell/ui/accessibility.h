// What assistive technologies read for a control that shows no text of its
// own: a picture button says its tooltip, a field the caption beside it.
#pragma once

#include <gtk/gtk.h>

// Sets `name` as the accessible name of `widget`.
void set_accessible_name(GtkWidget* widget, const char* name);

// A picture-only tool button: `tip` becomes its tooltip and the accessible name
// of the item and of the button inside it, which is what takes the focus.
void tool_button_set_tip(GtkToolItem* item, const char* tip);

// Appends to `toolbar` a stock picture button named after its stock id, with
// `tip` as its tooltip and accessible name, that calls `handler` when clicked.
GtkToolItem* toolbar_add_stock_button(GtkWidget* toolbar, const char* stock, const char* tip,
                                      GCallback handler);
