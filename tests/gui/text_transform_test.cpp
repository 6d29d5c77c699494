// The text commands of the Fonctions menu on a real buffer, through the menu
// items: what they replace, the undo step they make, the selection they leave.
#include <gtest/gtest.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "shell/ui/command_entry.h"
#include "tools/text_transform_menu.h"
#include "tools/ui/text_transform_ui.h"

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

std::pair<long, long> marks(DocumentPage* page) {
    return cursor_and_bound(buffer_of(page));
}

// Undoes everything, counting the steps, then redoes it all.
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

void set_entry(const char* text) {
    gtk_entry_set_text(GTK_ENTRY(command_entry()), text);
}

bool run(const char* submenu, const char* label) {
    return activate_menu_item_path({"Fonctions", submenu, label});
}

TEST_F(GuiTest, EveryTextCommandIsInItsSubmenuWithTheTextHandler) {
    for (const auto& row : text_transforms()) {
        GtkWidget* item = find_menu_item_path({"Fonctions", row.submenu, row.label});
        ASSERT_NE(item, nullptr) << row.submenu << " > " << row.label;
        EXPECT_NE(g_signal_handler_find(item, G_SIGNAL_MATCH_FUNC, 0, 0, nullptr,
                                        reinterpret_cast<gpointer>(on_text_transform_item),
                                        nullptr),
                  0u)
            << row.label;
    }
}

