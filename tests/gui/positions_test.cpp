// Documents remembered by position in the real main window: the recent files,
// bookmarks and sessions with their menus, and the in-text bookmarks of the
// "Mark" side page.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "documents/recent_files.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/positions.h"
#include "gui/support/chooser_answer.h"
#include "gui/support/gui_fixture.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/ui/window_parts.h"
#include "documents/ui/document_menus.h"

namespace {

std::string buffer_text(const DocumentPage* page) {
    return doc_get_text(GTK_TEXT_BUFFER(page->buffer.get()));
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A page bound to a file on disk with its cursor at `offset`.
DocumentPage* file_page(const std::string& path, const std::string& text, long offset = 0) {
    write_file(path, text);
    DocumentPage* page = new_document_page();
    page->path = path;
    page->is_file = true;
    gtk_text_buffer_set_text(GTK_TEXT_BUFFER(page->buffer.get()), text.c_str(), -1);
    gtk_text_buffer_set_modified(GTK_TEXT_BUFFER(page->buffer.get()), FALSE);
    doc_set_cursor_offset(page, offset);
    return page;
}

std::vector<std::string> submenu_names(const char* label) {
    return submenu_item_names(find_menu_item(label));
}

// Activates the item `label` of the submenu of `menu` (dynamic menus hold
// entry lines, which are no paths of the menu tree).
bool activate_submenu_item(const char* menu, const std::string& label) {
    GtkWidget* parent = find_menu_item(menu);
    GtkWidget* submenu = parent ? gtk_menu_item_get_submenu(GTK_MENU_ITEM(parent)) : nullptr;
    if (!submenu) return false;
    GtkWidget* item = find_widget(submenu, [&](GtkWidget* w) {
        return GTK_IS_MENU_ITEM(w) && label == gtk_widget_get_name(w);
    });
    if (!item) return false;
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    return true;
}

long cursor_of(const DocumentPage* page) {
    return doc_get_cursor_offset(page);
}

class RecentTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "max_recent_items=7\n"); }
};

TEST_F(RecentTest, ClosingEightFilesListsTheLastSevenAndTheLastOpensFirst) {
    for (int i = 1; i <= 8; ++i) {
        file_page(home().file("f" + std::to_string(i) + ".txt"), "0123456789", i);
        close_current_document();
    }
    std::vector<std::string> expected;
    for (int i = 8; i >= 2; --i)
        expected.push_back(home().file("f" + std::to_string(i) + ".txt") + ",UTF-8," +
                           std::to_string(i));
    EXPECT_EQ(recent_files(), expected);
    EXPECT_EQ(submenu_names("Fichier recents"), expected);

    ASSERT_TRUE(activate_menu_item("Dérniers fichiers ouvert"));
    DocumentPage* page = current_document();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->path, home().file("f8.txt"));
    EXPECT_EQ(cursor_of(page), 8);
}

TEST_F(RecentTest, ARecentEntryLeavesTheListWhenOpenedAndComesBackFirstOnClose) {
    for (int i = 1; i <= 3; ++i) {
        file_page(home().file("r" + std::to_string(i) + ".txt"), "abcdef", i);
        close_current_document();
    }
    const std::string second = home().file("r2.txt") + ",UTF-8,2";
    ASSERT_TRUE(activate_submenu_item("Fichier recents", second));
    ASSERT_NE(current_document(), nullptr);
    EXPECT_EQ(current_document()->path, home().file("r2.txt"));
    EXPECT_EQ(cursor_of(current_document()), 2);
    EXPECT_EQ(std::count(recent_files().begin(), recent_files().end(), second), 0);
    const std::vector<std::string> menu = submenu_names("Fichier recents");
    EXPECT_EQ(std::count(menu.begin(), menu.end(), second), 0);

    doc_set_cursor_offset(current_document(), 5);
    close_current_document();
    EXPECT_EQ(recent_files().front(), home().file("r2.txt") + ",UTF-8,5");
}

TEST_F(RecentTest, TheListWrittenAtExitIsReadBackAtStart) {
    file_page(home().file("kept.txt"), "xyz", 1);
    close_current_document();
    recent_files_write(config_paths().recent);
    EXPECT_EQ(read_file(config_paths().recent), home().file("kept.txt") + ",UTF-8,1\n");
    recent_files().clear();
    menu_rebuild_recent_files(true);
    // The final newline leaves an empty entry, which the menu skips.
    EXPECT_EQ(recent_files(), (Lines{home().file("kept.txt") + ",UTF-8,1", ""}));
    EXPECT_EQ(submenu_names("Fichier recents"), (std::vector<std::string>{recent_files().front()}));
}

