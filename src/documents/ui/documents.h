// The open documents. Until the editor notebook exists these entry points keep
// their names and do nothing, so start-up and the menus can already call them.
#pragma once

#include <string>
#include <string_view>

struct DocumentPage;

// Opens `path` as a document page (none when it cannot be opened).
DocumentPage* open_file(const std::string& path);
// Inserts text at the cursor of the current document as one user action.
void doc_insert_at_cursor(std::string_view text);
// Closes every page in tab order, asking about unsaved changes when configured.
void close_all_documents();
