// Highlight modes chosen from the menu, refresh, and the themes written to
// orvane_theme and applied to the open pages and the log.
#include <gtest/gtest.h>

#include <string>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/highlighting.h"
#include "documents/ui/search.h"
#include "gui/support/gui_fixture.h"
#include "shell/lines.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/report.h"

namespace {

std::string language_of(DocumentPage* page) {
    GtkSourceLanguage* language = gtk_source_buffer_get_language(page->buffer.get());
    return language ? gtk_source_language_get_id(language) : "<none>";
}

std::string scheme_of(GtkSourceBuffer* buffer) {
    GtkSourceStyleScheme* scheme = gtk_source_buffer_get_style_scheme(buffer);
    return scheme ? gtk_source_style_scheme_get_id(scheme) : "<none>";
}

GtkSourceBuffer* log_buffer() {
    return GTK_SOURCE_BUFFER(gtk_text_view_get_buffer(GTK_TEXT_VIEW(log_view())));
}

using HighlightTest = GuiTest;

// Whether the highlighting coloured the character at `offset`: a tag there
// sets a colour (the page's own search and marking tags are not there).
bool coloured_at(DocumentPage* page, int offset) {
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page->buffer.get());
    GtkTextIter start, end, at;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    gtk_source_buffer_ensure_highlight(page->buffer.get(), &start, &end);
    gtk_text_buffer_get_iter_at_offset(buffer, &at, offset);
    GSList* tags = gtk_text_iter_get_tags(&at);
    bool coloured = false;
    for (GSList* l = tags; l; l = l->next) {
        gboolean set = FALSE;
        g_object_get(l->data, "foreground-set", &set, nullptr);
        coloured = coloured || set;
    }
    g_slist_free(tags);
    return coloured;
}

TEST_F(HighlightTest, ChoosingAModeSetsTheLanguage) {
    new_document();
    DocumentPage* page = current_document();
    ASSERT_TRUE(activate_menu_item_path({"Vue", "Coloration syntaxique", "C++"}));
    EXPECT_EQ(page->highlight_mode, "C++");
    EXPECT_EQ(language_of(page), "cpp");
    ASSERT_TRUE(activate_menu_item_path({"Vue", "Coloration syntaxique", "JAVASCRIPT"}));
    EXPECT_EQ(language_of(page), "js");
    ASSERT_TRUE(activate_menu_item_path({"Vue", "Coloration syntaxique", "gettext PO file"}));
    EXPECT_EQ(language_of(page), "perl");
    ASSERT_TRUE(activate_menu_item_path({"Vue", "Coloration syntaxique", "none"}));
    EXPECT_EQ(language_of(page), "<none>");
    // Every menu mode names a language that is installed.
    for (const char* mode : {"HTML", "JAVASCRIPT", "XML", "CSS", "PHP", "PERL", "BASH Script", "C",
                             "C++", "gettext PO file", "Python", "Ruby", "JAVA"}) {
        page->highlight_mode = mode;
        set_language_from_mode(*page);
        EXPECT_NE(language_of(page), "<none>") << mode;
    }
    // A name that is no mode leaves the language alone.
    page->highlight_mode = "Fortran";
    set_language_from_mode(*page);
    EXPECT_EQ(language_of(page), "java");
}

TEST_F(HighlightTest, ModeOfAFileByNameAndByContent) {
    const std::string script = home().path() + "/script";
    ASSERT_TRUE(string_to_file(script, "#!/bin/sh\necho\n"));
    EXPECT_EQ(highlight_mode_of_file(script), "none");
    write_config_file("orvane_rc", "do_det_scripts_by_content=1\n");
    config_reload_and_apply();
    EXPECT_EQ(highlight_mode_of_file(script), "BASH Script");
    EXPECT_EQ(highlight_mode_of_file("/srv/INDEX.HTM"), "HTML");
    EXPECT_EQ(highlight_mode_of_file("/srv/x.json"), "none");
}

TEST_F(HighlightTest, RefreshRemovesTheSearchMarksAndKeepsTheLanguage) {
    new_document();
    DocumentPage* page = current_document();
    doc_insert_at_cursor(page, "foo bar foo");
    page->highlight_mode = "PERL";
    ASSERT_TRUE(doc_search(page, "foo"));
    GtkTextTag* search = gtk_text_tag_table_lookup(
        gtk_text_buffer_get_tag_table(GTK_TEXT_BUFFER(page->buffer.get())), "search");
    GtkTextIter start;
    gtk_text_buffer_get_start_iter(GTK_TEXT_BUFFER(page->buffer.get()), &start);
    ASSERT_TRUE(gtk_text_iter_has_tag(&start, search));
    ASSERT_TRUE(activate_menu_item("Rafraichir la coloration syntaxique"));
    gtk_text_buffer_get_start_iter(GTK_TEXT_BUFFER(page->buffer.get()), &start);
    EXPECT_FALSE(gtk_text_iter_has_tag(&start, search));
    EXPECT_EQ(language_of(page), "perl");
}

TEST_F(HighlightTest, RefreshColoursTheKeywordsAgain) {
    new_document();
    DocumentPage* page = current_document();
    doc_insert_at_cursor(page, "int main(void) {\n    return 0;\n}\n");
    ASSERT_TRUE(activate_menu_item_path({"Vue", "Coloration syntaxique", "C"}));
    const int keyword = 21; // "return"
    ASSERT_TRUE(spin_until([&] { return coloured_at(page, keyword); }));
    ASSERT_TRUE(activate_menu_item("Rafraichir la coloration syntaxique"));
    EXPECT_TRUE(spin_until([&] { return coloured_at(page, keyword); }, 3000));
}

TEST_F(HighlightTest, ThemeSwitchRewritesTheFileAndEveryOpenView) {
    // Without a document nothing happens.
    ASSERT_TRUE(activate_menu_item("Theme Cobalt"));
    EXPECT_EQ(file_read_all(config_path("orvane_theme")), "classic\n");

    new_document();
    DocumentPage* first = current_document();
    new_document();
    DocumentPage* second = current_document();
    ASSERT_TRUE(activate_menu_item("Theme Cobalt"));
    EXPECT_EQ(file_read_all(config_path("orvane_theme")), "cobalt\n");
    EXPECT_EQ(scheme_of(first->buffer.get()), "cobalt");
    EXPECT_EQ(scheme_of(second->buffer.get()), "cobalt");
    EXPECT_EQ(scheme_of(log_buffer()), "cobalt");

    // Tango leaves the log in its previous scheme.
    ASSERT_TRUE(activate_menu_item("Theme Tango"));
    EXPECT_EQ(file_read_all(config_path("orvane_theme")), "tango\n");
    EXPECT_EQ(scheme_of(first->buffer.get()), "tango");
    EXPECT_EQ(scheme_of(second->buffer.get()), "tango");
    EXPECT_EQ(scheme_of(log_buffer()), "cobalt");

    // A page created later reads the file.
    new_document();
    EXPECT_EQ(scheme_of(current_document()->buffer.get()), "tango");
    ASSERT_TRUE(activate_menu_item("Theme Classic (Default)"));
    EXPECT_EQ(file_read_all(config_path("orvane_theme")), "classic\n");
    EXPECT_EQ(scheme_of(first->buffer.get()), "classic");
}

} // namespace