TEST_F(GuiTest, EntriesOpenWholePathsAtTheirOffsetInTheirCharset) {
    const std::string path = home().file("a,b c.txt");
    write_file(path, "caf\xE9 au lait");
    open_position_entry(path + ",ISO-8859-1,5");
    DocumentPage* page = current_document();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->path, path);
    EXPECT_EQ(page->encoding, "ISO-8859-1");
    EXPECT_EQ(buffer_text(page), "café au lait");
    EXPECT_EQ(cursor_of(page), 5);

    // Lines that are no entries open nothing.
    for (const char* line : {"", "ab", "/x", "/x,UTF-8"})
        open_position_entry(line);
    EXPECT_EQ(document_count(), 1);
}

TEST_F(GuiTest, AnEntryWhoseFileIsGoneSaysSoAndOpensNothing) {
    const std::string gone = home().file("gone.txt");
    open_position_entry(gone + ",UTF-8,0");
    EXPECT_TRUE(contains(log_text(), gone + " is not exists"));
    EXPECT_EQ(document_count(), 0);
}

TEST_F(RecentTest, BookmarksGoFirstInTheirFileAndMenuAndReopen) {
    write_config_file("orvane_bmx", "/old/one.txt,UTF-8,1\n");
    menu_rebuild_bookmarks();
    file_page(home().file("mark.html"), "<p>hello</p>", 4);
    ASSERT_TRUE(activate_menu_item("Ajouter un marque page"));
    const std::string entry = home().file("mark.html") + ",UTF-8,4";
    EXPECT_EQ(read_file(config_paths().bmx), entry + "\n/old/one.txt,UTF-8,1\n");
    EXPECT_EQ(submenu_names("Marque page"),
              (std::vector<std::string>{entry, "/old/one.txt,UTF-8,1"}));

    close_current_document();
    ASSERT_TRUE(activate_submenu_item("Marque page", entry));
    ASSERT_NE(current_document(), nullptr);
    EXPECT_EQ(current_document()->path, home().file("mark.html"));
    EXPECT_EQ(cursor_of(current_document()), 4);
}

TEST_F(RecentTest, ASessionOfTenTabsHoldsTheLastSevenLastTabFirst) {
    for (int i = 1; i <= 10; ++i)
        file_page(home().file("t" + std::to_string(i) + ".txt"), "text", i % 4);
    const std::string session = config_paths().sessions_dir + "work";
    answer_next_chooser(session);
    ASSERT_TRUE(activate_menu_item("Sauvegarder session"));
    EXPECT_EQ(last_chooser().title, "Sauvegarde de la session sous:");
    EXPECT_EQ(last_chooser().folder + "/", config_paths().sessions_dir);
    std::string expected;
    for (int i = 10; i >= 4; --i)
        expected += home().file("t" + std::to_string(i) + ".txt") + ",UTF-8," +
                    std::to_string(i % 4) + "\n";
    EXPECT_EQ(read_file(session), expected);
    EXPECT_EQ(submenu_names("Sessions"), (std::vector<std::string>{"-x-", "work"}));
}

TEST_F(GuiTest, ASessionEntryWhoseFileIsGoneIsReportedAndTheNextStillOpens) {
    const std::string first = home().file("s1.txt");
    const std::string gone = home().file("s2.txt");
    const std::string third = home().file("s3.txt");
    write_file(first, "one");
    write_file(third, "three");
    g_mkdir_with_parents(config_paths().sessions_dir.c_str(), 0700);
    write_file(config_paths().sessions_dir + "mixed",
               first + ",UTF-8,1\n" + gone + ",UTF-8,0\n" + third + ",UTF-8,2\n");
    menu_rebuild_sessions();
    ASSERT_TRUE(activate_submenu_item("Sessions", "mixed"));
    EXPECT_TRUE(contains(log_text(), gone + " is not exists"));
    ASSERT_EQ(document_count(), 2);
    EXPECT_EQ(page_at_index(0)->path, first);
    EXPECT_EQ(page_at_index(1)->path, third);
    EXPECT_EQ(cursor_of(page_at_index(1)), 2);
}

// The in-text bookmarks.

GtkTextIter iter_at(DocumentPage* page, int offset) {
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_offset(GTK_TEXT_BUFFER(page->buffer.get()), &it, offset);
    return it;
}

