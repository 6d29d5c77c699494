#include "shell/entry_rules.h"

void command_history_push(Lines& history, std::string_view text, long famous_history_max) {
    long max = famous_history_max + 1;
    lines_push_limited(history, text, max > 0 ? static_cast<std::size_t>(max) : 0);
}

bool search_marks_allowed(int last_line_index) {
    return last_line_index <= 999;
}

PanelTarget panel_target(const std::optional<std::string>& folder, std::string_view name) {
    if (!folder || folder->empty()) return {PanelTarget::no_folder, {}};
    if (name.empty()) return {PanelTarget::no_name, {}};
    return {PanelTarget::ok, *folder + "/" + std::string(name)};
}
