// The files a page refers to, listed in the "Liens" menu of "Navigation", and
// the page's weight with its pictures.
#pragma once

struct DocumentPage;

// "Scan des liens dans la page": the page's own path, then the existing files its
// href values name, into the "Liens" menu; an item opens its file.
void scan_links(DocumentPage& page);
// The scan an open runs when scan_for_links_on_doc_open asks for it.
void scan_links_after_open(DocumentPage& page);

// Menu commands over the current document; each does nothing without one.
void link_scan_command();       // "Scan des liens dans la page"
void local_link_scan_command(); // "Scan lien HTML local (HREF)": the scan, then where to look
void image_scan_command();      // "Scan d'image HTML (SRC)": the src files, for a saved page
void page_weight_command();     // "Afficher le poids du document", for a saved page
