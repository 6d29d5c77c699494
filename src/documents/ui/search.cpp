#include "documents/ui/search.h"

#include <algorithm>
#include <gdk/gdkkeysyms.h>
#include <glib/gi18n-lib.h>
#include <memory>
#include <string>
#include <vector>

#include "documents/search_rules.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "shell/entry_rules.h"
#include "shell/gobj.h"
#include "shell/ui/accessibility.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"

namespace {

constexpr auto kSearchFlags =
    static_cast<GtkTextSearchFlags>(GTK_TEXT_SEARCH_VISIBLE_ONLY | GTK_TEXT_SEARCH_TEXT_ONLY);

// Cursor at the match's end, selection bound at its start, start scrolled to
// the top left.
void select_match(DocumentPage* page, const GtkTextIter& start, const GtkTextIter& end) {
    GtkTextBuffer* buffer = doc_buffer(page);
    gtk_text_buffer_select_range(buffer, &end, &start);
    if (page->view)
        gtk_text_view_scroll_to_mark(GTK_TEXT_VIEW(page->view),
                                     gtk_text_buffer_get_selection_bound(buffer), 0.0, TRUE, 0.0,
                                     0.0);
}

long cursor_offset(GtkTextBuffer* buffer) {
    GtkTextIter it = doc_cursor_iter(buffer);
    return gtk_text_iter_get_offset(&it);
}

std::string entry_text() {
    return command_entry_text();
}

} // namespace

namespace {

// Up to this many occurrences are marked at once wherever they are.
constexpr std::size_t kMarkAllAtOnce = 200;
// How long one idle slice may spend marking.
constexpr gint64 kMarkSliceMicroseconds = 3000;

// Puts `tag` on ranges[first, last), walking one iterator forward (the ranges
// are sorted and disjoint).
void apply_ranges(GtkTextBuffer* buffer, GtkTextTag* tag, const std::vector<CharRange>& ranges,
                  std::size_t first, std::size_t last) {
    if (first >= last) return;
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_offset(buffer, &it, static_cast<gint>(ranges[first].start));
    long at = ranges[first].start;
    for (std::size_t i = first; i < last; ++i) {
        gtk_text_iter_forward_chars(&it, static_cast<gint>(ranges[i].start - at));
        GtkTextIter end = it;
        gtk_text_iter_forward_chars(&end, static_cast<gint>(ranges[i].end - ranges[i].start));
        gtk_text_buffer_apply_tag(buffer, tag, &it, &end);
        it = end;
        at = ranges[i].end;
    }
}

// The character offsets of the lines shown in `view`, widened by as many lines
// above and below; empty when the view is not on screen. Counted in lines: the
// view knows where its lines lie only around what it shows.
std::pair<long, long> shown_offsets(GtkWidget* view) {
    if (!view || !gtk_widget_get_mapped(view)) return {0, 0};
    GtkTextView* text_view = GTK_TEXT_VIEW(view);
    GdkRectangle rect;
    gtk_text_view_get_visible_rect(text_view, &rect);
    GtkTextIter top, bottom;
    gtk_text_view_get_line_at_y(text_view, &top, rect.y, nullptr);
    gtk_text_view_get_line_at_y(text_view, &bottom, rect.y + rect.height, nullptr);
    const int shown = gtk_text_iter_get_line(&bottom) - gtk_text_iter_get_line(&top) + 1;
    gtk_text_iter_backward_lines(&top, shown);
    gtk_text_iter_set_line_offset(&top, 0);
    gtk_text_iter_forward_lines(&bottom, shown);
    if (!gtk_text_iter_ends_line(&bottom)) gtk_text_iter_forward_to_line_end(&bottom);
    return {gtk_text_iter_get_offset(&top), gtk_text_iter_get_offset(&bottom)};
}

// Marks the occurrences in the lines shown and a screen above and below, the
// only ones a page too large for more gets.
void mark_shown_occurrences(GtkTextBuffer* buffer, GtkTextTag* tag, std::string_view text,
                            GtkWidget* view) {
    const auto [from, to] = shown_offsets(view);
    if (from >= to) return;
    GtkTextIter start, end;
    gtk_text_buffer_get_iter_at_offset(buffer, &start, static_cast<gint>(from));
    gtk_text_buffer_get_iter_at_offset(buffer, &end, static_cast<gint>(to));
    std::vector<CharRange> ranges = find_all(doc_slice(start, end), text);
    for (CharRange& r : ranges) {
        r.start += from;
        r.end += from;
    }
    apply_ranges(buffer, tag, ranges, 0, ranges.size());
}

// The occurrences still to mark for one buffer and tag. It lives as data on
// the buffer, so it goes with the buffer, or when a newer marking replaces it.
struct MarkJob {
    GtkTextBuffer* buffer = nullptr;
    GtkTextTag* tag = nullptr;
    std::string text;
    std::vector<CharRange> ranges;
    std::size_t next = 0;
    bool stale = false;
    guint idle = 0;
    gulong changed = 0;
    std::string key;
};

std::string job_key(const char* tag_name) {
    return std::string("orvane-mark-job-") + tag_name;
}

void mark_job_free(gpointer data) {
    std::unique_ptr<MarkJob> job(static_cast<MarkJob*>(data));
    if (job->idle) g_source_remove(job->idle);
    if (job->changed && g_signal_handler_is_connected(job->buffer, job->changed))
        g_signal_handler_disconnect(job->buffer, job->changed);
}

void mark_job_stale(GtkTextBuffer*, gpointer data) {
    static_cast<MarkJob*>(data)->stale = true;
}

gboolean mark_job_step(gpointer data) {
    auto* job = static_cast<MarkJob*>(data);
    if (job->stale) {
        // The text moved under the offsets: find the occurrences again.
        job->ranges = find_all(doc_whole_slice(job->buffer), job->text);
        job->next = 0;
        job->stale = false;
    }
    const gint64 until = g_get_monotonic_time() + kMarkSliceMicroseconds;
    while (job->next < job->ranges.size()) {
        const std::size_t last = std::min(job->ranges.size(), job->next + 64);
        apply_ranges(job->buffer, job->tag, job->ranges, job->next, last);
        job->next = last;
        if (g_get_monotonic_time() >= until) break;
    }
    if (job->next < job->ranges.size()) return G_SOURCE_CONTINUE;
    job->idle = 0;
    g_object_set_data(G_OBJECT(job->buffer), job->key.c_str(), nullptr);
    return G_SOURCE_REMOVE;
}

} // namespace

