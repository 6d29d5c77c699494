// The "Editer" commands on the desktop clipboard, undo and redo, and the editing
// primitives on a real buffer and view.
#include <gtest/gtest.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "shell/gobj.h"
#include "shell/ui/window_parts.h"

static void PrintTo(const TextSpan& s, std::ostream* os) {
    *os << "{" << s.start << ", " << s.end << ", \"" << s.text << "\"}";
}

namespace {

GtkTextBuffer* buffer_of(DocumentPage* page) {
    return GTK_TEXT_BUFFER(page->buffer.get());
}

std::string text_of(DocumentPage* page) {
    return doc_get_text(buffer_of(page));
}

// A new page holding `text` with nothing to undo, the cursor at `cursor`.
DocumentPage* page_with(const char* text, long cursor = 0) {
    new_document();
    DocumentPage* page = current_document();
    GtkSourceBuffer* buffer = page->buffer.get();
    gtk_source_buffer_begin_not_undoable_action(buffer);
    gtk_text_buffer_set_text(buffer_of(page), text, -1);
    gtk_source_buffer_end_not_undoable_action(buffer);
    doc_set_cursor_offset(page, cursor);
    return page;
}

void select(DocumentPage* page, long start, long end) {
    select_offsets(buffer_of(page), start, end);
}

std::pair<long, long> marks(DocumentPage* page) {
    return cursor_and_bound(buffer_of(page));
}

GtkClipboard* clipboard() {
    return gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
}

void set_clipboard(const char* text) {
    gtk_clipboard_set_text(clipboard(), text, -1);
}

std::string clipboard_text() {
    GCharPtr text(gtk_clipboard_wait_for_text(clipboard()));
    return text ? text.get() : "<none>";
}

std::string primary_text() {
    GCharPtr text(gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_PRIMARY)));
    return text ? text.get() : "<none>";
}

int undo_steps(DocumentPage* page) {
    GtkSourceBuffer* buffer = page->buffer.get();
    int steps = 0;
    while (gtk_source_buffer_can_undo(buffer)) {
        gtk_source_buffer_undo(buffer);
        ++steps;
    }
    while (gtk_source_buffer_can_redo(buffer))
        gtk_source_buffer_redo(buffer);
    return steps;
}

TEST_F(GuiTest, CopyPutsTheSelectionOnTheDesktopClipboardOnly) {
    DocumentPage* page = page_with("alpha beta gamma");
    set_clipboard("before");
    ASSERT_TRUE(activate_menu_item("Copier"));
    EXPECT_EQ(clipboard_text(), "before") << "nothing selected: the clipboard stays";
    select(page, 6, 10);
    ASSERT_TRUE(activate_menu_item("Copier"));
    EXPECT_EQ(clipboard_text(), "beta");
    EXPECT_EQ(text_of(page), "alpha beta gamma");
    EXPECT_EQ(undo_steps(page), 0);

    select(page, 0, 5);
    ASSERT_TRUE(activate_menu_item("Copier tous le contenu du fichier"));
    EXPECT_EQ(clipboard_text(), "alpha beta gamma");
    EXPECT_NE(primary_text(), "alpha beta gamma");
}

TEST_F(GuiTest, CutRemovesTheSelectionAsOneUndoStep) {
    DocumentPage* page = page_with("alpha beta gamma");
    select(page, 5, 10);
    ASSERT_TRUE(activate_menu_item("Couper"));
    EXPECT_EQ(clipboard_text(), " beta");
    EXPECT_EQ(text_of(page), "alpha gamma");
    EXPECT_EQ(undo_steps(page), 1);

    set_clipboard("kept");
    ASSERT_TRUE(activate_menu_item("Couper"));
    EXPECT_EQ(clipboard_text(), "kept");
    EXPECT_EQ(text_of(page), "alpha gamma");
}

TEST_F(GuiTest, PasteInsertsAtTheCursorAsOneUndoStep) {
    DocumentPage* page = page_with("ab", 1);
    set_clipboard("XYZ");
    ASSERT_TRUE(activate_menu_item("Coller"));
    EXPECT_EQ(text_of(page), "aXYZb");
    EXPECT_EQ(marks(page), (std::pair<long, long>{4, 4}));
    EXPECT_EQ(undo_steps(page), 1);
}

TEST_F(GuiTest, ExchangeSwapsTheSelectionAndTheClipboard) {
    DocumentPage* page = page_with("one two three");
    set_clipboard("2");
    ASSERT_TRUE(activate_menu_item("Echanger avec le presse papier"));
    EXPECT_EQ(text_of(page), "one two three") << "nothing selected";
    EXPECT_EQ(clipboard_text(), "2");

    select(page, 4, 7);
    ASSERT_TRUE(activate_menu_item("Echanger avec le presse papier"));
    EXPECT_EQ(text_of(page), "one 2 three");
    EXPECT_EQ(clipboard_text(), "two");
    EXPECT_EQ(undo_steps(page), 1);
}

