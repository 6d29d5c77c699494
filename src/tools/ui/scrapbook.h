// The scrapbook: crapbook.txt in the configuration folder, shown on the "Note"
// page of the bottom notebook and editable as a document tab.
#pragma once

#include <gtk/gtk.h>

// Fills `box`, the Note page's vertical box: the note view holding the intro
// text, with its own completion on the words typed into it, and "Effacer".
void scrapbook_panel_build(GtkWidget* box);
// The Note page's view, or null.
GtkWidget* scrapbook_view();

// "Crapbook": the intro and the file in the Note page, and the file's tab
// opened or made current. A file that cannot be created or read gives the
// intro alone, an error in the log and no tab.
void scrapbook_show();
// "Ajouter au Crapbook": the current document's selection put in front of the
// scrapbook (its open tab, else the file) and at the Note page's cursor.
void scrapbook_add_selection();
