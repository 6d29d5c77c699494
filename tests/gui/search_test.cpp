// Find, find next, the same without case, the `search` marks, replace-all and
// go to line from the command entry, and the search and replace window.
#include <gtest/gtest.h>

#include <chrono>
#include <gdk/gdkkeysyms.h>
#include <string>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/search.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/gobj.h"
#include "shell/ui/command_entry.h"

namespace {

GtkTextBuffer* buffer_of(DocumentPage* page) {
    return GTK_TEXT_BUFFER(page->buffer.get());
}

DocumentPage* page_with(const std::string& text, long cursor = 0) {
    new_document();
    DocumentPage* page = current_document();
    GtkSourceBuffer* buffer = page->buffer.get();
    gtk_source_buffer_begin_not_undoable_action(buffer);
    gtk_text_buffer_set_text(buffer_of(page), text.data(), static_cast<gint>(text.size()));
    gtk_source_buffer_end_not_undoable_action(buffer);
    gtk_text_buffer_set_modified(buffer_of(page), FALSE);
    doc_set_cursor_offset(page, cursor);
    return page;
}

// Cursor and selection bound.
std::pair<long, long> marks(DocumentPage* page) {
    return cursor_and_bound(buffer_of(page));
}

// The ranges carrying tag `name`, as [start, end) character offsets.
std::vector<std::pair<int, int>> tagged(DocumentPage* page, const char* name) {
    GtkTextBuffer* buffer = buffer_of(page);
    GtkTextTag* tag = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), name);
    std::vector<std::pair<int, int>> out;
    GtkTextIter it;
    gtk_text_buffer_get_start_iter(buffer, &it);
    if (!gtk_text_iter_starts_tag(&it, tag) && !gtk_text_iter_forward_to_tag_toggle(&it, tag))
        return out;
    do {
        if (!gtk_text_iter_starts_tag(&it, tag)) continue;
        GtkTextIter end = it;
        gtk_text_iter_forward_to_tag_toggle(&end, tag);
        out.emplace_back(gtk_text_iter_get_offset(&it), gtk_text_iter_get_offset(&end));
    } while (gtk_text_iter_forward_to_tag_toggle(&it, tag));
    return out;
}

void set_entry(const char* text) {
    gtk_entry_set_text(GTK_ENTRY(command_entry()), text);
}
std::string entry_text() {
    return gtk_entry_get_text(GTK_ENTRY(command_entry()));
}

std::vector<std::string> completions() {
    GtkEntryCompletion* completion = gtk_entry_get_completion(GTK_ENTRY(command_entry()));
    GtkTreeModel* model = gtk_entry_completion_get_model(completion);
    std::vector<std::string> out;
    GtkTreeIter iter;
    for (bool ok = gtk_tree_model_get_iter_first(model, &iter); ok;
         ok = gtk_tree_model_iter_next(model, &iter)) {
        gchar* text = nullptr;
        gtk_tree_model_get(model, &iter, 0, &text, -1);
        GCharPtr owned(text);
        out.emplace_back(text ? text : "");
    }
    return out;
}

std::string text_of(DocumentPage* page) {
    return doc_get_text(buffer_of(page));
}

const char* const kFind = "Rechercher (le texte en zone de commande)";
const char* const kFindNocase = "Rechercher avec case insensitive (le texte en zone de commande)";
const char* const kNext = "Rechercher suivant (le texte en zone de commande)";
const char* const kNextNocase =
    "Rechercher suivant avec case insensitive (le texte en zone de commande)";
const char* const kReplaceAll =
    "Tout remplacer (Ligne de commande TEXTE_RECHERCHE~TEXTE_REMPLACEMENT)";
const char* const kHint = "La documentation est disponible dans le menu";

// The scratch pages of these tests close without the unsaved-text question.
class SearchTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "prompt_on_not_saved=0\n"); }
};

