// The text commands of the Fonctions menu on the current document: each menu
// item runs its row of text_transforms() through one handler.
#pragma once

#include <gtk/gtk.h>

struct TextTransform;

// Runs `row` on the current document (nothing without one). A rewrite of the
// selection (or of the word around the cursor) is one undo step and leaves the
// result selected, so that commands chain; without the text the row needs, or
// when the row changes nothing, the document and its undo history stay as they
// are. Whole-text rows edit the buffer in place as one undo step, keeping the
// cursor and the other marks; the counter inserts at the cursor; analyses open
// their report in a new document. A row with a parameter first prompts the
// command entry with its example and reads the entry.
void text_transform_run(const TextTransform& row);

// The handler of every text command's menu item: the row is the one whose
// translated label is the item's name (the label it shows).
void on_text_transform_item(GtkMenuItem* item, gpointer data);
