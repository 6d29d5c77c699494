#include "tools/ui/links.h"

#include "shell/settings.h"

// The link scanner is not built yet; opening a page with the scan turned on
// leaves the "Liens" menu as it is.
void scan_links(DocumentPage&) {}

void scan_links_after_open(DocumentPage& page) {
    if (settings().scan_for_links_on_doc_open == 1) scan_links(page);
}
