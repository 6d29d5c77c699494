// The four reporting channels: the log panel, the status bar, the activity
// indicator beside the command entry, and desktop notifications. None blocks.
#pragma once

#include <gtk/gtk.h>
#include <string>
#include <string_view>

// Log kinds select the tag of the same name.
enum LogKind { LM_ERROR = 13, LM_NORMAL = 14, LM_ADVICE = 15, LM_GREET = 16 };

// First form: `format` has one "%s", filled with `argument`; the entry is
// "\t<time stamp>\t <text>\n<56 underscores>\n" at the cursor, untagged.
void log_message(std::string_view format, std::string_view argument, int kind);
// Second form: `text` taken literally, inserted at the top with the kind's tag.
void log_message(std::string_view text, int kind);

// Log pictures, each inserted at the very start of the log.
void log_icon_info();
void log_icon_error();
void log_icon_ok();
void log_icon_help();
void log_icon_saved();
void log_icon_not_saved();

// Activity indicator states; resetting the indicator means indicator_ok.
void indicator_ok();
void indicator_stop();
void indicator_net();
void indicator_busy();
void indicator_not_saved();
void indicator_saved();

void status_message(std::string_view text);
void notify_user(std::string_view text);

// Widgets the main window builder creates once and packs.
GtkWidget* log_view_create();        // the scrolled log view, tags created
GtkWidget* log_view();               // the source view inside it, or null
GtkWidget* status_bar_create();
// Packs the first indicator picture at the end of `row` (the toolbar row).
void indicator_create(GtkBox* row);
void log_scroll_to_top();

// Sets text and selection colours of a view or entry from the settings.
void apply_text_colors_to(GtkWidget* widget);
// Re-applies the lm_error tag colours from the settings.
void log_apply_error_tag_colors();
