#include "shell/ui_state.h"

#include "shell/key_file.h"

Lines ui_state_lines(const UiState& s) {
    Lines out;
    for (auto [key, value] : {std::pair<const char*, long>{"vpaned1_y", s.vpaned1_y},
                              {"last_prefs_tab", s.last_prefs_tab},
                              {"main_wnd_x", s.main_wnd_x},
                              {"main_wnd_y", s.main_wnd_y},
                              {"main_wnd_w", s.main_wnd_w},
                              {"main_wnd_h", s.main_wnd_h}})
        lines_prepend_int(out, key, value);
    return out;
}

std::string ui_state_text(const UiState& s) {
    std::string text;
    for (const auto& line : ui_state_lines(s)) {
        text += line;
        text += '\n';
    }
    return text;
}

long ui_state_read_last_prefs_tab(const std::string& path) {
    return lines_lookup_int(file_to_lines(path), "last_prefs_tab", 0);
}
