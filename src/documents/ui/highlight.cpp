#include "documents/ui/highlight.h"

#include "documents/ui/highlighting.h"

std::string highlight_mode_for_path(const std::string& path) {
    return highlight_mode_of_file(path);
}

void apply_source_language(DocumentPage& page) {
    set_language_from_mode(page);
}

void refresh_highlighting(DocumentPage& page) {
    refresh_page_highlighting(page);
}