void doc_mark_occurrences_if_short(GtkTextBuffer* buffer, const char* tag_name,
                                   std::string_view text, GtkWidget* view) {
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    if (!search_marks_allowed(gtk_text_iter_get_line(&end))) return;
    doc_mark_occurrences(buffer, tag_name, text, view);
}

void command_entry_mark_matches(GtkTextBuffer* buffer, std::string_view text) {
    doc_mark_occurrences_if_short(buffer, "search", text, current_document_view());
}

void command_entry_find(std::string_view text) {
    if (!current_document_buffer()) return;
    doc_find(text);
    if (GtkWidget* view = current_document_view()) gtk_widget_grab_focus(view);
    command_entry_completion_append(text);
}

bool doc_marking_pending(GtkTextBuffer* buffer, const char* tag_name) {
    return g_object_get_data(G_OBJECT(buffer), job_key(tag_name).c_str()) != nullptr;
}

void doc_mark_occurrences(GtkTextBuffer* buffer, const char* tag_name, std::string_view text,
                          GtkWidget* view) {
    GtkTextTag* tag = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), tag_name);
    if (!tag) return;
    const std::string key = job_key(tag_name);
    g_object_set_data(G_OBJECT(buffer), key.c_str(), nullptr);
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gtk_text_buffer_remove_tag(buffer, tag, &start, &end);
    if (text.empty()) return;
    const DocumentPage* page = page_of_buffer(buffer);
    if (page && !page->features.marks_beyond_screen) {
        mark_shown_occurrences(buffer, tag, text, view);
        return;
    }
    // One pass over the text, then the iterator walks forward from match to match.
    std::vector<CharRange> ranges = find_all(doc_whole_slice(buffer), text);
    if (ranges.size() <= kMarkAllAtOnce) {
        apply_ranges(buffer, tag, ranges, 0, ranges.size());
        return;
    }
    // Those on screen first; the others wait for idle time.
    const auto [from, to] = shown_offsets(view);
    std::vector<CharRange> later;
    later.reserve(ranges.size());
    std::vector<CharRange> now;
    for (const CharRange& r : ranges)
        (r.end > from && r.start < to ? now : later).push_back(r);
    apply_ranges(buffer, tag, now, 0, now.size());
    if (later.empty()) return;
    auto job = std::make_unique<MarkJob>();
    job->buffer = buffer;
    job->tag = tag;
    job->text = std::string(text);
    job->ranges = std::move(later);
    job->key = key;
    job->changed = g_signal_connect(buffer, "changed", G_CALLBACK(mark_job_stale), job.get());
    job->idle = g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, mark_job_step, job.get(), nullptr);
    MarkJob* raw = job.release();
    g_object_set_data_full(G_OBJECT(buffer), key.c_str(), raw, mark_job_free);
}

