// Finding and replacing in a page: case-sensitive find from the start with the
// `search` marks, find next from the cursor, the same without case, replace-all
// and go to line from the command entry, and the search and replace window.
#pragma once

#include <cstddef>
#include <gtk/gtk.h>
#include <string_view>

struct DocumentPage;

// Removes tag `tag_name` from the whole buffer and puts it on every occurrence
// of `text` (pictures never match); an empty text marks nothing. With many
// occurrences, those shown in `view` (and a screen above and below) are marked
// at once and the others from idle time in short slices, so that a key press
// never waits for them; a newer marking with the same tag replaces the pending
// one, and an edit meanwhile makes the rest be found again.
void doc_mark_occurrences(GtkTextBuffer* buffer, const char* tag_name, std::string_view text,
                          GtkWidget* view = nullptr);
// doc_mark_occurrences for documents whose last line has an index of at most
// 999; longer ones are left alone.
void doc_mark_occurrences_if_short(GtkTextBuffer* buffer, const char* tag_name,
                                   std::string_view text, GtkWidget* view = nullptr);
// Typing in the command entry marks its text in the current document's buffer
// with the tag "search" (after removing it from the whole buffer).
void command_entry_mark_matches(GtkTextBuffer* buffer, std::string_view text);
// Enter in the command entry: finds its text in the current document and gives
// the document the focus.
void command_entry_find(std::string_view text);
// True while occurrences of `tag_name` are still to be marked in idle time.
bool doc_marking_pending(GtkTextBuffer* buffer, const char* tag_name);

// Selects the first occurrence (cursor at its end), scrolls to it and marks
// every occurrence with the `search` tag; the old marks go first. False when
// there is none or the text is empty.
bool doc_search(DocumentPage* page, std::string_view text);
// The next occurrence of the page's last search text after the cursor; no
// wrap-around.
bool doc_search_next(DocumentPage* page);
// The first occurrence without case that begins after the cursor, selected
// with the cursor at its start; remembered as the last search text.
bool doc_search_nocase(DocumentPage* page, std::string_view text);
bool doc_search_next_nocase(DocumentPage* page);

// Every occurrence of `find` replaced in the whole text as one undo step; the
// count of replacements (nothing changes when it is 0).
std::size_t doc_replace_all(DocumentPage* page, std::string_view find,
                            std::string_view replacement);

// The "Rechercher" commands; each acts on the current document.
void find_command();
void find_nocase_command();
void find_next_command();
void find_next_nocase_command();
void replace_all_command();
void goto_line_command();
void search_replace_window_command();
