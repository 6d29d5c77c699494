// Start-up, the main loop and shutdown.
#pragma once

// Binds the text domain "orvane" to locale_dir() with UTF-8 texts and makes it
// the default domain, so that plain gettext() (the todo table's texts) reads
// the same catalogue. The language follows LANGUAGE, LC_ALL, LC_MESSAGES, LANG.
void app_bind_text_domain();

// The program: start-up, main loop, shutdown. Returns the exit status.
int app_run(int argc, char** argv);

// Writes orvane_ui and releases the histories; run by the window's close, by
// "Quiter Orvane" and by the termination signals.
void ui_state_save();

// Refreshes the copy of orvane_ui that a SIGABRT handler can write without
// allocating; called whenever the window state changes.
void ui_state_snapshot();

// Creates `path` (relative to the working directory unless absolute) as a new
// empty file, opens it, inserts the header its extension asks for and makes it
// executable. False when the file could not be created.
bool create_new_file(const char* name);
