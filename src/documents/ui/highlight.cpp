#include "documents/ui/highlight.h"

// Highlighting modes are not built yet: no file name selects one and a page
// keeps the plain buffer it was opened with.
std::string highlight_mode_for_path(const std::string&) {
    return {};
}

void apply_source_language(DocumentPage&) {}

void refresh_highlighting(DocumentPage&) {}
