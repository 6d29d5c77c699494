// The scrapbook in the real main window: "Ajouter au Crapbook" into the file or
// into its open tab, "Crapbook" showing the file, files it must not touch, and
// the Note page's own completion words.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/gobj.h"
#include "shell/ui/window_parts.h"
#include "tools/scrapbook_text.h"
#include "tools/ui/scrapbook.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string note_text() {
    return text_view_text(scrapbook_view());
}

std::string page_text(const DocumentPage* page) {
    return doc_get_text(GTK_TEXT_BUFFER(page->buffer.get()));
}

// A new document holding `text`, all of it selected.
DocumentPage* selected_text(const std::string& text) {
    new_document_with_text(text);
    DocumentPage* page = current_document();
    select_offsets(GTK_TEXT_BUFFER(page->buffer.get()), 0, g_utf8_strlen(text.c_str(), -1));
    return page;
}

class ScrapbookTest : public GuiTest {
  protected:
    std::string file() const { return config_path("crapbook.txt"); }
    bool add() { return activate_menu_item_path({"Editer", "Ajouter au Crapbook"}); }
    bool show() { return activate_menu_item_path({"Fichier", "Crapbook"}); }
};

TEST_F(ScrapbookTest, AdditionsGoInFrontOfTheFileAndAtTheNoteCursor) {
    write_config_file("crapbook.txt", "x\n");
    selected_text("abc");
    ASSERT_TRUE(add());
    EXPECT_EQ(read_file(file()), "abc\n\nx\n");
    EXPECT_EQ(note_text(), scrapbook_intro() + "abc\n");
    DocumentPage* second = selected_text("déf");
    ASSERT_TRUE(add());
    EXPECT_EQ(read_file(file()), "déf\n\nabc\n\nx\n");

    // Without a selection nothing changes anywhere.
    select_offsets(GTK_TEXT_BUFFER(second->buffer.get()), 1, 1);
    const std::string note = note_text();
    ASSERT_TRUE(add());
    EXPECT_EQ(read_file(file()), "déf\n\nabc\n\nx\n");
    EXPECT_EQ(note_text(), note);
}

TEST_F(ScrapbookTest, WithItsTabOpenOnlyTheTabChangesInOneUndoStep) {
    write_config_file("crapbook.txt", "x\n");
    ASSERT_TRUE(show());
    EXPECT_EQ(status_text(), "Open Crapbook [OK]");
    EXPECT_EQ(note_text(), scrapbook_intro() + "x\n");
    ASSERT_EQ(document_count(), 1);
    DocumentPage* tab = page_at_index(0);
    EXPECT_EQ(page_text(tab), "x\n");

    selected_text("abc");
    ASSERT_TRUE(add());
    EXPECT_EQ(page_text(tab), "abc\nx\n");
    EXPECT_EQ(read_file(file()), "x\n");
    gtk_source_buffer_undo(tab->buffer.get());
    EXPECT_EQ(page_text(tab), "x\n");

    // Shown again, the open tab is made current rather than opened twice.
    ASSERT_TRUE(show());
    EXPECT_EQ(document_count(), 2);
    EXPECT_EQ(current_document(), tab);
}

TEST_F(ScrapbookTest, ACharacterAcrossAKilobyteBoundaryIsShown) {
    const std::string text = std::string(1022, 'a') + "é";
    write_config_file("crapbook.txt", text);
    ASSERT_TRUE(show());
    EXPECT_EQ(note_text(), scrapbook_intro() + text);
}

