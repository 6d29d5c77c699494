// The Html menu and the command helpers in the real main window: what an entry
// writes, where it leaves the cursor, how much one undo takes back, the links
// menu a scan fills, and the one-window-per-helper rule.
#include <gtest/gtest.h>
#include <gtksourceview/gtksource.h>

#include <algorithm>
#include <string>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/settings.h"
#include "snippets/ui/command_builder_dialogs.h"

namespace {

// A new current page holding `text` that one undo cannot take away.
GtkTextBuffer* page_with(const char* text) {
    new_document();
    GtkTextBuffer* buffer = current_document_buffer();
    gtk_source_buffer_begin_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
    gtk_text_buffer_set_text(buffer, text, -1);
    gtk_source_buffer_end_not_undoable_action(GTK_SOURCE_BUFFER(buffer));
    return buffer;
}

std::string text_of(GtkTextBuffer* buffer) {
    return doc_get_text(buffer);
}

long cursor_of(GtkTextBuffer* buffer) {
    return cursor_and_bound(buffer).first;
}

std::vector<GtkWidget*> windows_titled(const std::string& title) {
    std::vector<GtkWidget*> found;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        const char* t = gtk_window_get_title(GTK_WINDOW(l->data));
        if (t && title == t && gtk_widget_get_visible(GTK_WIDGET(l->data)))
            found.push_back(GTK_WIDGET(l->data));
    }
    g_list_free(all);
    return found;
}

// The field of a helper window whose accessible name is `name`.
GtkWidget* field_named(GtkWidget* window, const std::string& name) {
    return find_widget(window, [&](GtkWidget* w) {
        if (!GTK_IS_ENTRY(w)) return false;
        const char* n = atk_object_get_name(gtk_widget_get_accessible(w));
        return n && name == n;
    });
}

GtkWidget* button_labelled(GtkWidget* window, const char* label) {
    return find_widget(window, [&](GtkWidget* w) {
        const char* l = GTK_IS_BUTTON(w) ? gtk_button_get_label(GTK_BUTTON(w)) : nullptr;
        return l && std::string(l) == label;
    });
}

TEST_F(GuiTest, BoldWrapsTheSelectionOrInsertsThePairAndOneUndoTakesItBack) {
    GtkTextBuffer* buffer = page_with("un mot");
    select_offsets(buffer, 3, 6);
    ASSERT_TRUE(activate_menu_item("Gras"));
    EXPECT_EQ(text_of(buffer), "un <b>mot</b>");
    doc_undo();
    EXPECT_EQ(text_of(buffer), "un mot");
    EXPECT_FALSE(gtk_source_buffer_can_undo(GTK_SOURCE_BUFFER(buffer)));

    select_offsets(buffer, 2, 2);
    ASSERT_TRUE(activate_menu_item("Gras"));
    EXPECT_EQ(text_of(buffer), "un<b></b> mot");
    EXPECT_EQ(cursor_of(buffer), 5); // between the tags
    doc_undo();
    EXPECT_EQ(text_of(buffer), "un mot");

    // A tag item acts by its name.
    select_offsets(buffer, 0, 2);
    ASSERT_TRUE(activate_menu_item("h2"));
    EXPECT_EQ(text_of(buffer), "<h2>un</h2> mot");
}

TEST_F(GuiTest, LinkAroundASelectionHoldingQuotesPutsTheCursorInTheEmptyAddress) {
    GtkTextBuffer* buffer = page_with("x say \"hi\" y");
    select_offsets(buffer, 2, 10);
    ASSERT_TRUE(activate_menu_item("Lien"));
    EXPECT_EQ(text_of(buffer), "x <a href=\"\">say \"hi\"</a> y");
    EXPECT_EQ(cursor_and_bound(buffer), std::make_pair(11L, 11L));

    // The picture takes the selection as its address, the quote written &quot;,
    // and leaves the cursor after it.
    select_offsets(buffer, 13, 21);
    ASSERT_TRUE(activate_menu_item("Image"));
    EXPECT_EQ(text_of(buffer), "x <a href=\"\"><img src=\"say &quot;hi&quot;\"></a> y");
    EXPECT_EQ(cursor_of(buffer), 13 + 10 + 18);
}

