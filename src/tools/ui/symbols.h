// The symbols of a page (functions, classes, variables), listed in the side panel.
#pragma once

struct DocumentPage;

// Scans the page's symbols into the side panel's list.
void scan_symbols(DocumentPage& page);
