#include "terminal/ui/terminal_panel.h"

// The terminal panel is not built yet: no tab exists and typing goes nowhere.
GtkWidget* terminal_new_tab() {
    return nullptr;
}
GtkWidget* terminal_new_ssh_tab(const std::string&, const std::string&) {
    return nullptr;
}
GtkWidget* terminal_current() {
    return nullptr;
}
void terminal_type(GtkWidget*, std::string_view) {}
