// The menus rebuilt from the configuration folder, activated through the real
// menu items with a current document, and the toolbar row and command-entry
// prompt the tools rely on.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "documents/ui/document_hooks.h"
#include "documents/ui/open.h"
#include "gui/support/gui_fixture.h"
#include "shell/commands.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/window_parts.h"
#include "documents/ui/document_menus.h"
#include "shell/ui/report.h"
#include "shell/ui/toolbars.h"

namespace {

std::string buffer_text(GtkTextBuffer* buffer) {
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    char* text = gtk_text_buffer_get_text(buffer, &start, &end, FALSE);
    std::string out = text;
    g_free(text);
    return out;
}

void cursor_at(GtkTextBuffer* buffer, int offset) {
    GtkTextIter it;
    gtk_text_buffer_get_iter_at_offset(buffer, &it, offset);
    gtk_text_buffer_place_cursor(buffer, &it);
}

class SnippetMenuTest : public GuiTest {
  protected:
    void prepare_home() override {
        // The fixture makes the folders the program makes at its first start;
        // snippets/ is not one of them.
        g_mkdir_with_parents(config_path("snippets").c_str(), 0700);
        write_config_file("snippets/bold", "<b>%s</b>");
        write_config_file("snippets/plain", "hello");
        write_config_file("snippets/latin1", "caf\xe9 %s");
    }
};

TEST_F(SnippetMenuTest, SnippetWrapsTheSelectionOrGoesInAsItStands) {
    menu_rebuild_snippets();
    ASSERT_EQ(submenu_names({"Fonctions", "Snippets"}),
              (std::vector<std::string>{"-x-", "bold", "latin1", "plain"}));

    // Without a document the entries do nothing.
    ASSERT_TRUE(activate_menu_item("bold"));
    EXPECT_EQ(current_document_buffer(), nullptr);

    new_document();
    GtkTextBuffer* buffer = current_document_buffer();
    ASSERT_NE(buffer, nullptr);
    gtk_text_buffer_set_text(buffer, "un mot ici", -1);

    select_offsets(buffer, 3, 6);
    ASSERT_TRUE(activate_menu_item("bold"));
    EXPECT_EQ(buffer_text(buffer), "un <b>mot</b> ici");

    cursor_at(buffer, 0);
    ASSERT_TRUE(activate_menu_item("bold"));
    EXPECT_EQ(buffer_text(buffer), "<b>%s</b>un <b>mot</b> ici");

    // A snippet without a place for the selection leaves selected text alone,
    // and a file that is not UTF-8 is not inserted at all.
    gtk_text_buffer_set_text(buffer, "un mot ici", -1);
    select_offsets(buffer, 3, 6);
    ASSERT_TRUE(activate_menu_item("plain"));
    ASSERT_TRUE(activate_menu_item("latin1"));
    EXPECT_EQ(buffer_text(buffer), "un mot ici");
    cursor_at(buffer, 10);
    ASSERT_TRUE(activate_menu_item("latin1"));
    ASSERT_TRUE(activate_menu_item("plain"));
    EXPECT_EQ(buffer_text(buffer), "un mot icihello");

    // The selection replacement is one user action.
    select_offsets(buffer, 3, 6);
    ASSERT_TRUE(activate_menu_item("bold"));
    doc_undo();
    EXPECT_EQ(buffer_text(buffer), "un mot icihello");
}

class TemplatesMenuTest : public GuiTest {
  protected:
    void prepare_home() override {
        write_config_file("templates/page.html", "<html></html>\n");
        g_mkdir_with_parents(config_path("templates/nested").c_str(), 0700);
        write_config_file("templates/nested/inner.txt", "inside");
    }
};

TEST_F(TemplatesMenuTest, FolderInsideTemplatesIsNotOfferedAndAFileOpensAsNewText) {
    ASSERT_TRUE(g_file_test(config_path("templates/nested/inner.txt").c_str(), G_FILE_TEST_EXISTS));
    menu_rebuild_templates();
    EXPECT_EQ(submenu_names({"Fichier", "Templates"}),
              (std::vector<std::string>{"-x-", "page.html"}));
    EXPECT_EQ(find_menu_item("nested"), nullptr);

    ASSERT_TRUE(activate_menu_item_path({"Fichier", "Templates", "page.html"}));
    ASSERT_NE(current_document_buffer(), nullptr);
    EXPECT_EQ(buffer_text(current_document_buffer()), "<html></html>\n");
    // The template itself is not the document's file.
    ASSERT_TRUE(current_document_name().has_value());
    EXPECT_EQ(current_document_name()->find("templates"), std::string::npos);
}

class UserMenuTest : public GuiTest {
  protected:
    void prepare_home() override {
        write_config_file("orvane_user_menu", "lint=perl -c %s\nshow=cat %s | less\n");
    }
};

TEST_F(UserMenuTest, RecordedCommandQuotesAFileNameWithABlankAndAQuote) {
    RecordedCommands recorded;
    menu_rebuild_user_menu();
    const std::string path = home().file("l'essai final.pl");
    write_file(path, "print 1;\n");
    ASSERT_NE(open_and_show(path), nullptr);
    ASSERT_EQ(current_document_name(), path);

    ASSERT_TRUE(activate_menu_item_path({"Fonctions", "Menu utilisateur", "lint"}));
    ASSERT_TRUE(activate_menu_item_path({"Fonctions", "Menu utilisateur", "show"}));
    const std::string quoted = "'" + home().path() + "/l'\\''essai final.pl'";
    EXPECT_EQ(recorded.lines,
              (std::vector<std::string>{"perl -c " + quoted, "cat " + quoted + " | less"}));
}

class HiddenMainToolbarTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "do_show_main_toolbar=0\n"); }
};