bool doc_search(DocumentPage* page, std::string_view text) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return false;
    const std::string needle(text);
    bool found = false;
    GtkTextIter start, match_start, match_end;
    gtk_text_buffer_get_start_iter(buffer, &start);
    if (!needle.empty() && gtk_text_iter_forward_search(&start, needle.c_str(), kSearchFlags,
                                                        &match_start, &match_end, nullptr)) {
        select_match(page, match_start, match_end);
        page->last_search = needle;
        found = true;
    }
    doc_mark_occurrences(buffer, "search", needle, page->view);
    if (page->view) gtk_widget_grab_focus(page->view);
    return found;
}

bool doc_search_next(DocumentPage* page) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer || !page->last_search || page->last_search->empty()) return false;
    GtkTextIter from, match_start, match_end;
    gtk_text_buffer_get_iter_at_mark(buffer, &from, gtk_text_buffer_get_insert(buffer));
    if (!gtk_text_iter_forward_search(&from, page->last_search->c_str(), kSearchFlags, &match_start,
                                      &match_end, nullptr))
        return false;
    select_match(page, match_start, match_end);
    return true;
}

bool doc_search_nocase(DocumentPage* page, std::string_view text) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer) return false;
    auto match = find_without_case(doc_whole_slice(buffer), text, cursor_offset(buffer));
    if (!match) return false;
    GtkTextIter start, end;
    gtk_text_buffer_get_iter_at_offset(buffer, &start, static_cast<gint>(match->start));
    gtk_text_buffer_get_iter_at_offset(buffer, &end, static_cast<gint>(match->end));
    gtk_text_buffer_select_range(buffer, &start, &end);
    page->last_search = std::string(text);
    return true;
}

bool doc_search_next_nocase(DocumentPage* page) {
    if (!page || !page->last_search) return false;
    const std::string text = *page->last_search;
    return doc_search_nocase(page, text);
}

std::size_t doc_replace_all(DocumentPage* page, std::string_view find,
                            std::string_view replacement) {
    GtkTextBuffer* buffer = doc_buffer(page);
    if (!buffer || find.empty()) return 0;
    // Only the stretch from the first occurrence to the end of the last is
    // rewritten, so that marks, bookmarks and pictures around it stay.
    const ReplacedStretch stretch = replace_all_stretch(doc_whole_slice(buffer), find, replacement);
    // Nothing found: the buffer keeps its text, its modified state and its undo history.
    if (stretch.count == 0) return 0;
    const long from = stretch.from;
    const long to = stretch.to;
    const long cursor = cursor_offset(buffer);
    gtk_text_buffer_begin_user_action(buffer);
    GtkTextIter start, end;
    gtk_text_buffer_get_iter_at_offset(buffer, &start, static_cast<gint>(from));
    gtk_text_buffer_get_iter_at_offset(buffer, &end, static_cast<gint>(to));
    gtk_text_buffer_delete(buffer, &start, &end);
    gtk_text_buffer_insert(buffer, &start, stretch.text.data(),
                           static_cast<gint>(stretch.text.size()));
    gtk_text_buffer_end_user_action(buffer);
    // A cursor before or after the stretch stays by its text; one inside it
    // keeps its offset.
    if (cursor > from && cursor < to) {
        GtkTextIter at;
        gtk_text_buffer_get_iter_at_offset(buffer, &at, static_cast<gint>(cursor));
        gtk_text_buffer_place_cursor(buffer, &at);
    }
    return stretch.count;
}

void find_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    const std::string text = entry_text();
    doc_search(page, text);
    command_entry_completion_append(text);
}

void find_nocase_command() {
    if (DocumentPage* page = current_document()) doc_search_nocase(page, entry_text());
}

void find_next_command() {
    if (DocumentPage* page = current_document()) doc_search_next(page);
}

void find_next_nocase_command() {
    if (DocumentPage* page = current_document()) doc_search_next_nocase(page);
}

void replace_all_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    command_entry_prompt(_("Texte pour trouver le texte à remplacer"));
    const std::string text = entry_text();
    command_entry_completion_append(text);
    auto command = parse_replace_command(text);
    if (!command) return;
    if (command->find.empty()) {
        log_message(_("Tout remplacer : le texte à trouver est vide, rien n'est remplacé."),
                    LM_ERROR);
        return;
    }
    doc_replace_all(page, command->find, command->replacement);
}

