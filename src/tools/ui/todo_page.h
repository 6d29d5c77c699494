// The "TODO liste" page: the shared table of row files, one XML file per row in
// ~/.orvane/todo/, with its add, edit and remove buttons.
#pragma once

#include <gtk/gtk.h>

// Fills `box`, the page's vertical box: reads the column profile, creates the row
// folder when it is missing and builds the view and its buttons. No row is read
// here: the page loads its folder each time it is shown, a few files per turn of
// the main loop.
void todo_page_build(GtkWidget* box);

// Rereads the row folder the same way (rows added, changed or removed by others).
void todo_page_refresh();