TEST_F(HiddenMainToolbarTest, ToolbarRowShowsOnlyTheSearchToolbarAndTheIndicator) {
    flush_events();
    GtkWidget* row = find_widget(window(), [](GtkWidget* w) {
        return g_strcmp0(gtk_widget_get_name(w), "toolbar_row") == 0;
    });
    ASSERT_NE(row, nullptr);
    std::vector<GtkWidget*> shown;
    GList* children = gtk_container_get_children(GTK_CONTAINER(row));
    for (GList* l = children; l; l = l->next)
        if (gtk_widget_get_visible(GTK_WIDGET(l->data))) shown.push_back(GTK_WIDGET(l->data));
    g_list_free(children);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_STREQ(gtk_widget_get_name(shown[0]), "search_toolbar");
    EXPECT_EQ(shown[1], indicator_widget());
    EXPECT_TRUE(gtk_widget_get_mapped(shown[0]));
    EXPECT_FALSE(gtk_widget_get_mapped(main_toolbar()));
    // The command entry lives in the search toolbar, not in the hidden one.
    EXPECT_TRUE(gtk_widget_is_ancestor(command_entry(), shown[0]));
}

using CommandPromptTest = GuiTest;

TEST_F(CommandPromptTest, EmptyEntryGetsTheExampleAndTheLogShowsTheHelpPicture) {
    ASSERT_STREQ(gtk_entry_get_text(GTK_ENTRY(command_entry())), "");
    const std::string before = log_text(true);
    command_entry_prompt("%s<br>");
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(command_entry())), "%s<br>");
    const std::string after = log_text(true);
    ASSERT_GT(after.size(), before.size());
    const std::string added = after.substr(0, after.size() - before.size());
    // The message is logged after its picture, at the top, so the picture
    // heads the entry below it.
    EXPECT_EQ(added, " La documentation est disponible dans le menu \"Aide->Lire le "
                     "manuel/documentation de Orvane IDE\"\n" +
                         std::string(56, '_') + "\n\xEF\xBF\xBC");
    ASSERT_FALSE(command_history().empty());
    EXPECT_EQ(command_history().front(), "%s<br>");
    EXPECT_NE(indicator_widget(), nullptr);
}

} // namespace
