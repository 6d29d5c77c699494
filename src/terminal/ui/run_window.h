// The run window: a window of its own with one terminal, in which the current
// document runs as a script, or the loaded project is built and started.
#pragma once

#include <gtk/gtk.h>

// "Executer" and "Run/Debug script": a fresh run window (the previous one and
// its shell go), whose prompt becomes the date and time, then the current
// document runs in it. Nothing without a current document.
void open_run_window();
// "Run script/bin": runs the current document in the run terminal (opening
// the window when it was closed).
void run_current_script();
// "Chmod u+x script/bin": makes the current document's file executable for its
// owner, and reports whether that worked.
void chmod_current_script();
// "Clear terminal": full reset of the run terminal, history included.
void terminal_clear();
// The run window's terminal, or null while no run window is open.
GtkWidget* run_terminal();
