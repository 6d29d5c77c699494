// The "TODO liste" page in the real main window: rows added, edited and deleted
// through its buttons and dialogs, and rows that others change in the folder.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/support/dialog_answer.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/ui/window_parts.h"

namespace {

const char* const kRowA = "<?xml version=\"1.0\"?>\n<row>\n"
                          "<column name=\"Status\" value=\"Critique\"></column>\n"
                          "<column name=\"Notes\" value=\"first\"></column>\n</row>\n";
const char* const kRowB = "<?xml version=\"1.0\"?>\n<row>\n"
                          "<column name=\"Notes\" value=\"second\"></column>\n</row>\n";

class TodoPageTest : public GuiTest {
  protected:
    std::string row_path(const std::string& name) const { return config_path("todo/" + name); }

    // Brings the page on screen as the user does: the Tools page, then its tab.
    void show_page() {
        GtkWidget* tools = gtk_widget_get_parent(bottom_notebook());
        gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()),
                                      gtk_notebook_page_num(GTK_NOTEBOOK(main_notebook()), tools));
        gtk_notebook_set_current_page(
            GTK_NOTEBOOK(bottom_notebook()),
            gtk_notebook_page_num(GTK_NOTEBOOK(bottom_notebook()), panel_page(PanelPage::todo)));
    }
    void show_other_page() { gtk_notebook_set_current_page(GTK_NOTEBOOK(bottom_notebook()), 0); }

    GtkWidget* named(const char* name) const {
        return find_widget(panel_page(PanelPage::todo), [name](GtkWidget* w) {
            return g_strcmp0(gtk_widget_get_name(w), name) == 0;
        });
    }
    GtkTreeModel* model() const {
        return gtk_tree_view_get_model(GTK_TREE_VIEW(named("todo_view")));
    }
    // Each row's file name (hidden column 0) and Notes (column 4).
    std::vector<std::pair<std::string, std::string>> rows() const {
        std::vector<std::pair<std::string, std::string>> out;
        GtkTreeIter iter;
        for (bool ok = gtk_tree_model_get_iter_first(model(), &iter); ok;
             ok = gtk_tree_model_iter_next(model(), &iter)) {
            gchar* file = nullptr;
            gchar* notes = nullptr;
            gtk_tree_model_get(model(), &iter, 0, &file, 4, &notes, -1);
            out.emplace_back(file ? file : "", notes ? notes : "");
            g_free(file);
            g_free(notes);
        }
        return out;
    }
    void select_first_row() {
        GtkTreeIter iter;
        ASSERT_TRUE(gtk_tree_model_get_iter_first(model(), &iter));
        gtk_tree_selection_select_iter(
            gtk_tree_view_get_selection(GTK_TREE_VIEW(named("todo_view"))), &iter);
    }
    void click(const char* name) { gtk_button_clicked(GTK_BUTTON(named(name))); }
};

std::vector<GtkWidget*> row_dialogs() {
    std::vector<GtkWidget*> out;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        auto* w = static_cast<GtkWidget*>(l->data);
        if (gtk_widget_get_visible(w) && g_strcmp0(gtk_widget_get_name(w), "todo_row_dialog") == 0)
            out.push_back(w);
    }
    g_list_free(all);
    return out;
}

GtkEntry* entry_at(GtkWidget* dialog, int line) {
    GtkWidget* grid = find_widget(dialog, [](GtkWidget* w) { return GTK_IS_GRID(w); });
    return GTK_ENTRY(gtk_grid_get_child_at(GTK_GRID(grid), 1, line));
}

std::vector<std::string> entry_texts(GtkWidget* dialog) {
    std::vector<std::string> out;
    for (int line = 0; line < 4; ++line)
        out.emplace_back(gtk_entry_get_text(entry_at(dialog, line)));
    return out;
}

std::vector<std::string> row_files(const std::string& dir) {
    std::vector<std::string> out;
    if (GDir* d = g_dir_open(dir.c_str(), 0, nullptr)) {
        while (const char* name = g_dir_read_name(d))
            out.emplace_back(name);
        g_dir_close(d);
    }
    return out;
}

