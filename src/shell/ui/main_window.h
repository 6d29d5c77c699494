// The main window: built once at start-up, after the configuration load.
#pragma once

#include <gtk/gtk.h>
#include <string>

#include "shell/ui_state.h"

// Runs the configuration load, then builds the widget tree and loads the start state.
GtkWidget* main_window_build();
GtkWindow* main_window();
// The style scheme name read from orvane_theme at build time.
const std::string& theme_name();
// The window's current geometry and the remembered dialog state, for orvane_ui.
UiState main_window_ui_state();
// Re-applies the text colours of the settings to the views that exist.
void apply_text_colors();