TEST_F(GuiTest, LineBreakFollowsXhtmlModeAndKeepsTheSelection) {
    GtkTextBuffer* buffer = page_with("");
    ASSERT_TRUE(activate_menu_item("Retour chariot"));
    Settings xhtml = settings();
    xhtml.xhtml_mode = 1;
    settings_replace(xhtml);
    ASSERT_TRUE(activate_menu_item("Retour chariot"));
    EXPECT_EQ(text_of(buffer), "<br><br />");

    gtk_text_buffer_set_text(buffer, "abc", -1);
    select_offsets(buffer, 0, 3);
    ASSERT_TRUE(activate_menu_item("Retour chariot"));
    EXPECT_EQ(text_of(buffer), "<br />abc");
    EXPECT_TRUE(doc_has_selection(buffer));
}

TEST_F(GuiTest, CharacterReferenceItemInsertsItsCode) {
    GtkTextBuffer* buffer = page_with("");
    auto names = submenu_names({"Html", "Caractères spéciaux HTML"});
    EXPECT_NE(std::find(names.begin(), names.end(), "copyright signe"), names.end());
    ASSERT_TRUE(activate_menu_item_path({"Html", "Caractères spéciaux HTML", "copyright signe"}));
    ASSERT_TRUE(activate_menu_item_path({"Html", "Caractères spéciaux HTML", "&"}));
    EXPECT_EQ(text_of(buffer), "&#169;&#38;");
}

TEST_F(GuiTest, LinkScanListsThePageAndItsFilesAndAnItemOpensItsTab) {
    const std::string page = home().file("site/index.html");
    const std::string other = home().file("site/sub/b.html");
    g_mkdir_with_parents(home().file("site/sub").c_str(), 0700);
    write_file(other, "b");
    write_file(page, "<a href='sub/b.html?x=1'>b</a> <a href=\"missing.html\">m</a>");
    ASSERT_NE(open_and_show(page), nullptr);

    ASSERT_TRUE(activate_menu_item("Scan lien HTML local (HREF)"));
    EXPECT_EQ(submenu_names({"Navigation", "Liens"}), (std::vector<std::string>{page, other}));
    EXPECT_EQ(status_text(), "Scan links HTML [OK]");
    EXPECT_NE(log_text().find("Maintenant, regardez dans le menu Navigation->Liens."),
              std::string::npos);

    ASSERT_TRUE(activate_menu_item_path({"Navigation", "Liens", other}));
    ASSERT_TRUE(
        spin_until([&] { return current_document() && current_document()->path == other; }));
    ASSERT_TRUE(activate_menu_item_path({"Navigation", "Liens", page}));
    EXPECT_EQ(current_document()->path, page);
    EXPECT_EQ(document_count(), 2);
}

TEST_F(GuiTest, SecondGrepRequestPresentsTheOpenWindowWhichKeepsItsFields) {
    GtkTextBuffer* buffer = page_with("abc");
    select_offsets(buffer, 3, 3);
    open_grep_builder();
    auto open = windows_titled("Aide pour Grep");
    ASSERT_EQ(open.size(), 1u);
    GtkWidget* window = open.front();
    gtk_entry_set_text(GTK_ENTRY(field_named(window, "Mot recherché")), "x;y");
    gtk_entry_set_text(GTK_ENTRY(field_named(window, "Fichier")), "a.txt");

    open_grep_builder();
    ASSERT_EQ(windows_titled("Aide pour Grep"), std::vector<GtkWidget*>{window});
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(field_named(window, "Mot recherché"))), "x;y");

    // Apply writes on a line of its own and closes the window.
    GtkWidget* apply = button_labelled(window, "gtk-apply");
    ASSERT_NE(apply, nullptr);
    gtk_button_clicked(GTK_BUTTON(apply));
    EXPECT_EQ(text_of(buffer), "abc\n# Commande Grep (Find dans un fichier)\ngrep 'x;y' a.txt");
    EXPECT_TRUE(windows_titled("Aide pour Grep").empty());

    // A new window starts empty, and Escape closes it.
    open_grep_builder();
    open = windows_titled("Aide pour Grep");
    ASSERT_EQ(open.size(), 1u);
    EXPECT_STREQ(gtk_entry_get_text(GTK_ENTRY(field_named(open.front(), "Mot recherché"))), "");
    gtk_widget_realize(open.front());
    // The window goes with the press; there is nothing left to release on.
    EXPECT_TRUE(press_key(open.front(), GDK_KEY_Escape));
    EXPECT_TRUE(windows_titled("Aide pour Grep").empty());
}

} // namespace