TEST_F(SearchTest, FindSelectsTheFirstOccurrenceMarksAllAndFindNextMovesOn) {
    DocumentPage* page = page_with("a foo b foo c foo", 16);
    set_entry("foo");
    ASSERT_TRUE(activate_menu_item(kFind));
    // The first occurrence although the cursor was further down; cursor at its end.
    EXPECT_EQ(marks(page), (std::pair<long, long>{5, 2}));
    EXPECT_EQ(tagged(page, "search"),
              (std::vector<std::pair<int, int>>{{2, 5}, {8, 11}, {14, 17}}));
    EXPECT_EQ(page->last_search, "foo");
    EXPECT_EQ(completions().back(), "foo");
    EXPECT_TRUE(gtk_widget_is_focus(page->view));

    ASSERT_TRUE(activate_menu_item(kNext));
    EXPECT_EQ(marks(page), (std::pair<long, long>{11, 8}));
    ASSERT_TRUE(activate_menu_item(kNext));
    EXPECT_EQ(marks(page), (std::pair<long, long>{17, 14}));
    // No wrap-around: at the last one nothing moves.
    EXPECT_FALSE(doc_search_next(page));
    EXPECT_EQ(marks(page), (std::pair<long, long>{17, 14}));
}

TEST_F(SearchTest, AnotherSearchReplacesTheMarksAndAMissDoesNotMove) {
    DocumentPage* page = page_with("foo bar foo bar", 3);
    EXPECT_TRUE(doc_search(page, "foo"));
    EXPECT_TRUE(doc_search(page, "bar"));
    EXPECT_EQ(tagged(page, "search"), (std::vector<std::pair<int, int>>{{4, 7}, {12, 15}}));
    doc_set_cursor_offset(page, 2);
    EXPECT_FALSE(doc_search(page, "zzz"));
    EXPECT_EQ(marks(page), (std::pair<long, long>{2, 2}));
    EXPECT_TRUE(tagged(page, "search").empty());
    EXPECT_EQ(page->last_search, "bar");
    EXPECT_FALSE(doc_search(page, ""));
    // Without any document the commands do nothing.
    close_current_document();
    set_entry("foo");
    EXPECT_TRUE(activate_menu_item(kFind));
    EXPECT_TRUE(activate_menu_item(kReplaceAll));
}

TEST_F(SearchTest, ReturnInTheCommandEntryFindsAndFocusesTheText) {
    DocumentPage* page = page_with("one two two", 0);
    set_entry("two");
    gtk_widget_grab_focus(command_entry());
    type_key(command_entry(), GDK_KEY_Return);
    EXPECT_EQ(marks(page), (std::pair<long, long>{7, 4}));
    EXPECT_TRUE(gtk_widget_is_focus(page->view));
}

TEST_F(SearchTest, FindWithoutCaseSkipsTheOccurrenceAtTheCursorAndMapsUnicodeOffsets) {
    DocumentPage* page = page_with("Foo x FOO y foo", 0);
    set_entry("fOO");
    ASSERT_TRUE(activate_menu_item(kFindNocase));
    // Selected with the cursor at its start; the text as typed is remembered.
    EXPECT_EQ(marks(page), (std::pair<long, long>{6, 9}));
    EXPECT_EQ(page->last_search, "fOO");
    EXPECT_TRUE(tagged(page, "search").empty());
    ASSERT_TRUE(activate_menu_item(kNextNocase));
    EXPECT_EQ(marks(page), (std::pair<long, long>{12, 15}));
    EXPECT_FALSE(doc_search_next_nocase(page));
    EXPECT_EQ(marks(page), (std::pair<long, long>{12, 15}));

    // Each U+0130 lowers to two characters; the selection must still be the word.
    page = page_with("\u0130\u0130\u0130 Straße \u212Aelvin", 0);
    EXPECT_TRUE(doc_search_nocase(page, "STRAẞE"));
    EXPECT_EQ(marks(page), (std::pair<long, long>{4, 10}));
    EXPECT_EQ(doc_get_selection(page), "Straße");
    EXPECT_TRUE(doc_search_nocase(page, "KELVIN"));
    EXPECT_EQ(doc_get_selection(page), "\u212Aelvin");
}

