// The typing aids driven by real key events delivered to a page's view: pairs
// of brackets and quotes by file name and setting, autoreplace, auto-indent,
// Tab as block indent, the key-release status line and word marks, and the
// block, line and picture commands.
#include <gtest/gtest.h>

#include <gdk/gdkkeysyms.h>
#include <string>

#include "documents/autoreplace.h"
#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/typing.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "shell/gobj.h"
#include "shell/lines.h"
#include "shell/ui/config_actions.h"

namespace {

GtkTextBuffer* buffer_of(DocumentPage* page) {
    return GTK_TEXT_BUFFER(page->buffer.get());
}

// A page named `path` holding `text`, the cursor at `cursor`, the view ready
// for keys.
DocumentPage* page_at(const std::string& path, const std::string& text = "", long cursor = 0) {
    new_document();
    DocumentPage* page = current_document();
    page->path = path;
    GtkSourceBuffer* buffer = page->buffer.get();
    gtk_source_buffer_begin_not_undoable_action(buffer);
    gtk_text_buffer_set_text(buffer_of(page), text.data(), static_cast<gint>(text.size()));
    gtk_source_buffer_end_not_undoable_action(buffer);
    doc_set_cursor_offset(page, cursor);
    gtk_widget_grab_focus(page->view);
    flush_events();
    return page;
}

std::string text_of(DocumentPage* page) {
    return doc_get_text(buffer_of(page));
}

long cursor_of(DocumentPage* page) {
    return doc_get_cursor_offset(page);
}

void select(DocumentPage* page, long start, long end) {
    select_offsets(buffer_of(page), start, end);
}

// Text and cursor after typing `keys` into a fresh page at `path`.
std::pair<std::string, long> typed(const std::string& path, const std::string& keys) {
    DocumentPage* page = page_at(path);
    type_text(page->view, keys);
    return {text_of(page), cursor_of(page)};
}

class TypingTest : public GuiTest {
  protected:
    void set_rc(const std::string& lines) {
        write_config_file("orvane_rc", lines);
        config_reload_and_apply();
    }
};

TEST_F(TypingTest, ParenthesisPairsInEveryPageWhateverTheSetting) {
    for (const char* rc : {"use_textcompbloc=1\n", "use_textcompbloc=0\n"}) {
        set_rc(rc);
        for (const char* path : {"/tmp/a.txt", "/tmp/page.html", "/tmp/script"}) {
            auto [text, cursor] = typed(path, "(");
            EXPECT_EQ(text, "()") << rc << path;
            EXPECT_EQ(cursor, 1) << rc << path;
        }
    }
}

TEST_F(TypingTest, BracketsAndQuotesFollowTheExtensionWithTheSettingOn) {
    set_rc("use_textcompbloc=1\n");
    // Double quote: one in a .txt file, two elsewhere with the cursor between.
    EXPECT_EQ(typed("/tmp/notes.txt", "\""), (std::pair<std::string, long>{"\"", 1}));
    EXPECT_EQ(typed("/tmp/page.php", "\""), (std::pair<std::string, long>{"\"\"", 1}));
    EXPECT_EQ(typed("/tmp/page.html", "\""), (std::pair<std::string, long>{"\"\"", 1}));
    EXPECT_EQ(typed("/tmp/notes.txt", "'"), (std::pair<std::string, long>{"'", 1}));
    EXPECT_EQ(typed("/tmp/a.pl", "'"), (std::pair<std::string, long>{"''", 1}));
    EXPECT_EQ(typed("/tmp/notes.txt", "{"), (std::pair<std::string, long>{"{}", 1}));
    EXPECT_EQ(typed("/tmp/page.html", "["), (std::pair<std::string, long>{"[]", 1}));
    EXPECT_EQ(typed("/tmp/page.html", "<"), (std::pair<std::string, long>{"<>", 1}));
    EXPECT_EQ(typed("/tmp/notes.txt", "<"), (std::pair<std::string, long>{"<", 1}));
    // Typed inside a pair, the text goes between.
    EXPECT_EQ(typed("/tmp/page.html", "<b"), (std::pair<std::string, long>{"<b>", 2}));
    // Without an extension only the parenthesis pairs.
    EXPECT_EQ(typed("/tmp/script", "\"{[<'"), (std::pair<std::string, long>{"\"{[<'", 5}));
    EXPECT_EQ(typed("noname_7", "{"), (std::pair<std::string, long>{"{", 1}));
}

TEST_F(TypingTest, WithTheSettingOffOnlyTheParenthesisPairs) {
    set_rc("use_textcompbloc=0\n");
    for (const char* path : {"/tmp/page.html", "/tmp/page.php", "/tmp/notes.txt", "/tmp/script"}) {
        EXPECT_EQ(typed(path, "\"{[<'").first, "\"{[<'") << path;
        EXPECT_EQ(typed(path, "(").first, "()") << path;
    }
}

TEST_F(TypingTest, AutoreplaceWithTheDefaultTable) {
    set_rc("do_autorep=1\n");
    // Start-up reads the table the first start wrote.
    autoreplace_load(config_path("orvane_autoreplace"));
    ASSERT_TRUE(autoreplace_table());
    DocumentPage* page = page_at("/tmp/a.txt");
    type_text(page->view, "I use Linux every day");
    EXPECT_EQ(text_of(page), "I use GNU/Linux every day");
    set_rc("do_autorep=0\n");
    page = page_at("/tmp/a.txt");
    type_text(page->view, "Linux ");
    EXPECT_EQ(text_of(page), "Linux ");
    autoreplace_clear();
}

TEST_F(TypingTest, AutoIndentOnReturnOnlyWhenAskedFor) {
    set_rc("use_auto_indent=1\n");
    DocumentPage* page = page_at("/tmp/a.c", "  \tfoo", 6);
    EXPECT_TRUE(press_key(page->view, GDK_KEY_Return));
    EXPECT_EQ(text_of(page), "  \tfoo\n  \t");
    EXPECT_EQ(cursor_of(page), 10);
    set_rc("use_auto_indent=0\n");
    page = page_at("/tmp/a.c", "  foo", 5);
    press_key(page->view, GDK_KEY_Return);
    EXPECT_EQ(text_of(page), "  foo\n");
}

TEST_F(TypingTest, TabIndentsTheLineOrTheSelectedLines) {
    set_rc("tab_size=3\nins_spaces_on_tab_press=0\n");
    // In the middle of a line: the whole line, the text at the cursor unchanged.
    DocumentPage* page = page_at("/tmp/a.c", "abc def", 4);
    EXPECT_TRUE(type_key(page->view, GDK_KEY_Tab));
    EXPECT_EQ(text_of(page), "\tabc def");
    EXPECT_EQ(cursor_of(page), 5);

    // A three-line selection that ends at the start of a fourth line.
    page = page_at("/tmp/a.c", "one\ntwo\nthree\nfour\n", 0);
    select(page, 1, 14);
    EXPECT_TRUE(type_key(page->view, GDK_KEY_Tab));
    EXPECT_EQ(text_of(page), "\tone\n\ttwo\n\tthree\nfour\n");
    EXPECT_EQ(doc_get_selection(page), "ne\n\ttwo\n\tthree\n");
    // One undo step takes all three back.
    gtk_source_buffer_undo(page->buffer.get());
    EXPECT_EQ(text_of(page), "one\ntwo\nthree\nfour\n");

    set_rc("tab_size=3\nins_spaces_on_tab_press=1\n");
    page = page_at("/tmp/a.c", "one\ntwo\nthree", 0);
    select(page, 0, 13);
    EXPECT_TRUE(type_key(page->view, GDK_KEY_Tab));
    EXPECT_EQ(text_of(page), "   one\n   two\n   three");
}

TEST_F(TypingTest, UnindentRemovesATabOrAWholeTabOfSpaces) {
    set_rc("tab_size=3\n");
    DocumentPage* page = page_at("/tmp/a.c", "\tone\n    two\n  three\nfour", 0);
    select(page, 0, 22);
    ASSERT_TRUE(activate_menu_item("Undindent"));
    EXPECT_EQ(text_of(page), "one\n two\n  three\nfour");
    // Two spaces with tab_size 3: nothing changes.
    page = page_at("/tmp/a.c", "  x", 3);
    ASSERT_TRUE(activate_menu_item("Undindent"));
    EXPECT_EQ(text_of(page), "  x");
    ASSERT_TRUE(activate_menu_item("Indent"));
    EXPECT_EQ(text_of(page), "\t  x");
}

TEST_F(TypingTest, KeyReleaseShowsTheStatusLineAndMarksTheWord) {
    DocumentPage* page = page_at("/tmp/a.c", "foo bar\nfoo baz foo", 0);
    doc_set_cursor_offset(page, 11);
    release_key(page->view, GDK_KEY_Right);
    EXPECT_EQ(status_text(), " [File] : /tmp/a.c\t\t [Col] : 4 \t\t[Ln] : 2/2");
    GtkTextTag* gray =
        gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer_of(page)), "gray_bg");
    auto marked = [&](int offset) {
        GtkTextIter it;
        gtk_text_buffer_get_iter_at_offset(buffer_of(page), &it, offset);
        return gtk_text_iter_has_tag(&it, gray);
    };
    EXPECT_TRUE(marked(0));
    EXPECT_TRUE(marked(8));
    EXPECT_TRUE(marked(16));
    EXPECT_FALSE(marked(4));

    // In a text of 2000 lines nothing is marked.
    std::string long_text;
    for (int i = 0; i < 2000; ++i)
        long_text += "foo\n";
    page = page_at("/tmp/b.c", long_text, 3);
    release_key(page->view, GDK_KEY_Right);
    GtkTextIter it;
    gtk_text_buffer_get_start_iter(buffer_of(page), &it);
    EXPECT_FALSE(gtk_text_iter_has_tag(&it, gray));
}

