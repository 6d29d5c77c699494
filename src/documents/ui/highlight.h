// Highlighting a page by its file name. Opening a file calls these; until the
// highlighting modes and themes are built they leave the page as it is.
#pragma once

#include <string>

struct DocumentPage;

// The highlight mode a file name asks for; empty while no mode applies.
std::string highlight_mode_for_path(const std::string& path);
// Sets the page's source language from its highlight mode.
void apply_source_language(DocumentPage& page);
// Removes every highlighting tag and applies the page's language again.
void refresh_highlighting(DocumentPage& page);
