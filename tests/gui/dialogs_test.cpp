#include "gui/support/dialog_answer.h"
#include "gui/support/gui_fixture.h"
#include "shell/ui/dialogs.h"
#include "shell/ui/window_parts.h"

namespace {

using DialogsTest = GuiTest;
using Buttons = std::vector<std::pair<int, std::string>>;

const Buttons kOkOnly{{GTK_RESPONSE_OK, "gtk-ok"}};
const Buttons kOkCancel{{GTK_RESPONSE_OK, "gtk-ok"}, {GTK_RESPONSE_CANCEL, "gtk-cancel"}};

bool no_dialog_left() {
    GList* all = gtk_window_list_toplevels();
    bool none = true;
    for (GList* l = all; l; l = l->next)
        if (GTK_IS_DIALOG(l->data) && gtk_widget_get_visible(GTK_WIDGET(l->data))) none = false;
    g_list_free(all);
    return none;
}

} // namespace

TEST_F(DialogsTest, ConfirmationIsTrueOnlyForOk) {
    const char* question = "%s est modifié mais pas sauvegardé, le sauvegarder?";
    const struct {
        bool close;
        GtkResponseType response;
        bool expected;
    } cases[] = {{false, GTK_RESPONSE_OK, true},
                 {false, GTK_RESPONSE_CANCEL, false},
                 {true, GTK_RESPONSE_NONE, false}};
    for (const auto& c : cases) {
        if (c.close)
            close_next_dialog();
        else
            answer_next_dialog(c.response);
        EXPECT_EQ(ask_confirmation(main_window(), question, "/tmp/a b.txt"), c.expected)
            << c.response << " close=" << c.close;
        const SeenDialog& seen = last_dialog();
        ASSERT_TRUE(seen.found);
        EXPECT_EQ(seen.text, "/tmp/a b.txt est modifié mais pas sauvegardé, le sauvegarder?");
        EXPECT_EQ(seen.buttons, kOkCancel);
        EXPECT_TRUE(seen.modal);
        EXPECT_TRUE(seen.destroy_with_parent);
        EXPECT_EQ(seen.transient_for, main_window());
        EXPECT_TRUE(no_dialog_left());
    }
}

TEST_F(DialogsTest, ConfirmationShowsItsArgumentVerbatim) {
    answer_next_dialog(GTK_RESPONSE_OK);
    EXPECT_TRUE(ask_confirmation(main_window(), "Supprimer %s ?", "%s%n%d 100%"));
    EXPECT_EQ(last_dialog_text(), "Supprimer %s%n%d 100% ?");

    answer_next_dialog(GTK_RESPONSE_CANCEL);
    EXPECT_FALSE(ask_confirmation(nullptr, "Continuer à 100% ?"));
    EXPECT_EQ(last_dialog_text(), "Continuer à 100% ?");
}

TEST_F(DialogsTest, MessageIsFormattedWithItsNumber) {
    answer_next_dialog(GTK_RESPONSE_OK);
    show_message(main_window(), "%d fichiers", 3);
    const SeenDialog& seen = last_dialog();
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "3 fichiers");
    EXPECT_EQ(seen.buttons, kOkOnly);
    EXPECT_TRUE(seen.label_wraps);
    EXPECT_TRUE(seen.modal);
    EXPECT_TRUE(seen.destroy_with_parent);
    EXPECT_EQ(seen.transient_for, main_window());
    EXPECT_TRUE(no_dialog_left());
}

TEST_F(DialogsTest, MessageWithoutNumberIsLiteral) {
    answer_next_dialog(GTK_RESPONSE_OK);
    show_message(main_window(), "%d fichiers");
    EXPECT_EQ(last_dialog_text(), "%d fichiers");
}

TEST_F(DialogsTest, MessageHonoursOnlyOneIntegerConversion) {
    const struct {
        const char* message;
        long argument;
        const char* shown;
    } cases[] = {{"%s et %n puis %d", 7, "%s et %n puis 7"},
                 {"%ld octets, %d", 1234567890123L, "1234567890123 octets, %d"},
                 {"100%% en %i s", 4, "100% en 4 s"}};
    for (const auto& c : cases) {
        answer_next_dialog(GTK_RESPONSE_OK);
        show_message(main_window(), c.message, c.argument);
        EXPECT_EQ(last_dialog_text(), c.shown) << c.message;
    }
}

TEST_F(DialogsTest, MessageClosedByTheWindowManagerReturns) {
    close_next_dialog();
    show_message(nullptr, "Fermez la fenêtre des options puis ouvrez-la à nouveau.");
    EXPECT_TRUE(last_dialog().found);
    EXPECT_EQ(last_dialog().transient_for, nullptr);
    EXPECT_TRUE(no_dialog_left());
}
