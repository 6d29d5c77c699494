// The twelve ready-made shell commands that the terminal's help tree types into
// the terminal it was opened from. The help trees list them; the terminal feeds
// them. Texts ending in a newline run at once; the others wait for the user to
// finish them and press Enter.
#pragma once

#include <span>
#include <string_view>

struct TerminalCommandItem {
    std::string_view key;  // "1.1 (term": the part of the row title before ")"
    const char* title;     // marked for translation; the row reads "<key>) : <title>"
    std::string_view text; // fed to the terminal byte for byte
};

// The twelve items in the order the help tree lists them.
std::span<const TerminalCommandItem> terminal_command_items();

// The item whose key is exactly `key`, or null.
const TerminalCommandItem* terminal_command_item(std::string_view key);
