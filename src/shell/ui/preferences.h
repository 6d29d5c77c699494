// The preferences window "Options": the settings of orvane_rc on fourteen
// pages, written back together by "Sauvegarder et aplliquer", and the
// configuration copy, restore and reset on the "Maintenance" page.
#pragma once

#include <gtk/gtk.h>

// Opens the window on the page shown last, or presents it when it is already open.
void preferences_open();
// The open window, or null.
GtkWidget* preferences_window();
