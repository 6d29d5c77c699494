// The command entry above the editor: many tools read their parameter from it.
#pragma once

#include <gtk/gtk.h>
#include <string>
#include <string_view>

#include "shell/lines.h"

// The entry, 50 characters wide, with its completion; the window's builder
// connects what its keys do.
GtkWidget* command_entry_create();
GtkWidget* command_entry();

// Used by tools that take a parameter from the command entry: when it is empty
// it receives `example` and the log says where the documentation is; the text is
// then pushed onto the history.
void command_entry_prompt(std::string_view example);

// The entry's text ("" before the entry exists).
std::string command_entry_text();
// Adds `text` to the entry's completion list; duplicates are kept.
void command_entry_completion_append(std::string_view text);

// The history loaded from orvane_gl_famous; kept in memory only.
void command_history_load();
const Lines& command_history();
void command_history_clear();
