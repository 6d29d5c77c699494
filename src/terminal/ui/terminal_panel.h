// The terminal tabs of the bottom notebook's "Terminal" page, as other modules
// use them (the help trees type commands, the mounts open an ssh tab).
#pragma once

#include <gtk/gtk.h>
#include <string>
#include <string_view>

// A new terminal tab running the user's shell in the current folder, made the
// current tab; null when the page does not exist.
GtkWidget* terminal_new_tab();
// A new tab that types the ssh command for `host` and `user` (see ssh_typed_line);
// null when they are refused.
GtkWidget* terminal_new_ssh_tab(const std::string& host, const std::string& user);
// The terminal of the current tab, or null.
GtkWidget* terminal_current();
// Types `text` into `terminal` as if from the keyboard; text typed before the
// shell has started is kept and typed once it runs.
void terminal_type(GtkWidget* terminal, std::string_view text);

// The tab the panel starts with, at the window's build: its terminal and shell
// are made when the tab is first shown (or its terminal is asked for), so that
// they cost nothing before the window's first frames.
void terminal_panel_start();

// The panel's toolbar (Close, New, Prev, Next Terminal), packed into `box`.
void terminal_bar_build(GtkWidget* box);
// Its actions. Close removes the current tab (nothing without one); Prev and
// Next stop at the first and last tab.
void terminal_close_current();
void terminal_previous();
void terminal_next();

// What the "Aide" entry of a terminal's right-click menu opens: the help tree
// of terminal commands, bound to that terminal. The help trees register it.
using TerminalHelpOpener = void (*)(GtkWidget* terminal);
void terminal_help_opener_set(TerminalHelpOpener opener);