void goto_line_command() {
    DocumentPage* page = current_document();
    if (!page) return;
    command_entry_prompt("0");
    const std::string text = entry_text();
    doc_goto_line(page, line_number_of_entry(text));
    command_entry_completion_append(text);
}

namespace {

// The window's parts, looked up on the window the buttons were given.
GtkWidget* part(gpointer window, const char* name) {
    return GTK_WIDGET(g_object_get_data(G_OBJECT(window), name));
}

bool nocase_on(gpointer window) {
    return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(part(window, "nocase")));
}

void on_replace(GtkButton*, gpointer window) {
    DocumentPage* page = current_document();
    if (page && doc_has_selection(doc_buffer(page)))
        doc_replace_selection(page, gtk_entry_get_text(GTK_ENTRY(part(window, "replace"))));
}

void on_jump_to_top(GtkButton*, gpointer) {
    if (DocumentPage* page = current_document()) doc_set_cursor_offset(page, 0);
}

void on_find(GtkButton*, gpointer window) {
    DocumentPage* page = current_document();
    if (!page) return;
    const std::string text = gtk_entry_get_text(GTK_ENTRY(part(window, "find")));
    if (nocase_on(window))
        doc_search_nocase(page, text);
    else
        doc_search(page, text);
}

void on_find_next(GtkButton*, gpointer window) {
    DocumentPage* page = current_document();
    if (!page) return;
    if (nocase_on(window))
        doc_search_next_nocase(page);
    else
        doc_search_next(page);
}

GtkWidget* labelled_entry(GtkWidget* box, const char* label) {
    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    GtkWidget* caption = gtk_label_new(label);
    gtk_box_pack_start(GTK_BOX(row), caption, FALSE, FALSE, 0);
    GtkWidget* entry = gtk_entry_new();
    gtk_label_set_mnemonic_widget(GTK_LABEL(caption), entry);
    set_accessible_name(entry, label);
    gtk_box_pack_start(GTK_BOX(row), entry, TRUE, TRUE, 0);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);
    return entry;
}

gboolean on_search_window_key(GtkWidget* window, GdkEventKey* event, gpointer) {
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    gtk_widget_destroy(window);
    return TRUE;
}

void add_button(GtkWidget* row, const char* label, GCallback handler, GtkWidget* window) {
    GtkWidget* button = gtk_button_new_with_label(label);
    g_signal_connect(button, "clicked", handler, window);
    gtk_box_pack_start(GTK_BOX(row), button, TRUE, TRUE, 0);
}

} // namespace

void search_replace_window_command() {
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), _("Search and Replace window"));
    gtk_window_set_modal(GTK_WINDOW(window), TRUE);
    if (GtkWindow* main = main_window()) gtk_window_set_transient_for(GTK_WINDOW(window), main);
    gtk_window_set_default_size(GTK_WINDOW(window), 500, -1);
    g_signal_connect(window, "key-press-event", G_CALLBACK(on_search_window_key), nullptr);

    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 4);
    gtk_container_set_border_width(GTK_CONTAINER(box), 6);
    gtk_container_add(GTK_CONTAINER(window), box);
    GtkWidget* find = labelled_entry(box, _("Text to find"));
    GtkWidget* replace = labelled_entry(box, _("Replace with"));
    GtkWidget* nocase = gtk_check_button_new_with_label(_("Case insensitive"));
    gtk_box_pack_start(GTK_BOX(box), nocase, FALSE, FALSE, 0);
    g_object_set_data(G_OBJECT(window), "find", find);
    g_object_set_data(G_OBJECT(window), "replace", replace);
    g_object_set_data(G_OBJECT(window), "nocase", nocase);

    GtkWidget* row = gtk_box_new(GTK_ORIENTATION_HORIZONTAL, 4);
    gtk_box_set_homogeneous(GTK_BOX(row), TRUE);
    add_button(row, _("Replace"), G_CALLBACK(on_replace), window);
    add_button(row, _("Jump to top"), G_CALLBACK(on_jump_to_top), window);
    add_button(row, _("Find"), G_CALLBACK(on_find), window);
    add_button(row, _("Find next"), G_CALLBACK(on_find_next), window);
    gtk_box_pack_start(GTK_BOX(box), row, FALSE, FALSE, 0);

    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    if (gtk_clipboard_wait_is_text_available(clipboard)) {
        GCharPtr text(gtk_clipboard_wait_for_text(clipboard));
        if (text) gtk_entry_set_text(GTK_ENTRY(find), text.get());
    }
    gtk_widget_show_all(window);
    gtk_widget_grab_focus(find);
}
