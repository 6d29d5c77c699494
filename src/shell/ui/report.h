// The four reporting channels: the log panel, the status bar, the activity
// indicator beside the command entry, and desktop notifications. None blocks.
#pragma once

#include <gtk/gtk.h>
#include <string>
#include <string_view>

#include "shell/log_text.h"

// First form: `format` has one "%s", filled with `argument`; the entry is
// "\t<time stamp>\t <text>\n<56 underscores>\n" at the cursor, untagged.
void log_message(std::string_view format, std::string_view argument, int kind);
// Second form: `text` taken literally, inserted at the top with the kind's tag;
// a kind other than LM_ERROR..LM_GREET inserts nothing.
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

// The documents code registers what showing (true, after a save) or hiding
// (false, after a failed save) the current document's saved indicator means;
// the noname rule is its own. Null unregisters.
void indicator_set_saved_hook(void (*hook)(bool visible));

void status_message(std::string_view text);
void status_message(const char* text); // null is ignored
// Never blocks: dropped silently when no notification service is running.
void notify_user(std::string_view text);

// Widgets the main window builder creates once and packs.
// A read-only source view in the log's style: small monospace text, right
// margin and line marks, no cursor, the theme's colours.
GtkWidget* log_style_view_new(const char* accessible_name);
GtkWidget* log_view_create(); // the scrolled log view, tags created
GtkWidget* log_view();        // the source view inside it, or null
GtkWidget* status_bar_create();
GtkWidget* status_bar(); // the status bar, or null
// Packs the first indicator picture at the end of `row` (the toolbar row).
void indicator_create(GtkBox* row);
GtkWidget* indicator_widget(); // the current indicator image, or null
void log_scroll_to_top();

// Sets text and selection colours of a view or entry from the settings.
void apply_text_colors_to(GtkWidget* widget);
// Re-applies the lm_error tag colours from the settings.
void log_apply_error_tag_colors();
