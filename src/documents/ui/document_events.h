// What the modules above the documents do when a page is opened or saved, and
// how a file is shown instead of opened: the top of the program connects the
// symbol list, the link scan and the Mini Web here once at start-up, so that
// the documents never call up into the tools.
#pragma once

#include <string>

struct DocumentPage;

using PageEvent = void (*)(DocumentPage& page);
// After a file was read into a page (text set, highlighting chosen).
void document_opened_hook_add(PageEvent hook);
// After every save of a page, successful or not.
void document_saved_hook_add(PageEvent hook);
// Shows a picture or a web page (a file-system path) in the Mini Web view.
void document_preview_hook_set(void (*hook)(const std::string& path));

// Called by the documents themselves; each runs the hooks in the order added.
void document_opened(DocumentPage& page);
void document_saved(DocumentPage& page);
void document_preview(const std::string& path);
