#include "documents/ui/document_events.h"

#include <algorithm>
#include <vector>

namespace {
struct Events {
    std::vector<PageEvent> opened;
    std::vector<PageEvent> saved;
    void (*preview)(const std::string& path) = nullptr;
};

Events& events() {
    static Events e;
    return e;
}

// Connecting twice (a window built again) must not run a hook twice.
void add_once(std::vector<PageEvent>& hooks, PageEvent hook) {
    if (hook && std::find(hooks.begin(), hooks.end(), hook) == hooks.end()) hooks.push_back(hook);
}
} // namespace

void document_opened_hook_add(PageEvent hook) {
    add_once(events().opened, hook);
}
void document_saved_hook_add(PageEvent hook) {
    add_once(events().saved, hook);
}
void document_preview_hook_set(void (*hook)(const std::string& path)) {
    events().preview = hook;
}

void document_opened(DocumentPage& page) {
    for (auto hook : events().opened)
        hook(page);
}
void document_saved(DocumentPage& page) {
    for (auto hook : events().saved)
        hook(page);
}
void document_preview(const std::string& path) {
    if (events().preview) events().preview(path);
}