void select_range(DocumentPage* page, int start, int end) {
    select_offsets(GTK_TEXT_BUFFER(page->buffer.get()), start, end);
}

bool has_tag_at(DocumentPage* page, const char* tag_name, int offset) {
    GtkTextTag* tag = gtk_text_tag_table_lookup(
        gtk_text_buffer_get_tag_table(GTK_TEXT_BUFFER(page->buffer.get())), tag_name);
    if (!tag) return false;
    GtkTextIter it = iter_at(page, offset);
    return gtk_text_iter_has_tag(&it, tag);
}

std::vector<std::string> mark_rows() {
    std::vector<std::string> names;
    GtkTreeModel* model = GTK_TREE_MODEL(marks_store());
    GtkTreeIter row;
    for (bool ok = gtk_tree_model_get_iter_first(model, &row); ok;
         ok = gtk_tree_model_iter_next(model, &row)) {
        gchar *text = nullptr, *name = nullptr;
        GdkPixbuf* picture = nullptr;
        gtk_tree_model_get(model, &row, 0, &picture, 1, &text, 2, &name, -1);
        EXPECT_NE(picture, nullptr);
        EXPECT_STREQ(text, "");
        names.emplace_back(name ? name : "");
        if (picture) g_object_unref(picture);
        g_free(text);
        g_free(name);
    }
    return names;
}

void select_mark_row(int index) {
    GtkTreePath* path = gtk_tree_path_new_from_indices(index, -1);
    gtk_tree_selection_select_path(gtk_tree_view_get_selection(GTK_TREE_VIEW(marks_view())), path);
    gtk_tree_path_free(path);
}

TEST_F(GuiTest, TheMarkPageHoldsTheListAndItsButton) {
    GtkWidget* view = marks_view();
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(gtk_widget_is_ancestor(view, panel_page(PanelPage::marks)));
    EXPECT_STREQ(gtk_tree_view_column_get_title(gtk_tree_view_get_column(GTK_TREE_VIEW(view), 0)),
                 "   ");
    EXPECT_STREQ(gtk_tree_view_column_get_title(gtk_tree_view_get_column(GTK_TREE_VIEW(view), 1)),
                 "Mark");
    EXPECT_NE(find_widget(panel_page(PanelPage::marks),
                          [](GtkWidget* w) {
                              return GTK_IS_BUTTON(w) &&
                                     g_strcmp0(gtk_button_get_label(GTK_BUTTON(w)),
                                               "Supprimer les BookMark") == 0;
                          }),
              nullptr);
}

TEST_F(GuiTest, ABookmarkTagsItsLineMarksItAndIsListed) {
    DocumentPage* page = file_page(home().file("b.txt"), "first line\nsee the needle here\nlast\n");
    // "needle" on the second line, which starts at offset 11.
    select_range(page, 19, 25);
    ASSERT_TRUE(activate_menu_item("BookMark"));
    EXPECT_EQ(status_text(), "BookMark [OK]");

    GtkTextTag* tag = gtk_text_tag_table_lookup(
        gtk_text_buffer_get_tag_table(GTK_TEXT_BUFFER(page->buffer.get())), "needle");
    ASSERT_NE(tag, nullptr);
    GdkRGBA* background = nullptr;
    int weight = 0;
    g_object_get(tag, "background-rgba", &background, "weight", &weight, nullptr);
    ASSERT_NE(background, nullptr);
    gchar* colour = gdk_rgba_to_string(background);
    EXPECT_STREQ(colour, "rgb(255,255,0)");
    g_free(colour);
    gdk_rgba_free(background);
    EXPECT_EQ(weight, 700);
    // The line around the selection is yellow, the selection itself blue.
    EXPECT_TRUE(has_tag_at(page, "needle", 11));
    EXPECT_TRUE(has_tag_at(page, "needle", 26));
    EXPECT_FALSE(has_tag_at(page, "needle", 20));
    EXPECT_TRUE(has_tag_at(page, "search", 20));
    EXPECT_FALSE(has_tag_at(page, "needle", 5));
    EXPECT_FALSE(has_tag_at(page, "needle", 32));

    GtkTextMark* mark = gtk_text_buffer_get_mark(GTK_TEXT_BUFFER(page->buffer.get()), "needle");
    ASSERT_NE(mark, nullptr);
    ASSERT_TRUE(GTK_SOURCE_IS_MARK(mark));
    EXPECT_STREQ(gtk_source_mark_get_category(GTK_SOURCE_MARK(mark)), "icon_note");
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_mark(GTK_TEXT_BUFFER(page->buffer.get()), &at, mark);
    EXPECT_EQ(gtk_text_iter_get_offset(&at), 11);
    gint priority = 0;
    EXPECT_NE(
        gtk_source_view_get_mark_attributes(GTK_SOURCE_VIEW(page->view), "icon_note", &priority),
        nullptr);
    EXPECT_EQ(priority, 1);

    EXPECT_EQ(mark_rows(), (std::vector<std::string>{"needle"}));
}