TEST_F(SearchTest, ReplaceAllFromTheCommandEntryIsOneUndoStep) {
    DocumentPage* page = page_with("foo bar foo\nfoofoo", 0);
    set_entry("foo~");
    ASSERT_TRUE(activate_menu_item(kReplaceAll));
    EXPECT_EQ(text_of(page), " bar \n");
    EXPECT_EQ(completions().back(), "foo~");
    EXPECT_EQ(command_history().front(), "foo~");
    GtkSourceBuffer* buffer = page->buffer.get();
    ASSERT_TRUE(gtk_source_buffer_can_undo(buffer));
    gtk_source_buffer_undo(buffer);
    EXPECT_EQ(text_of(page), "foo bar foo\nfoofoo");
    EXPECT_FALSE(gtk_source_buffer_can_undo(buffer));

    set_entry("foo~bar~baz");
    ASSERT_TRUE(activate_menu_item(kReplaceAll));
    EXPECT_EQ(text_of(page), "bar bar bar\nbarbar");

    // No tilde: nothing changes, nothing to undo beyond the last replace.
    set_entry("bar");
    ASSERT_TRUE(activate_menu_item(kReplaceAll));
    EXPECT_EQ(text_of(page), "bar bar bar\nbarbar");
}

TEST_F(SearchTest, ReplaceAllRewritesOnlyFromTheFirstToTheLastOccurrence) {
    // Accented letters before the stretch: offsets are characters, not bytes.
    DocumentPage* page = page_with("éé head\nfoo x foo\ntail here", 0);
    GtkTextBuffer* buffer = buffer_of(page);
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_offset(buffer, &at, 3); // "head"
    GtkTextMark* before = gtk_text_buffer_create_mark(buffer, nullptr, &at, TRUE);
    gtk_text_buffer_get_iter_at_offset(buffer, &at, 18); // "tail"
    GtkTextMark* after = gtk_text_buffer_create_mark(buffer, nullptr, &at, TRUE);
    doc_set_cursor_offset(page, 23); // "here"

    EXPECT_EQ(doc_replace_all(page, "foo", "barbaz"), 2u);
    EXPECT_EQ(text_of(page), "éé head\nbarbaz x barbaz\ntail here");
    auto offset_of = [&](GtkTextMark* mark) {
        gtk_text_buffer_get_iter_at_mark(buffer, &at, mark);
        return gtk_text_iter_get_offset(&at);
    };
    EXPECT_EQ(offset_of(before), 3);
    EXPECT_EQ(offset_of(after), 24) << "a mark after the stretch moves with its text";
    EXPECT_EQ(marks(page).first, 29) << "so does the cursor";

    // A cursor inside the stretch keeps its offset.
    doc_set_cursor_offset(page, 12);
    EXPECT_EQ(doc_replace_all(page, "barbaz", "q"), 2u);
    EXPECT_EQ(text_of(page), "éé head\nq x q\ntail here");
    EXPECT_EQ(marks(page).first, 12);
    gtk_source_buffer_undo(page->buffer.get());
    EXPECT_EQ(text_of(page), "éé head\nbarbaz x barbaz\ntail here");
}

TEST_F(SearchTest, ReplaceAllWithAnEmptyTextToFindChangesNothingAndSaysSo) {
    DocumentPage* page = page_with("abc", 0);
    set_entry("~x");
    ASSERT_TRUE(activate_menu_item(kReplaceAll));
    EXPECT_EQ(text_of(page), "abc");
    EXPECT_FALSE(gtk_text_buffer_get_modified(buffer_of(page)));
    EXPECT_NE(log_text().find("le texte à trouver est vide"), std::string::npos);

    // An empty entry receives the example and the log points at the manual.
    set_entry("");
    ASSERT_TRUE(activate_menu_item(kReplaceAll));
    EXPECT_EQ(entry_text(), "Texte pour trouver le texte à remplacer");
    EXPECT_NE(log_text().find(kHint), std::string::npos);
    EXPECT_EQ(text_of(page), "abc");
    // A text to find that is absent leaves the page unmodified.
    set_entry("zz~y");
    ASSERT_TRUE(activate_menu_item(kReplaceAll));
    EXPECT_FALSE(gtk_text_buffer_get_modified(buffer_of(page)));
}

TEST_F(SearchTest, GoToLineTakesTheLeadingNumber) {
    std::string text;
    for (int i = 1; i <= 20; ++i)
        text += "line " + std::to_string(i) + "\n";
    DocumentPage* page = page_with(text, 0);
    set_entry("12abc");
    ASSERT_TRUE(activate_menu_item("Aller à la ligne"));
    EXPECT_EQ(doc_get_selection(page), "line 12");
    EXPECT_EQ(completions().back(), "12abc");
    set_entry("");
    ASSERT_TRUE(activate_menu_item("Aller à la ligne"));
    EXPECT_EQ(entry_text(), "0");
    EXPECT_NE(log_text().find(kHint), std::string::npos);
}

