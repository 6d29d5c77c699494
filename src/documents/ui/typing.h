// What happens in a page's view besides plain typing: the key-press aids, the
// status line and word marking on key release, block indent, brace jumps,
// delete line, inline pictures, and the editor settings of every page.
#pragma once

#include <gtk/gtk.h>

struct DocumentPage;

// Connects the view's key handlers; the page's view must exist.
void connect_typing_aids(DocumentPage& page);

// The key-press aids; true when the key was consumed.
gboolean typing_key_press(GtkWidget* view, GdkEventKey* event, gpointer page);
gboolean typing_key_release(GtkWidget* view, GdkEventKey* event, gpointer page);

// Indents (or unindents) the selected lines, or the cursor's line.
void indent_block(DocumentPage* page, bool unindent);

// Menu commands on the current document.
void indent_command();
void unindent_command();
void delete_line_command();
void block_start_command();
void block_end_command();
void toggle_wrap_command();
void inline_pictures_command();
