// What start-up and the other subsystems call about the open documents without
// handling a DocumentPage themselves; each acts on the current document.
#pragma once

#include <string>
#include <string_view>

struct DocumentPage;

// Opens `path` as a document page (none when it cannot be opened).
DocumentPage* open_file(const std::string& path);
// A file the user picked in the file panel (file-system path): read in
// `default_charset`, as "Ouvrir" reads, whatever charset an earlier command left
// for the next open.
DocumentPage* open_chosen_file(const std::string& path);
// Inserts text at the cursor of the current document as one user action.
void doc_insert_at_cursor(std::string_view text);
// Closes every page in tab order, asking about unsaved changes when configured.
void close_all_documents();
// Asks about every page whose text quitting would lose, saving those the user
// wants kept; false when the user cancelled or a save did not happen, and the
// program must keep running.
bool documents_may_quit();