TEST_F(GuiTest, TheSameTextBookmarkedTwiceReusesItsTag) {
    DocumentPage* page = file_page(home().file("twice.txt"), "word one\nword two\n");
    GtkTextTagTable* table = gtk_text_buffer_get_tag_table(GTK_TEXT_BUFFER(page->buffer.get()));
    select_range(page, 0, 4);
    text_bookmark_command();
    const int tags = gtk_text_tag_table_get_size(table);
    select_range(page, 9, 13);
    text_bookmark_command();
    EXPECT_EQ(gtk_text_tag_table_get_size(table), tags);
    EXPECT_EQ(status_text(), "BookMark [OK]");
    EXPECT_EQ(mark_rows(), (std::vector<std::string>{"word", "word"}));
    // The mark follows the newer bookmark.
    GtkTextMark* mark = gtk_text_buffer_get_mark(GTK_TEXT_BUFFER(page->buffer.get()), "word");
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_mark(GTK_TEXT_BUFFER(page->buffer.get()), &at, mark);
    EXPECT_EQ(gtk_text_iter_get_offset(&at), 9);
    EXPECT_EQ(logged_problems(), 0);
}

TEST_F(GuiTest, BookmarksNeedASelectionAndAFreeName) {
    DocumentPage* page = file_page(home().file("e.txt"), "insert search here\n");
    text_bookmark_command();
    EXPECT_TRUE(contains(log_text(),
                         "Vous devez séléctionner un mot ou du texte pour utiliser un BookMark"));
    EXPECT_EQ(status_text(), "BookMark [ERROR]");

    // The buffer's own mark and tag names are not taken over.
    select_range(page, 0, 6);
    text_bookmark_command();
    EXPECT_EQ(status_text(), "BookMark [ERROR]");
    select_range(page, 7, 13);
    text_bookmark_command();
    EXPECT_EQ(status_text(), "BookMark [ERROR]");
    EXPECT_TRUE(mark_rows().empty());
    EXPECT_EQ(logged_problems(), 0);
}

TEST_F(GuiTest, ARowOfTheListGoesToItsMarkInTheCurrentDocumentOnly) {
    DocumentPage* page = file_page(home().file("g.txt"), "alpha\nbeta\ngamma\n");
    select_range(page, 11, 16);
    text_bookmark_command();
    doc_set_cursor_offset(page, 0);

    select_mark_row(0);
    EXPECT_EQ(cursor_of(page), 11);
    GtkTreeSelection* selection = gtk_tree_view_get_selection(GTK_TREE_VIEW(marks_view()));
    EXPECT_EQ(gtk_tree_selection_count_selected_rows(selection), 0);

    file_page(home().file("other.txt"), "nothing\n");
    select_mark_row(0);
    EXPECT_TRUE(
        contains(log_text(), "Le BookMark ne correspond pas au fichier en cours d'édition."));
    EXPECT_EQ(status_text(), "BookMark File [ERROR]");
    EXPECT_EQ(gtk_tree_selection_count_selected_rows(selection), 0);
}

TEST_F(GuiTest, ClearingTheListLeavesMarksAndTagsInTheBuffer) {
    DocumentPage* page = file_page(home().file("c.txt"), "keep this\n");
    select_range(page, 0, 4);
    text_bookmark_command();
    ASSERT_EQ(mark_rows().size(), 1u);
    GtkWidget* clear = find_widget(panel_page(PanelPage::marks), [](GtkWidget* w) {
        return GTK_IS_BUTTON(w) &&
               g_strcmp0(gtk_button_get_label(GTK_BUTTON(w)), "Supprimer les BookMark") == 0;
    });
    ASSERT_NE(clear, nullptr);
    gtk_button_clicked(GTK_BUTTON(clear));
    EXPECT_TRUE(mark_rows().empty());
    EXPECT_NE(gtk_text_buffer_get_mark(GTK_TEXT_BUFFER(page->buffer.get()), "keep"), nullptr);
    EXPECT_TRUE(has_tag_at(page, "keep", 5));
}

} // namespace
