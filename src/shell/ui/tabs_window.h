// A tab dragged out of a notebook of the group "wnote" opens in a window of its own.
#pragma once

#include <gtk/gtk.h>

// Connects the notebook's "create-window" to the tabs window.
void tabs_window_connect(GtkNotebook* notebook);

// The notebook refuses tabs dragged from any other notebook of its group, so
// that it only ever holds the pages its own module puts in (the editor
// notebook's pages are documents).
void tabs_refuse_foreign(GtkNotebook* notebook);
