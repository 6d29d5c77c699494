// A tab dragged out of a notebook of the group "wnote" opens in a window of its own.
#pragma once

#include <gtk/gtk.h>

// Connects the notebook's "create-window" to the tabs window.
void tabs_window_connect(GtkNotebook* notebook);
