// The "In" page of the side notebook: the includes, declarations, form
// variables and suspect lines of a page's saved file, one row each; a row jumps
// to its line. Suspect lines are marked in the page with the tag "err2".
#pragma once

#include <gtk/gtk.h>

struct DocumentPage;

// Fills `box` (the "In" page) with the list and its two buttons, once.
void symbols_panel_build(GtkWidget* box);

// Scans the file of `page` as saved on disk, read in the page's charset, into
// the list, and brings the page's suspect marks in line with it (marks of
// lines no longer suspect go). Rows of another page stop jumping at once and
// give way to the first row; this page's rows stay until the new ones are
// known, and only the rows after the first that differs change. The file is
// read and scanned in a worker thread, and rows and marks change in short
// main-loop slices, so a large file never holds up the window. A newer scan
// takes the list over; the page closing drops what is pending for it. A page
// without a file lists the first row only.
void scan_symbols(DocumentPage& page);
// "Débuter le scan": scan_symbols on the current document, if any.
void scan_symbols_command();
// "Ouvrir les fichiers include": opens (or switches to) every existing regular
// file that the current document's saved text includes, each name taken
// relative to that document's folder.
void open_include_files_command();
// Empties the list, its first row included; the list takes no rows from a
// scan still in progress.
void symbols_list_clear();

// The list's model (column 0 picture, 1 text, 2 line number or null), or null
// before the page is built.
GtkTreeModel* symbols_model();
GtkTreeView* symbols_view();
// True while a scan is still reading, scanning, filling or emptying the list,
// or marking.
bool symbols_scan_pending();