TEST_F(GuiTest, DeleteReplacesTheSelectionByNothing) {
    DocumentPage* page = page_with("one two three");
    ASSERT_TRUE(activate_menu_item("Supprimer"));
    EXPECT_EQ(text_of(page), "one two three");
    EXPECT_EQ(undo_steps(page), 0);
    select(page, 3, 7);
    ASSERT_TRUE(activate_menu_item("Supprimer"));
    EXPECT_EQ(text_of(page), "one three");
    EXPECT_EQ(undo_steps(page), 1);
}

TEST_F(GuiTest, CutAndCopyToANewDocumentOpenAFreshTab) {
    DocumentPage* page = page_with("keep cut keep");
    ASSERT_TRUE(activate_menu_item("Couper et nouveau fichier"));
    EXPECT_EQ(document_count(), 1) << "nothing selected, no new tab";

    select(page, 5, 9);
    ASSERT_TRUE(activate_menu_item("Couper et nouveau fichier"));
    EXPECT_EQ(text_of(page), "keep keep");
    ASSERT_EQ(document_count(), 2);
    DocumentPage* fresh = current_document();
    EXPECT_EQ(fresh->path, "noname_2");
    EXPECT_EQ(text_of(fresh), "cut ");
    EXPECT_EQ(gtk_window_get_title(main_window()), std::string("noname_2"));
    EXPECT_TRUE(gtk_widget_is_focus(fresh->view));

    select(fresh, 0, 3);
    ASSERT_TRUE(activate_menu_item("Copier et nouveau fichier"));
    ASSERT_EQ(document_count(), 3);
    EXPECT_EQ(text_of(fresh), "cut ");
    EXPECT_EQ(text_of(current_document()), "cut");
    EXPECT_EQ(current_document()->path, "noname_3");
}

TEST_F(GuiTest, PasteToANewDocumentNeedsNoCurrentDocument) {
    ASSERT_EQ(current_document(), nullptr);
    set_clipboard("from elsewhere");
    ASSERT_TRUE(activate_menu_item("Coller et nouveau fichier"));
    ASSERT_NE(current_document(), nullptr);
    EXPECT_EQ(text_of(current_document()), "from elsewhere");
    EXPECT_TRUE(gtk_widget_get_visible(editor_notebook()));
    EXPECT_EQ(gtk_window_get_title(main_window()), std::string("noname_1"));
}

TEST_F(GuiTest, SelectAllPutsTheCursorAtTheStartAndTheBoundAtTheEnd) {
    DocumentPage* page = page_with("abc\ndéf", 2);
    ASSERT_TRUE(activate_menu_item("Tout séléctionner"));
    EXPECT_EQ(marks(page), (std::pair<long, long>{0, 7}));
    EXPECT_EQ(doc_get_selection(page), "abc\ndéf");
}

TEST_F(GuiTest, UndoAndRedoFollowTheUserActions) {
    DocumentPage* page = page_with("");
    doc_insert_at_cursor(page, "first ");
    doc_insert_at_cursor(page, "second");
    ASSERT_TRUE(activate_menu_item("Annuler action"));
    EXPECT_EQ(text_of(page), "first ");
    ASSERT_TRUE(activate_menu_item("Annuler action"));
    EXPECT_EQ(text_of(page), "");
    ASSERT_TRUE(activate_menu_item("Annuler action"));
    EXPECT_EQ(text_of(page), "");
    ASSERT_TRUE(activate_menu_item("Refaire action"));
    EXPECT_EQ(text_of(page), "first ");
    ASSERT_TRUE(activate_menu_item("Refaire action"));
    ASSERT_TRUE(activate_menu_item("Refaire action"));
    EXPECT_EQ(text_of(page), "first second");
}

TEST_F(GuiTest, EditCommandsWithoutADocumentDoNothing) {
    set_clipboard("clip");
    for (const char* label :
         {"Copier", "Copier tous le contenu du fichier", "Couper", "Coller",
          "Echanger avec le presse papier", "Supprimer", "Couper et nouveau fichier",
          "Copier et nouveau fichier", "Tout séléctionner", "Annuler action", "Refaire action"})
        ASSERT_TRUE(activate_menu_item(label)) << label;
    EXPECT_EQ(document_count(), 0);
    EXPECT_EQ(clipboard_text(), "clip");
}

TEST_F(GuiTest, ReplacingWithoutASelectionAddsNoUndoStep) {
    DocumentPage* page = page_with("text", 2);
    doc_replace_selection(page, "X");
    EXPECT_EQ(text_of(page), "text");
    EXPECT_FALSE(gtk_source_buffer_can_undo(page->buffer.get()));

    select(page, 1, 3);
    doc_replace_selection(page, "EX");
    EXPECT_EQ(text_of(page), "tEXt");
    EXPECT_EQ(undo_steps(page), 1);

    doc_replace_range(page, 0, 4, "new");
    EXPECT_EQ(text_of(page), "new");
    EXPECT_EQ(undo_steps(page), 2);
}