TEST_F(TypingTest, DeleteLineAndTheBlockJumps) {
    DocumentPage* page = page_at("/tmp/a.c", "one\ntwo\nthree", 5);
    ASSERT_TRUE(activate_menu_item("Supprimer la ligne"));
    EXPECT_EQ(text_of(page), "one\nthree");
    // The last line without final newline keeps what precedes the cursor.
    doc_set_cursor_offset(page, 6);
    ASSERT_TRUE(activate_menu_item("Supprimer la ligne"));
    EXPECT_EQ(text_of(page), "one\nth");

    const std::string code = "f() {\n  if (x) { a; }\n  b;\n}";
    page = page_at("/tmp/a.c", code, static_cast<long>(code.find("b;")));
    ASSERT_TRUE(activate_menu_item("Aller au début du bloque {"));
    EXPECT_EQ(cursor_of(page), 5);
    ASSERT_TRUE(activate_menu_item("Aller à la fin du bloque }"));
    EXPECT_EQ(cursor_of(page), static_cast<long>(code.size()) - 1);
    page = page_at("/tmp/a.c", "no braces", 3);
    ASSERT_TRUE(activate_menu_item("Aller à la fin du bloque }"));
    EXPECT_EQ(cursor_of(page), 9);
    ASSERT_TRUE(activate_menu_item("Aller au début du bloque {"));
    EXPECT_EQ(cursor_of(page), 0);
}

