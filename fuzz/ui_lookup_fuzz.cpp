// Lookups in the window-state file orvane_ui, from arbitrary bytes: the keys the
// program reads and writes, and keys taken from the file itself.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/key_file.h"
#include "shell/ui_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<Lines> lines = text_to_lines(text);
    for (const char* key : {"main_wnd_h", "main_wnd_w", "main_wnd_y", "main_wnd_x",
                            "last_prefs_tab", "vpaned1_y"})
        (void)lines_lookup_int(lines, key, 7);
    bool every_line_has_value = true;
    for (const std::string& line : *lines)
        every_line_has_value = every_line_has_value && line.find('=') != std::string::npos;
    for (const std::string& line : *lines) {
        const std::string_view key = std::string_view(line).substr(0, line.find('='));
        // Only a line without '=' makes a lookup fail.
        if (!lines_lookup_string(lines, key, "d") && every_line_has_value) __builtin_trap();
    }
    UiState state;
    state.last_prefs_tab = lines_lookup_int(lines, "last_prefs_tab", 0);
    if (lines_lookup_int(text_to_lines(ui_state_text(state)), "last_prefs_tab", -1) !=
        state.last_prefs_tab)
        __builtin_trap();
    return 0;
}
