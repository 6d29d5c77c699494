// Configuration changes made from inside the program: every path that reads the
// settings again also re-applies them to the widgets that show them.
#pragma once

#include <gtk/gtk.h>

#include "shell/settings.h"

// The configuration load followed by the GUI's part: text colours of the log and
// command entry, then every apply hook (the editor settings of every page, the
// toolbar, the "Co" menu).
void config_reload_and_apply();
// Re-applies the current settings to every widget that shows them.
void settings_apply();
// Re-applies the text colours of the settings to the log view and the command entry.
void apply_text_colors();

// Writes the given settings to orvane_rc (the preferences' list, replacing the
// file whole) and reloads. A failed write is logged, leaves the file as it was
// and reloads nothing: false.
bool settings_write(const Settings& values);
// Copies orvane_rc to orvane_rc.bak; a failure is logged.
void config_backup();
// Puts orvane_rc.bak in place of orvane_rc, reloads, and tells the user so.
// Without a backup the user is told there is none and nothing changes. True
// when the settings were reloaded.
bool config_restore(GtkWindow* parent);
// Deletes orvane_rc and reloads (which writes the default file again); true
// when the settings were reloaded.
bool config_reset(GtkWindow* parent);

// Modules add what must follow a reload (editor pages, toolbar, menus); a hook
// added twice runs once.
void settings_apply_hook_add(void (*hook)());
