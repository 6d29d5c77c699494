// The help trees: the language chooser of the side page "Aide" and the help
// windows that show the snippet catalogue one tree at a time. Choosing a row
// (button 1 released over the selected row, or Enter) performs its item.
#pragma once

#include <gtk/gtk.h>
#include <string_view>

// Builds the language chooser (three categories of bracketed languages, a
// status bar under them) into `box`, the side page's vertical box; returns its
// tree view. Choosing a language opens its help window.
GtkWidget* help_chooser_build(GtkWidget* box);

// A tree view holding the catalogue tree `name` ("php", "term"...; an unknown
// name gives an empty tree). Ctrl+F searches it; typing alone does not.
GtkWidget* help_tree_new(std::string_view name);

// Opens the help window of the tree `name`, titled `title` (untranslated;
// shown translated), replacing the one open before; `terminal` is where the
// terminal commands of the "term" tree are typed (held weakly; may be null).
// Returns the window.
GtkWidget* help_window_open(std::string_view name, const char* title, GtkWidget* terminal);
// The terminal commands' help window, bound to `terminal`.
GtkWidget* help_terminal_window_open(GtkWidget* terminal);

// The help window open now, or null.
GtkWidget* help_window();
