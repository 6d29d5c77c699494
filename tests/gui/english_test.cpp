// The main window under LANGUAGE=en with the English catalogue built into
// <build>/locale: the menus speak English, no French label is left among them,
// and the items whose handler goes by their label still do their work.
#include <gtest/gtest.h>
#include <libintl.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "shell/ui/app.h"
#include "tools/todo_model.h"

namespace {

class EnglishTest : public GuiTest {
  protected:
    void prepare_home() override {
        g_setenv("ORVANE_LOCALEDIR", ORVANE_BUILD_LOCALEDIR, FALSE);
        g_setenv("LANGUAGE", "en", TRUE);
        app_bind_text_domain();
    }
    void TearDown() override {
        GuiTest::TearDown();
        g_unsetenv("LANGUAGE");
        textdomain("messages");
    }
};

// Every label of every menu item under the menu bar, submenus included.
std::vector<std::string> all_menu_labels(GtkWidget* window) {
    std::vector<std::string> labels;
    GtkWidget* bar = find_widget(window, [](GtkWidget* w) { return GTK_IS_MENU_BAR(w); });
    find_widget(bar, [&](GtkWidget* w) {
        if (GTK_IS_MENU_ITEM(w))
            if (const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(w)); label && *label)
                labels.emplace_back(label);
        return false;
    });
    return labels;
}

TEST_F(EnglishTest, MenusSpeakEnglishAndTheirItemsStillWork) {
    const std::vector<std::vector<std::string_view>> english = {
        {"File", "New"},
        {"File", "Open"},
        {"File", "Save as"},
        {"File", "Quit Orvane"},
        {"Edit", "Undo"},
        {"Edit", "Select all"},
        {"Search", "Find (the text in the command line)"},
        {"Search", "Go to line"},
        {"Functions", "Characters", "Uppercase"},
        {"Functions", "Sort", "Sort the lines"},
        {"Html", "Bold"},
        {"Html", "Align", "Center"},
        {"Html", "HTML special characters", "euro sign"},
        {"Projects", "New project"},
        {"Navigation", "Go to the next tab"},
        {"View", "Syntax highlighting"},
        {"Help", "About Orvane IDE"},
    };
    for (const auto& path : english) {
        GtkWidget* item = path.size() == 2 ? find_menu_item_path({path[0], path[1]})
                                           : find_menu_item_path({path[0], path[1], path[2]});
        EXPECT_NE(item, nullptr) << path.front() << " > " << path.back();
    }

    // A label that the catalogue translates differently is a French text left.
    const std::vector<std::string> labels = all_menu_labels(window());
    ASSERT_GT(labels.size(), 200u);
    for (const std::string& label : labels)
        EXPECT_EQ(dgettext(GETTEXT_PACKAGE, label.c_str()), label) << "French label: " << label;

    // Handlers that find their row by the translated label.
    new_document();
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(current_document()->buffer.get());
    gtk_text_buffer_set_text(buffer, "abc", -1);
    select_offsets(buffer, 0, 3);
    ASSERT_TRUE(activate_menu_item_path({"Functions", "Characters", "Uppercase"}));
    EXPECT_EQ(doc_get_text(buffer), "ABC");
    gtk_text_buffer_set_text(buffer, "", -1);
    ASSERT_TRUE(activate_menu_item_path({"Html", "HTML special characters", "euro sign"}));
    EXPECT_EQ(doc_get_text(buffer), "&#8364;");

    // The todo table's texts go through the default domain, which is the program's.
    EXPECT_EQ(todo_message(TodoMessage::unreadable_row, "/x"),
              "Cannot read the todo list file /x.\n");
}

} // namespace
