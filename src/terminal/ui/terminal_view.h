// What every terminal of the program shares, tabs and run window alike: the
// widget with its settings and faint background picture, the user's shell
// started in a folder, and the right-click menu. Typing into a terminal is
// terminal_type (terminal_panel.h).
#pragma once

#include <gtk/gtk.h>
#include <string>

// A terminal that will run the user's shell ($SHELL, else the account's login
// shell, else /bin/sh) in `folder`; the shell starts with terminal_view_start.
GtkWidget* terminal_view_new(const std::string& folder);

// Starts the shell now when the main window has been drawn (or does not
// exist); otherwise when the terminal is first shown or the main window's
// first frames are out, whichever comes first, so that a terminal built with
// the window never holds those frames up.
void terminal_view_start(GtkWidget* terminal);

// True once the shell runs, until it ends.
bool terminal_view_running(GtkWidget* terminal);

// Called when the terminal's shell ends (never when the terminal is being
// destroyed): the tabs close their own page, the run window keeps its terminal.
using TerminalExitHandler = void (*)(GtkWidget* terminal);
void terminal_view_on_exit(GtkWidget* terminal, TerminalExitHandler handler);

// The right-click menu of `terminal`, built fresh: Copy (only with a
// selection), Paste, "Sauvegarder dans un fichier texte", "Recherche Google",
// "Aide". The previous one is destroyed.
GtkWidget* terminal_menu_new(GtkWidget* terminal);
