// Highlighting a page by its file name, as opening and saving a file use it.
#pragma once

#include <string>

struct DocumentPage;

// The highlight mode a file name asks for (or its first lines, when the
// settings ask for detection by content); "none" when nothing matches.
std::string highlight_mode_for_path(const std::string& path);
// Sets the page's source language from its highlight mode.
void apply_source_language(DocumentPage& page);
// Removes every tag and applies the page's language again.
void refresh_highlighting(DocumentPage& page);
