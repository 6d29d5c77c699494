// The window-state file orvane_ui, written whole at every exit.
#pragma once

#include <string>

#include "shell/lines.h"

struct UiState {
    long main_wnd_h = 0, main_wnd_w = 0, main_wnd_y = 0, main_wnd_x = 0;
    long last_prefs_tab = 0;
    long vpaned1_y = 50;
};

// The lines in file order: main_wnd_h, main_wnd_w, main_wnd_y, main_wnd_x,
// last_prefs_tab, vpaned1_y.
Lines ui_state_lines(const UiState& state);
// The same as the file's bytes.
std::string ui_state_text(const UiState& state);
// At start only last_prefs_tab is read back (default 0).
long ui_state_read_last_prefs_tab(const std::string& path);
