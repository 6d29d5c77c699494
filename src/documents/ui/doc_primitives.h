// The editing primitives: how tools read and change a page. Positions are
// character offsets; every insertion or replacement is one undoable user action.
// A null page (no current document) makes each of them do nothing.
#pragma once

#include <gtk/gtk.h>
#include <optional>
#include <string>
#include <string_view>

#include "documents/text_words.h"

struct DocumentPage;

// The page's buffer; null for a null page.
GtkTextBuffer* doc_buffer(const DocumentPage* page);
// The iterator at the cursor.
GtkTextIter doc_cursor_iter(GtkTextBuffer* buffer);
// The text between two iterators with one character per buffer position
// (pictures read as U+FFFC), so that character offsets in it are buffer offsets.
std::string doc_slice(const GtkTextIter& start, const GtkTextIter& end);
std::string doc_whole_slice(GtkTextBuffer* buffer);
// The start of the line holding `at` and its end before the line break.
void doc_line_bounds(const GtkTextIter& at, GtkTextIter& start, GtkTextIter& end);

// The selected text; none when nothing is selected.
std::optional<std::string> doc_get_selection(const DocumentPage* page);
bool doc_has_selection(GtkTextBuffer* buffer);
// The whole text, hidden characters (pictures) left out.
std::string doc_get_text(GtkTextBuffer* buffer);

void doc_insert_at_cursor(DocumentPage* page, std::string_view text);
// Deletes [start, end) and inserts `text` where it was.
void doc_replace_range(DocumentPage* page, long start, long end, std::string_view text);
// Without a selection nothing changes and no undo step is added.
void doc_replace_selection(DocumentPage* page, std::string_view text);

// Selects line `line` (from 1) without its line end and scrolls its start to the
// top left; nothing for the last line of a text without final newline.
void doc_goto_line(DocumentPage* page, long line);
long doc_get_cursor_offset(const DocumentPage* page);
// Places the cursor (clearing the selection) and scrolls it to the top left.
void doc_set_cursor_offset(DocumentPage* page, long offset);

// The word containing the cursor, and what of it lies before the cursor.
TextSpan doc_word_around_cursor(const DocumentPage* page);
TextSpan doc_word_before_cursor(const DocumentPage* page);

void doc_cursor_back(DocumentPage* page, long n);
void doc_cursor_to_previous_quote(DocumentPage* page);
void doc_cursor_after_previous_tag(DocumentPage* page);

// The selection with every word start upper-cased; none without selection.
std::optional<std::string> doc_selection_title_case(const DocumentPage* page);

// The quoted path around the cursor resolved against the page's folder; a
// quoted "#name" moves the cursor to its anchor instead and gives none.
std::optional<std::string> doc_path_at_cursor(DocumentPage* page);
