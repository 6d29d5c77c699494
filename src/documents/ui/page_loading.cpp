#include "documents/ui/page_loading.h"

#include <algorithm>
#include <memory>
#include <gtksourceview/gtksource.h>
#include <vector>

#include "documents/text_pieces.h"
#include "documents/ui/document_page.h"

// Not copyable: the idle source points at it.
struct PageLoad {
    DocumentPage* page = nullptr;
    std::string text;
    std::size_t next = 0;
    guint source = 0;
    std::vector<void (*)(DocumentPage&)> then;
    PageLoad() = default;
    PageLoad(const PageLoad&) = delete;
    PageLoad& operator=(const PageLoad&) = delete;
    ~PageLoad() {
        if (source) g_source_remove(source);
    }
};

void PageLoadDeleter::operator()(PageLoad* load) const {
    std::default_delete<PageLoad>()(load);
}

namespace {

// How long one slice may spend putting text in.
constexpr gint64 kSliceMicroseconds = 8000;
// After the frames, ahead of the view's own layout work on what came in.
constexpr int kSlicePriority = GDK_PRIORITY_REDRAW + 1;

// Appends `text` at the end of the buffer: no undo step, and the page no more
// modified than it was. What the user typed meanwhile stays (and keeps the page
// modified), but the step that comes in after it clears the undo history.
void append(DocumentPage& page, std::string_view text) {
    GtkSourceBuffer* source = page.buffer.get();
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(source);
    const gboolean modified = gtk_text_buffer_get_modified(buffer);
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_source_buffer_begin_not_undoable_action(source);
    gtk_text_buffer_insert(buffer, &end, text.data(), static_cast<gint>(text.size()));
    gtk_source_buffer_end_not_undoable_action(source);
    if (!modified) gtk_text_buffer_set_modified(buffer, FALSE);
}

// Appends the next piece; true when the whole text is in.
bool append_piece(PageLoad& load) {
    const std::size_t end = text_piece_end(load.text, load.next, kLoadPieceBytes);
    append(*load.page, std::string_view(load.text).substr(load.next, end - load.next));
    load.next = end;
    return load.next >= load.text.size();
}

// The load is over: what waited runs.
void complete(DocumentPage& page) {
    std::unique_ptr<PageLoad, PageLoadDeleter> load = std::move(page.load);
    if (!load) return;
    if (load->source) g_source_remove(load->source);
    load->source = 0;
    // Each piece hid the saved indicator as text came in.
    if (page.saved_indicator && page.is_file &&
        !gtk_text_buffer_get_modified(GTK_TEXT_BUFFER(page.buffer.get())))
        gtk_widget_show(page.saved_indicator);
    const auto then = std::move(load->then);
    load.reset();
    for (auto hook : then)
        hook(page);
}

gboolean load_slice(gpointer data) {
    auto* load = static_cast<PageLoad*>(data);
    const gint64 until = g_get_monotonic_time() + kSliceMicroseconds;
    bool done = false;
    do
        done = append_piece(*load);
    while (!done && g_get_monotonic_time() < until);
    if (!done) return G_SOURCE_CONTINUE;
    load->source = 0;
    complete(*load->page);
    return G_SOURCE_REMOVE;
}

} // namespace

void page_load_text(DocumentPage& page, std::string text) {
    page_finish_loading(page);
    const std::size_t first = text_piece_end(text, 0, kLoadFirstBytes);
    append(page, std::string_view(text).substr(0, first));
    if (first >= text.size()) return;
    std::unique_ptr<PageLoad, PageLoadDeleter> load(std::make_unique<PageLoad>().release());
    load->page = &page;
    load->text = std::move(text);
    load->next = first;
    load->source = g_idle_add_full(kSlicePriority, load_slice, load.get(), nullptr);
    page.load = std::move(load);
}

void page_after_loading(DocumentPage& page, void (*then)(DocumentPage& page)) {
    if (!then) return;
    if (page.load)
        page.load->then.push_back(then);
    else
        then(page);
}

bool page_loading(const DocumentPage& page) {
    return page.load != nullptr;
}

void page_finish_loading(DocumentPage& page) {
    if (!page.load) return;
    while (!append_piece(*page.load)) {
    }
    complete(page);
}

void buffer_finish_loading(GtkTextBuffer* buffer) {
    if (!buffer) return;
    if (DocumentPage* page = page_of_buffer(buffer)) page_finish_loading(*page);
}
