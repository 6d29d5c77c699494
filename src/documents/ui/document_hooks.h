// Further document entry points the main window, its menus and toolbars call.
// Until the document pages exist they keep their names and do nothing, so the
// menus can already be wired to them.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>
#include <string_view>

// The current document's buffer and view, or null without a current document.
GtkTextBuffer* current_document_buffer();
GtkWidget* current_document_view();
// The current document's file name as its record stores it (a full path, or
// "noname_<n>" for a new document); none without a current document.
std::optional<std::string> current_document_name();

void new_document();
// A fresh tab holding `text`; does nothing for none.
void new_document_with_text(std::string_view text);
void open_file_dialog();
void save_current_document();
void save_current_document_as();
void close_current_document();
// Reads the current document's file again in `charset`; false when that failed.
bool reload_current_document(const std::string& charset);
// Opens a "path,charset,offset" entry of the recent, bookmarks or session lists.
void open_position_entry(const std::string& entry);
// Selects the tab of `path` when it is open, else opens it.
void open_or_switch(const std::string& path);
// Replaces the current document's selection as one user action.
void doc_replace_selection(std::string_view text);
// Searches `text` in the current document from the cursor.
void doc_find(std::string_view text);
// Applies a style scheme to the log and every document view.
void apply_style_scheme(const std::string& name);

void doc_undo();
void doc_redo();
void doc_copy();
void doc_cut();
void doc_paste();
