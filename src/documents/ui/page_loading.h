// Text read from a file goes into its page without holding the window up: a
// short text at once, a long one from its start, with the rest following in
// short slices between the frames. Whatever reads the whole text or replaces it
// first puts in what is still to come, so that nothing sees or saves half a file.
#pragma once

#include <cstddef>
#include <string>

#include <gtk/gtk.h>

struct DocumentPage;

// Puts `text` into the empty page as where it starts: no undo step, no change to
// its modified state. Typing goes on meanwhile; it cannot be undone.
void page_load_text(DocumentPage& page, std::string text);
// Runs `then` once the page holds its whole text: at once when it does.
void page_after_loading(DocumentPage& page, void (*then)(DocumentPage& page));
bool page_loading(const DocumentPage& page);
// Puts in what is still to come, now; then runs what waited for it.
void page_finish_loading(DocumentPage& page);
// The same for the page whose buffer `buffer` is; nothing for any other.
void buffer_finish_loading(GtkTextBuffer* buffer);

// What goes in at once, and how much at most one slice adds.
inline constexpr std::size_t kLoadFirstBytes = std::size_t{256} << 10;
inline constexpr std::size_t kLoadPieceBytes = std::size_t{64} << 10;