GtkWidget* search_window() {
    GtkWidget* found = nullptr;
    GList* toplevels = gtk_window_list_toplevels();
    for (GList* l = toplevels; l; l = l->next) {
        const char* title = gtk_window_get_title(GTK_WINDOW(l->data));
        if (title && std::string(title) == "Search and Replace window") found = GTK_WIDGET(l->data);
    }
    g_list_free(toplevels);
    return found;
}

GtkWidget* button(GtkWidget* root, const char* label) {
    return find_widget(root, [label](GtkWidget* w) {
        return GTK_IS_BUTTON(w) && !GTK_IS_CHECK_BUTTON(w) && gtk_button_get_label(GTK_BUTTON(w)) &&
               std::string(gtk_button_get_label(GTK_BUTTON(w))) == label;
    });
}

std::vector<GtkWidget*> entries(GtkWidget* root) {
    std::vector<GtkWidget*> out;
    find_widget(root, [&out](GtkWidget* w) {
        if (GTK_IS_ENTRY(w)) out.push_back(w);
        return false;
    });
    return out;
}

TEST_F(SearchTest, SearchAndReplaceWindow) {
    gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "Bar", -1);
    DocumentPage* page = page_with("Bar bar BAR bar", 0);
    ASSERT_TRUE(activate_menu_item("Rechercher et remplacer fenêtre"));
    GtkWidget* window = search_window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(window)));
    auto fields = entries(window);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(fields[0]))), "Bar");
    EXPECT_TRUE(gtk_widget_is_focus(fields[0]));

    gtk_entry_set_text(GTK_ENTRY(fields[0]), "bar");
    gtk_button_clicked(GTK_BUTTON(button(window, "Find")));
    EXPECT_EQ(marks(page), (std::pair<long, long>{7, 4}));
    gtk_button_clicked(GTK_BUTTON(button(window, "Find next")));
    EXPECT_EQ(marks(page), (std::pair<long, long>{15, 12}));

    gtk_entry_set_text(GTK_ENTRY(fields[1]), "X");
    gtk_button_clicked(GTK_BUTTON(button(window, "Replace")));
    EXPECT_EQ(text_of(page), "Bar bar BAR X");

    gtk_button_clicked(GTK_BUTTON(button(window, "Jump to top")));
    EXPECT_EQ(marks(page), (std::pair<long, long>{0, 0}));
    GtkWidget* nocase = find_widget(window, [](GtkWidget* w) { return GTK_IS_CHECK_BUTTON(w); });
    ASSERT_NE(nocase, nullptr);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(nocase), TRUE);
    gtk_button_clicked(GTK_BUTTON(button(window, "Find")));
    EXPECT_EQ(marks(page), (std::pair<long, long>{4, 7}));
    gtk_button_clicked(GTK_BUTTON(button(window, "Find next")));
    EXPECT_EQ(marks(page), (std::pair<long, long>{8, 11}));
    // Replace without a selection does nothing.
    doc_set_cursor_offset(page, 0);
    gtk_button_clicked(GTK_BUTTON(button(window, "Replace")));
    EXPECT_EQ(text_of(page), "Bar bar BAR X");

    gtk_window_close(GTK_WINDOW(window));
    EXPECT_TRUE(spin_until([] { return search_window() == nullptr; }));
}

