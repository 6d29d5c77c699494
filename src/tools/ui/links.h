// The links of a page (anchors, pictures, files), listed in the "Liens" menu.
#pragma once

struct DocumentPage;

// Scans the page's links into the "Liens" menu.
void scan_links(DocumentPage& page);
// The scan an open runs when scan_for_links_on_doc_open asks for it.
void scan_links_after_open(DocumentPage& page);