TEST_F(TypingTest, WordWrapToggles) {
    DocumentPage* page = page_at("/tmp/a.c");
    const GtkWrapMode before = gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(page->view));
    ASSERT_TRUE(activate_menu_item("Retour à la ligne"));
    const GtkWrapMode after = gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(page->view));
    EXPECT_NE(before, after);
    EXPECT_TRUE(after == GTK_WRAP_WORD || after == GTK_WRAP_NONE);
    ASSERT_TRUE(activate_menu_item("Retour à la ligne"));
    EXPECT_EQ(gtk_text_view_get_wrap_mode(GTK_TEXT_VIEW(page->view)), before);
}

TEST_F(TypingTest, InlinePicturesAreThumbnailsBeforeTheClosingQuote) {
    set_rc("thumb_width=20\nthumb_height=20\n");
    const std::string dir = home().path();
    GObjectPtr<GdkPixbuf> big(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 64, 64));
    gdk_pixbuf_fill(big.get(), 0x336699ff);
    ASSERT_TRUE(gdk_pixbuf_save(big.get(), (dir + "/p.png").c_str(), "png", nullptr, nullptr));
    const std::string html = dir + "/index.html";
    const std::string text = "<img src=\"p.png\"> <img src='missing.png'> <IMG SRC=\"p.png\">";
    ASSERT_TRUE(string_to_file(html, text));
    DocumentPage* page = page_at(html, text);
    gtk_text_buffer_set_modified(buffer_of(page), TRUE);
    ASSERT_TRUE(activate_menu_item("Afficher les images dans le texte"));

    std::string with_pictures;
    {
        GtkTextIter a, b;
        gtk_text_buffer_get_bounds(buffer_of(page), &a, &b);
        GCharPtr slice(gtk_text_iter_get_slice(&a, &b));
        with_pictures = slice.get();
    }
    EXPECT_EQ(with_pictures, "<img src=\"p.png\uFFFC\"> <img src='missing.png'> <IMG "
                             "SRC=\"p.png\uFFFC\">");
    GtkTextIter at;
    gtk_text_buffer_get_iter_at_offset(buffer_of(page), &at, 15);
    GdkPixbuf* thumb = gtk_text_iter_get_pixbuf(&at);
    ASSERT_NE(thumb, nullptr);
    EXPECT_LE(gdk_pixbuf_get_width(thumb), 20);
    EXPECT_LE(gdk_pixbuf_get_height(thumb), 20);
    gtk_text_buffer_get_iter_at_offset(
        buffer_of(page), &at, static_cast<int>(g_utf8_strlen(with_pictures.c_str(), -1)) - 3);
    GdkPixbuf* full = gtk_text_iter_get_pixbuf(&at);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(gdk_pixbuf_get_width(full), 64);

    // Pictures are no edit: edits made before still count as unsaved, and a
    // page in step with its file stays so.
    ASSERT_TRUE(string_to_file(html, "<img src=\"p.png\"> <IMG SRC=\"p.png\">"));
    for (gboolean modified : {1, 0}) {
        page = page_at(html, "<img src=\"p.png\"> <IMG SRC=\"p.png\">");
        gtk_text_buffer_set_modified(buffer_of(page), modified);
        ASSERT_TRUE(activate_menu_item("Afficher les images dans le texte"));
        // Both pictures went in.
        EXPECT_EQ(gtk_text_buffer_get_char_count(buffer_of(page)), 35 + 2);
        EXPECT_EQ(gtk_text_buffer_get_modified(buffer_of(page)), modified);
    }
}

TEST_F(TypingTest, EditorSettingsReachEveryPageAfterALoad) {
    DocumentPage* first = page_at("/tmp/a.c");
    DocumentPage* second = page_at("/tmp/b.c");
    auto tab_width = [](DocumentPage* page) {
        PangoTabArray* tabs = gtk_text_view_get_tabs(GTK_TEXT_VIEW(page->view));
        gint position = 0;
        PangoTabAlign align;
        pango_tab_array_get_tab(tabs, 0, &align, &position);
        pango_tab_array_free(tabs);
        return position;
    };
    set_rc("tab_size=2\n");
    const int two = tab_width(first);
    EXPECT_GT(two, 0);
    set_rc("tab_size=8\n");
    EXPECT_EQ(tab_width(first), tab_width(second));
    EXPECT_NEAR(tab_width(first), two * 4, 4);
    set_rc("tab_size=0\n");
    EXPECT_EQ(tab_width(second), 0);
}

} // namespace
