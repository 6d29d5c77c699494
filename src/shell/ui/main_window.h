// The main window: built once at start-up, after the configuration load. The
// widgets other modules use are handed out by shell/ui/window_parts.h.
#pragma once

#include <gtk/gtk.h>

#include "shell/ui_state.h"

// Runs the configuration load, then builds the widget tree and loads the start state.
GtkWidget* main_window_build();
// The window's current geometry and the remembered dialog state, for orvane_ui.
UiState main_window_ui_state();