// One command of each family on a selection [from, to): the result replaces it
// as one undo step and stays selected; that one undo gives the text back.
TEST_F(GuiTest, EachFamilyRewritesTheSelectionAsOneUndoStepAndSelectsTheResult) {
    struct Case {
        const char* submenu;
        const char* label;
        const char* entry;
        const char* text;
        long from, to;
        const char* expected;
        long result_end;
    };
    const Case cases[] = {
        {"Caractères", "Majuscule", "", "x aé😀 y", 2, 5, "x AÉ😀 y", 5},
        {"Nombres", "Arabe à Roman", "", "<1994>", 1, 5, "<MCMXCIV>", 8},
        {"Format", "Envelopper première à la position", "3", "abcdéfg", 0, 7, "abc\ndéf\ng", 9},
        {"Trier", "Trier les lignes", "", "b\nc\na\n.", 0, 6, "a\nb\nc\n.", 6},
        {"Chaîne", "Numeroter les lignes", "%d.)%s~5~10", "# x\na\nb", 0, 7, "# x\n55.)a\n60.)b",
         15},
        {"Filtrer", "Tuez toutes les lignes < N caractères", "2", "a\nbb\nccc", 0, 8, "bb\nccc", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        DocumentPage* page = page_with(c.text);
        set_entry(c.entry);
        select_offsets(buffer_of(page), c.from, c.to);
        ASSERT_TRUE(run(c.submenu, c.label));
        EXPECT_EQ(text_of(page), c.expected);
        EXPECT_EQ(marks(page), (std::pair<long, long>{c.from, c.result_end}));
        ASSERT_TRUE(gtk_source_buffer_can_undo(page->buffer.get()));
        gtk_source_buffer_undo(page->buffer.get());
        EXPECT_EQ(text_of(page), c.text);
        EXPECT_FALSE(gtk_source_buffer_can_undo(page->buffer.get())) << "more than one step";
    }
}

TEST_F(GuiTest, TextCommandsChainOnTheSelectedResult) {
    DocumentPage* page = page_with("b\na\nb\n-");
    select_offsets(buffer_of(page), 0, 6);
    ASSERT_TRUE(run("Chaîne", "Tuez les doublons"));
    ASSERT_TRUE(run("Trier", "Trier les lignes"));
    ASSERT_TRUE(run("Caractères", "Majuscule"));
    EXPECT_EQ(text_of(page), "A\nB\n-");
    EXPECT_EQ(marks(page), (std::pair<long, long>{0, 4}));
    EXPECT_EQ(undo_steps(page), 3);
}

// Whole-text conversions edit in place as one undo step each; the cursor and
// the selection bound stay on their characters (the bound at a line end stays
// before the CR that comes in), and a conversion with nothing to do adds no step.
TEST_F(GuiTest, LineEndAndTabConversionsKeepTheMarksAndUndoAtOnce) {
    DocumentPage* page = page_with("a\nb\tc\r\nd\n");
    select_offsets(buffer_of(page), 4, 1); // the cursor before "c", the bound after "a"
    ASSERT_TRUE(run("Fin de ligne", "LF to CR/LF"));
    EXPECT_EQ(text_of(page), "a\r\nb\tc\r\nd\r\n");
    EXPECT_EQ(marks(page), (std::pair<long, long>{5, 1}));
    ASSERT_TRUE(run("Fin de ligne", "LF to CR/LF"));
    set_entry("2");
    ASSERT_TRUE(run("Chaîne", "Convertir des tabulations en espaces"));
    EXPECT_EQ(text_of(page), "a\r\nb  c\r\nd\r\n");
    EXPECT_EQ(marks(page), (std::pair<long, long>{6, 1}));
    EXPECT_EQ(undo_steps(page), 2);
    gtk_source_buffer_undo(page->buffer.get());
    gtk_source_buffer_undo(page->buffer.get());
    EXPECT_EQ(text_of(page), "a\nb\tc\r\nd\n");
}

// Without the text a command needs, or when it cannot make its result, the
// document, its selection and its undo history stay as they were.
TEST_F(GuiTest, TextCommandsWithoutTheirTextChangeNothing) {
    DocumentPage* page = page_with("b\na\n", 2);
    ASSERT_TRUE(run("Trier", "Trier les lignes"));
    ASSERT_TRUE(run("Nombres", "Arabe à Roman"));
    select_offsets(buffer_of(page), 0, 1);
    ASSERT_TRUE(run("Nombres", "Arabe à Roman")) << "not a number";
    ASSERT_TRUE(run("Nombres", "Compteur")) << "the counter needs no selection";
    EXPECT_EQ(text_of(page), "b\na\n");
    EXPECT_EQ(marks(page), (std::pair<long, long>{0, 1}));
    EXPECT_EQ(undo_steps(page), 0);
    EXPECT_EQ(command_entry_text(), "1~5~10") << "the counter's example is offered";
}

// Without a selection the case commands take the word around the cursor and
// leave the cursor where it was; the counter inserts at the cursor.
TEST_F(GuiTest, CaseCommandsTakeTheWordAndTheCounterInsertsAtTheCursor) {
    DocumentPage* page = page_with("un deux;", 4);
    ASSERT_TRUE(run("Caractères", "Majuscule"));
    EXPECT_EQ(text_of(page), "un DEUX;");
    EXPECT_EQ(marks(page), (std::pair<long, long>{4, 4}));

    doc_set_cursor_offset(page, 8);
    set_entry("2~4");
    ASSERT_TRUE(run("Nombres", "Compteur"));
    EXPECT_EQ(text_of(page), "un DEUX;2\n3\n4");
    EXPECT_EQ(undo_steps(page), 2);
}

TEST_F(GuiTest, AnalysesOpenTheirReportInANewTab) {
    DocumentPage* page = page_with("a b a c");
    ASSERT_TRUE(run("Analyser de texte UNIversal", "UNITAZ avec trie par compte"));
    ASSERT_EQ(document_count(), 2);
    const std::string report = text_of(current_document());
    EXPECT_NE(report.find("Words total: 4"), std::string::npos) << report;
    EXPECT_NE(report.find(page->path), std::string::npos) << report;

    gtk_notebook_set_current_page(GTK_NOTEBOOK(gtk_widget_get_parent(page->page_widget)), 0);
    ASSERT_EQ(current_document(), page);
    select_offsets(buffer_of(page), 2, 7);
    ASSERT_TRUE(run("Analyser de texte UNIversal", "Extraire des mots"));
    ASSERT_EQ(document_count(), 3);
    EXPECT_EQ(text_of(current_document()), "b\na\nc");
    EXPECT_EQ(text_of(page), "a b a c");
    EXPECT_EQ(undo_steps(page), 0);
}

} // namespace