TEST_F(GuiTest, GotoLineSelectsTheLineWithoutItsEnd) {
    DocumentPage* page = page_with("first\nsecond\nlast");
    doc_goto_line(page, 2);
    EXPECT_EQ(marks(page), (std::pair<long, long>{6, 12}));
    EXPECT_EQ(doc_get_selection(page), "second");
    doc_set_cursor_offset(page, 1);
    doc_goto_line(page, 3);
    EXPECT_EQ(marks(page), (std::pair<long, long>{1, 1})) << "last line without newline";
    doc_goto_line(page, 9);
    EXPECT_EQ(marks(page), (std::pair<long, long>{1, 1}));
}

TEST_F(GuiTest, WordsAroundAndBeforeTheCursor) {
    DocumentPage* page = page_with("x = foo.bar_baz(y)\nnext", 6);
    TextSpan around = doc_word_around_cursor(page);
    EXPECT_EQ(around, (TextSpan{4, 15, "foo.bar_baz"}));
    TextSpan before = doc_word_before_cursor(page);
    EXPECT_EQ(before, (TextSpan{4, 6, "fo"}));
    doc_set_cursor_offset(page, 16);
    EXPECT_EQ(doc_word_before_cursor(page), (TextSpan{16, 16, ""}));
    doc_set_cursor_offset(page, 21);
    EXPECT_EQ(doc_word_around_cursor(page), (TextSpan{19, 23, "next"}));
    EXPECT_EQ(doc_get_cursor_offset(page), 21);
}

TEST_F(GuiTest, CursorMovesForBracketsQuotesAndTags) {
    DocumentPage* page = page_with("");
    doc_insert_at_cursor(page, "()");
    doc_cursor_back(page, 1);
    EXPECT_EQ(marks(page), (std::pair<long, long>{1, 1}));
    doc_cursor_back(page, 5);
    EXPECT_EQ(marks(page), (std::pair<long, long>{1, 1}));

    doc_set_cursor_offset(page, 2);
    doc_insert_at_cursor(page, " a=\"\"");
    doc_cursor_to_previous_quote(page);
    EXPECT_EQ(marks(page), (std::pair<long, long>{6, 6}));

    doc_set_cursor_offset(page, 7);
    doc_insert_at_cursor(page, "<b></b>");
    doc_cursor_after_previous_tag(page);
    EXPECT_EQ(marks(page), (std::pair<long, long>{10, 10}));
    EXPECT_EQ(text_of(page), "() a=\"\"<b></b>");

    DocumentPage* plain = page_with("no quotes here", 5);
    doc_cursor_to_previous_quote(plain);
    doc_cursor_after_previous_tag(plain);
    EXPECT_EQ(marks(plain), (std::pair<long, long>{5, 5}));
}

TEST_F(GuiTest, TitleCaseOfTheSelection) {
    DocumentPage* page = page_with("hello big world");
    EXPECT_EQ(doc_selection_title_case(page), std::nullopt);
    select(page, 0, 9);
    EXPECT_EQ(doc_selection_title_case(page), "Hello Big");
    EXPECT_EQ(text_of(page), "hello big world");
}

TEST_F(GuiTest, PathAtCursorResolvesAgainstThePageFolderOrJumpsToTheAnchor) {
    DocumentPage* page = page_with("<img src=\"/img/a.png\"> <a href=\"#end\">x</a>\n"
                                   "text\n<a name=\"end\">here</a>",
                                   14);
    page->path = "/srv/site/index.html";
    EXPECT_EQ(doc_path_at_cursor(page), "/srv/site/img/a.png");

    doc_set_cursor_offset(page, 35);
    EXPECT_EQ(doc_path_at_cursor(page), std::nullopt);
    EXPECT_EQ(marks(page), (std::pair<long, long>{49, 49}));

    // A picture in the text counts as one position, as in the buffer.
    DocumentPage* pictured = page_with("\"#top\" x <a name=\"top\">", 2);
    GObjectPtr<GdkPixbuf> picture(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 2, 2));
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_offset(buffer_of(pictured), &at, 7);
    gtk_text_buffer_insert_pixbuf(buffer_of(pictured), &at, picture.get());
    doc_set_cursor_offset(pictured, 2);
    EXPECT_EQ(doc_path_at_cursor(pictured), std::nullopt);
    EXPECT_EQ(marks(pictured), (std::pair<long, long>{10, 10}));
    EXPECT_EQ(doc_get_text(buffer_of(pictured)), "\"#top\" x <a name=\"top\">");
}

TEST_F(GuiTest, InsertAtCursorIsOneUndoStepAndMovesTheCursor) {
    DocumentPage* page = page_with("ac", 1);
    doc_insert_at_cursor(page, "bbb");
    EXPECT_EQ(text_of(page), "abbbc");
    EXPECT_EQ(doc_get_cursor_offset(page), 4);
    EXPECT_EQ(undo_steps(page), 1);
    doc_insert_at_cursor(nullptr, "ignored");
    EXPECT_EQ(doc_get_selection(nullptr), std::nullopt);
    EXPECT_EQ(doc_get_cursor_offset(nullptr), 0);
}

} // namespace
