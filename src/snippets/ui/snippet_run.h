// What choosing an item of the snippet catalogue does: insert its fragment at
// the cursor of the current document, run the tool it names, or type its
// command into a terminal.
#pragma once

#include <gtk/gtk.h>
#include <string_view>

// Performs the action of the catalogue item whose key is `key` ("2.1 (php").
// Fragments and tools act on the current document and do nothing without one;
// a terminal command goes to the current terminal tab. An unknown key, a
// heading or an untagged row does nothing.
void snippet_run(std::string_view key);

// Types the terminal command whose key is `key` into `terminal`; nothing for a
// null terminal or a key that names no terminal command.
void snippet_type_command(GtkWidget* terminal, std::string_view key);

// Tests watch what reaches the terminals: while set, `typer` receives what
// would be typed instead of the terminal. Null restores the terminal.
using SnippetTerminalTyper = void (*)(GtkWidget* terminal, std::string_view text);
void snippet_terminal_typer_set(SnippetTerminalTyper typer);