TEST_F(TodoPageTest, AddThroughTheDialogWritesTheFileAndShowsTheRow) {
    show_page();
    click("todo_add");
    ASSERT_EQ(row_dialogs().size(), 1u);
    // The three buttons do nothing while the dialog is open; Escape cancels it.
    click("todo_add");
    click("todo_remove");
    ASSERT_EQ(row_dialogs().size(), 1u);
    GtkWidget* dialog = row_dialogs().front();
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), "Ajouter une nouvelle ligne");
    EXPECT_EQ(entry_texts(dialog), (std::vector<std::string>{"", "Mineur", "Zevavar", ""}));
    type_key(dialog, GDK_KEY_Escape);
    ASSERT_TRUE(spin_until([] { return row_dialogs().empty(); }));
    EXPECT_TRUE(row_files(config_path("todo")).empty());

    click("todo_add");
    ASSERT_EQ(row_dialogs().size(), 1u);
    dialog = row_dialogs().front();
    gtk_entry_set_text(entry_at(dialog, 3), "say \"hi\" & <go>");
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    EXPECT_TRUE(row_dialogs().empty());

    const std::vector<std::string> files = row_files(config_path("todo"));
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rfind(std::string(g_get_user_name()) + "_", 0), 0u) << files[0];
    EXPECT_EQ(read_file(row_path(files[0])),
              "<?xml version=\"1.0\"?>\n<row>\n"
              "<column name=\"Date\" value=\"\"></column>\n"
              "<column name=\"Status\" value=\"Mineur\"></column>\n"
              "<column name=\"User\" value=\"Zevavar\"></column>\n"
              "<column name=\"Notes\" value=\"say &quot;hi&quot; &amp; &lt;go&gt;\"></column>\n"
              "</row>\n");
    using Rows = std::vector<std::pair<std::string, std::string>>;
    EXPECT_TRUE(spin_until([&] { return rows() == Rows{{files[0], "say \"hi\" & <go>"}}; }));
}

TEST_F(TodoPageTest, EditAsksFirstWhenAnotherProgramChangedTheFile) {
    write_file(row_path("ann_1.xml"), kRowA);
    show_page();
    ASSERT_TRUE(spin_until([&] { return rows().size() == 1; }));
    select_first_row();
    click("todo_edit");
    ASSERT_EQ(row_dialogs().size(), 1u);
    GtkWidget* dialog = row_dialogs().front();
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(dialog)), "Editer une ligne");
    EXPECT_EQ(entry_texts(dialog), (std::vector<std::string>{"", "Critique", "", "first"}));

    const std::string theirs = "<?xml version=\"1.0\"?>\n<row>\n"
                               "<column name=\"Notes\" value=\"rewritten elsewhere\"></column>\n"
                               "<column name=\"Owner\" value=\"bob\"></column>\n</row>\n";
    write_file(row_path("ann_1.xml"), theirs);
    gtk_entry_set_text(entry_at(dialog, 3), "ours");

    answer_next_dialog(GTK_RESPONSE_CANCEL);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    ASSERT_TRUE(last_dialog().found);
    EXPECT_NE(last_dialog_text().find(row_path("ann_1.xml")), std::string::npos)
        << last_dialog_text();
    EXPECT_EQ(read_file(row_path("ann_1.xml")), theirs);
    ASSERT_EQ(row_dialogs().size(), 1u) << "the user's values stay in the open dialog";

    answer_next_dialog(GTK_RESPONSE_OK);
    gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    EXPECT_TRUE(row_dialogs().empty());
    const std::string written = read_file(row_path("ann_1.xml"));
    EXPECT_NE(written.find("<column name=\"Notes\" value=\"ours\">"), std::string::npos) << written;
    EXPECT_NE(written.find("<column name=\"Owner\" value=\"bob\">"), std::string::npos) << written;
}

TEST_F(TodoPageTest, DeleteAnsweredYesRemovesTheFileAndTheRow) {
    write_file(row_path("ann_1.xml"), kRowA);
    show_page();
    ASSERT_TRUE(spin_until([&] { return rows().size() == 1; }));
    select_first_row();
    answer_next_dialog(GTK_RESPONSE_YES);
    click("todo_remove");
    ASSERT_TRUE(last_dialog().found);
    EXPECT_EQ(last_dialog_text().rfind("Voulez vous vraiment supprimer cette ligne?", 0), 0u);
    EXPECT_FALSE(g_file_test(row_path("ann_1.xml").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_TRUE(spin_until([&] { return rows().empty(); }));
}

TEST_F(TodoPageTest, ARowWhoseFileWasRemovedOutsideGoesWhenThePageIsShownAgain) {
    write_file(row_path("ann_1.xml"), kRowA);
    write_file(row_path("bob_2.xml"), kRowB);
    show_page();
    using Rows = std::vector<std::pair<std::string, std::string>>;
    ASSERT_TRUE(spin_until([&] {
        return rows() == Rows{{"ann_1.xml", "first"}, {"bob_2.xml", "second"}};
    }));
    g_unlink(row_path("ann_1.xml").c_str());
    show_other_page();
    show_page();
    EXPECT_TRUE(spin_until([&] { return rows() == Rows{{"bob_2.xml", "second"}}; }));
}

} // namespace
