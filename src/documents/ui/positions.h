// Documents remembered by position (the recent files, bookmarks and sessions
// share the "path,charset,offset" line), and the in-text bookmarks listed on the
// "Mark" side page.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>

struct DocumentPage;

// The page's "path,charset,offset" line; none when the path cannot be written
// as one line.
std::optional<std::string> position_entry_of(const DocumentPage& page);

// "Ajouter un marque page": the current document goes first in orvane_bmx.
void add_bookmark_command();
// "Sauvegarder session": the session dialog, then the entries of the open pages
// (last tab first, at most max_recent_items) written to the chosen file.
void save_session_command();
// Writes the session of the open pages to `path` (file-system encoding) and
// rebuilds the "Sessions" menu; false when the file could not be written.
bool save_session_to(const std::string& path);

// "BookMark": marks the selection of the current document (tag, margin mark,
// row of the "Mark" list).
void text_bookmark_command();
// Moves the cursor to the in-text bookmark `name` of the current document;
// false (and reported) when the current buffer has none of that name.
bool goto_text_bookmark(const std::string& name);
// "Supprimer les BookMark": empties the list; marks and tags stay in the buffers.
void clear_text_bookmark_list();

// Fills the "Mark" side page: the list and its button.
void marks_panel_build(GtkWidget* box);
// The list's store: picture, text, name (null before the panel is built).
GtkListStore* marks_store();
GtkWidget* marks_view();
