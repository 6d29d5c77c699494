// The links of a page (anchors, pictures, files), listed in the "Liens" menu.
#pragma once

struct DocumentPage;

// Scans the page's links into the "Liens" menu.
void scan_links(DocumentPage& page);