// Many occurrences: those on screen are marked before the key release
// returns, the rest from idle time; a newer text replaces the pending marking,
// and an edit meanwhile has the rest found again in the edited text.
TEST_F(SearchTest, ManyOccurrencesAreMarkedOnScreenFirstAndTheRestLater) {
    std::string lines;
    for (int i = 0; i < 900; ++i) lines += "alpha beta gamma\n";
    DocumentPage* page = page_with(lines, 0);
    GtkTextBuffer* buffer = buffer_of(page);
    // The view lays its lines out first: then the last line is far below.
    ASSERT_TRUE(spin_until([&] {
        GdkRectangle rect;
        gtk_text_view_get_visible_rect(GTK_TEXT_VIEW(page->view), &rect);
        GtkTextIter below;
        gtk_text_view_get_line_at_y(GTK_TEXT_VIEW(page->view), &below, rect.y + 3 * rect.height,
                                    nullptr);
        return rect.height > 0 && gtk_text_iter_get_line(&below) < 800;
    }));
    GtkTextTag* tag = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), "search");

    doc_mark_occurrences(buffer, "search", "beta", page->view);
    ASSERT_TRUE(doc_marking_pending(buffer, "search"));
    GtkTextIter first, last;
    gtk_text_buffer_get_iter_at_line_offset(buffer, &first, 0, 6);
    gtk_text_buffer_get_iter_at_line_offset(buffer, &last, 899, 6);
    EXPECT_TRUE(gtk_text_iter_has_tag(&first, tag)) << "the first line is on screen";
    EXPECT_FALSE(gtk_text_iter_has_tag(&last, tag)) << "the last line waits for idle time";
    ASSERT_TRUE(spin_until([&] { return !doc_marking_pending(buffer, "search"); }));
    EXPECT_EQ(tagged(page, "search").size(), 900u);

    // A newer marking: nothing of the older text shows up afterwards.
    doc_mark_occurrences(buffer, "search", "gamma", page->view);
    doc_mark_occurrences(buffer, "search", "alpha", page->view);
    ASSERT_TRUE(spin_until([&] { return !doc_marking_pending(buffer, "search"); }));
    auto marked = tagged(page, "search");
    ASSERT_EQ(marked.size(), 900u);
    for (const auto& [start, end] : marked) EXPECT_EQ(end - start, 5);
    EXPECT_EQ(marked.front(), (std::pair<int, int>{0, 5}));

    // Lines inserted at the top while marking is pending: the occurrences
    // further down are found again where they now are.
    doc_mark_occurrences(buffer, "search", "gamma", page->view);
    ASSERT_TRUE(doc_marking_pending(buffer, "search"));
    GtkTextIter top;
    gtk_text_buffer_get_start_iter(buffer, &top);
    gtk_text_buffer_insert(buffer, &top, "zz\nzz\n", -1);
    ASSERT_TRUE(spin_until([&] { return !doc_marking_pending(buffer, "search"); }));
    marked = tagged(page, "search");
    ASSERT_EQ(marked.size(), 900u);
    const std::string text = text_of(page);
    for (const auto& [start, end] : marked) EXPECT_EQ(text.substr(start, end - start), "gamma");

    // Closing the page while marking is pending leaves nothing behind to run.
    doc_mark_occurrences(buffer, "search", "beta", page->view);
    ASSERT_TRUE(doc_marking_pending(buffer, "search"));
    gtk_text_buffer_set_modified(buffer, FALSE);
    ASSERT_TRUE(activate_menu_item("Fermer le fichier encours"));
    spin_for(200);
    EXPECT_EQ(logged_problems(), 0);
}

double seconds_since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The command entry's marking per key release on a 999-line document (the
// most that is marked), and how long until the occurrences off screen are
// marked too.
TEST_F(SearchTest, TimingOfKeyReleaseMarking) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "timings mean nothing under AddressSanitizer";
#endif
    std::string lines;
    for (int i = 0; i < 998; ++i)
        lines += "some text with a word and another word " + std::to_string(i) + "\n";
    lines += "last";
    DocumentPage* page = page_with(lines, 0);
    gtk_widget_grab_focus(command_entry());
    // The view lays its lines out from idle time first, as after opening a file.
    spin_for(1000);
    // Each key changes what is marked: "wor" and "word" in turn.
    const int keys = 50;
    double waited = 0, complete = 0;
    for (int i = 0; i < keys; ++i) {
        set_entry(i % 2 ? "word" : "wor");
        const auto start = std::chrono::steady_clock::now();
        release_key(command_entry(), GDK_KEY_d);
        waited += seconds_since(start);
        ASSERT_TRUE(spin_until(
            [&] { return !doc_marking_pending(GTK_TEXT_BUFFER(page->buffer.get()), "search"); }));
        complete += seconds_since(start);
        ASSERT_EQ(tagged(page, "search").size(), 998u * 2);
    }
    std::printf("command entry marking, 999 lines, 1996 occurrences: %.2f ms per key release "
                "(frame: 16 ms), all marked after %.2f ms\n",
                waited / keys * 1e3, complete / keys * 1e3);
}

} // namespace