TEST_F(ScrapbookTest, AFileThatCannotBeReadIsNeverReplaced) {
    // Too large to read: the program must neither show it nor write over it.
    write_config_file("crapbook.txt", "keep");
    ASSERT_EQ(truncate(file().c_str(), static_cast<off_t>(kScrapbookMaxBytes) + 1), 0);
    struct stat before {};
    ASSERT_EQ(stat(file().c_str(), &before), 0);

    selected_text("abc");
    ASSERT_TRUE(add());
    ASSERT_TRUE(show());
    EXPECT_EQ(status_text(), "Open Crapbook [ERROR]");
    EXPECT_EQ(note_text(), scrapbook_intro());
    EXPECT_EQ(document_count(), 1);
    EXPECT_TRUE(contains(log_text(), "Ne peut pas lire " + file()));

    struct stat after {};
    ASSERT_EQ(stat(file().c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(read_file(file()).substr(0, 4), "keep");
}

// The words of the proposals in the tree views of the windows on screen: the
// completion window shown, not those hidden since.
std::vector<std::string> shown_proposals() {
    std::vector<std::string> words;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next)
        if (gtk_widget_get_visible(GTK_WIDGET(l->data)))
            find_widget(GTK_WIDGET(l->data), [&](GtkWidget* w) {
                GtkTreeModel* model =
                    GTK_IS_TREE_VIEW(w) ? gtk_tree_view_get_model(GTK_TREE_VIEW(w)) : nullptr;
                GtkTreeIter it;
                for (bool ok = model && gtk_tree_model_get_iter_first(model, &it); ok;
                     ok = gtk_tree_model_iter_next(model, &it))
                    for (int c = 0; c < gtk_tree_model_get_n_columns(model); ++c) {
                        if (!g_type_is_a(gtk_tree_model_get_column_type(model, c), G_TYPE_OBJECT))
                            continue;
                        GObject* object = nullptr;
                        gtk_tree_model_get(model, &it, c, &object, -1);
                        GObjectPtr<GObject> owned(object);
                        if (!object || !GTK_SOURCE_IS_COMPLETION_PROPOSAL(object)) continue;
                        GCharPtr text(gtk_source_completion_proposal_get_text(
                            GTK_SOURCE_COMPLETION_PROPOSAL(object)));
                        if (text) words.emplace_back(text.get());
                    }
                return false;
            });
    g_list_free(all);
    return words;
}

bool has(const std::vector<std::string>& words, const std::string& word) {
    for (const auto& w : words)
        if (w == word) return true;
    return false;
}

// What the completion of `view` proposes for the word before its cursor, asked
// for as the user does (Ctrl+space) until `expected` comes. The word providers
// start reading a changed text only some seconds later, and a shown
// completion holds them back, so it is asked for seldom.
std::vector<std::string> proposals(GtkWidget* view, const std::string& expected) {
    GtkSourceCompletion* completion = gtk_source_view_get_completion(GTK_SOURCE_VIEW(view));
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    std::vector<std::string> words;
    for (int round = 0; round < 6 && !has(words, expected); ++round) {
        spin_for(round == 0 ? 6000 : 2000);
        GtkTextIter cursor;
        gtk_text_buffer_get_iter_at_mark(buffer, &cursor, gtk_text_buffer_get_insert(buffer));
        GtkSourceCompletionContext* context =
            gtk_source_completion_create_context(completion, &cursor);
        g_object_set(context, "activation", GTK_SOURCE_COMPLETION_ACTIVATION_USER_REQUESTED,
                     nullptr);
        GList* providers = g_list_copy(gtk_source_completion_get_providers(completion));
        gtk_source_completion_show(completion, providers, context);
        g_list_free(providers);
        spin_until(
            [&] {
                words = shown_proposals();
                return has(words, expected);
            },
            1000);
        gtk_source_completion_hide(completion);
    }
    return words;
}

TEST_F(ScrapbookTest, WordsTypedInTheNotePageAreProposedThereOnly) {
    GtkWidget* tools = gtk_widget_get_parent(bottom_notebook());
    gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()),
                                  gtk_notebook_page_num(GTK_NOTEBOOK(main_notebook()), tools));
    gtk_notebook_set_current_page(
        GTK_NOTEBOOK(bottom_notebook()),
        gtk_notebook_page_num(GTK_NOTEBOOK(bottom_notebook()), panel_page(PanelPage::scrapbook)));
    flush_events();
    // The completion shows only in a view that has the keyboard focus.
    gtk_window_present(GTK_WINDOW(window()));
    spin_until([this] { return gtk_window_has_toplevel_focus(GTK_WINDOW(window())); }, 2000);
    GtkWidget* note = scrapbook_view();
    ASSERT_NE(note, nullptr);
    gtk_widget_grab_focus(note);
    type_text(note, "xylophonique\nxy");
    EXPECT_TRUE(has(proposals(note, "xylophonique"), "xylophonique"));

    new_document_with_text("xylographe\n");
    GtkWidget* view = current_document_view();
    gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()), 1);
    flush_events();
    gtk_widget_grab_focus(view);
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter end;
    gtk_text_buffer_get_end_iter(buffer, &end);
    gtk_text_buffer_place_cursor(buffer, &end);
    type_text(view, "xy");
    const auto words = proposals(view, "xylographe");
    EXPECT_TRUE(has(words, "xylographe"));
    EXPECT_FALSE(has(words, "xylophonique"));
}

} // namespace
