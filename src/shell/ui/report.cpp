#include "shell/ui/report.h"

// Placeholders: the reporting channels are built in their own change.
void log_message(std::string_view, std::string_view, int) {}
void log_message(std::string_view, int) {}
void log_icon_info() {}
void log_icon_error() {}
void log_icon_ok() {}
void log_icon_help() {}
void log_icon_saved() {}
void log_icon_not_saved() {}
void indicator_ok() {}
void indicator_stop() {}
void indicator_net() {}
void indicator_busy() {}
void indicator_not_saved() {}
void indicator_saved() {}
void status_message(std::string_view) {}
void notify_user(std::string_view) {}
GtkWidget* log_view_create() { return gtk_scrolled_window_new(nullptr, nullptr); }
GtkWidget* log_view() { return nullptr; }
GtkWidget* status_bar_create() { return gtk_statusbar_new(); }
void indicator_create(GtkBox*) {}
void log_scroll_to_top() {}
void apply_text_colors_to(GtkWidget*) {}
void log_apply_error_tag_colors() {}
