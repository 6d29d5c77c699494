// The "In" list, its suspect-line marks and include opener, and "Doc Gen", in
// the real main window.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <webkit2/webkit2.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
#include "gui/support/gui_fixture.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/window_parts.h"
#include "tools/ui/symbols.h"
#include "web/ui/web_views.h"

namespace {

struct Row {
    std::string text;
    std::string line;
    bool operator==(const Row&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Row& row) {
    return out << "{\"" << row.text << "\", \"" << row.line << "\"}";
}

std::vector<Row> list_rows(std::vector<GdkPixbuf*>* pictures = nullptr) {
    std::vector<Row> rows;
    GtkTreeModel* model = symbols_model();
    GtkTreeIter iter;
    for (bool ok = model && gtk_tree_model_get_iter_first(model, &iter); ok;
         ok = gtk_tree_model_iter_next(model, &iter)) {
        GdkPixbuf* picture = nullptr;
        gchar* text = nullptr;
        gchar* line = nullptr;
        gtk_tree_model_get(model, &iter, 0, &picture, 1, &text, 2, &line, -1);
        rows.push_back({text ? text : "", line ? line : "<none>"});
        if (pictures) pictures->push_back(picture);
        if (picture) g_object_unref(picture);
        g_free(text);
        g_free(line);
    }
    return rows;
}

bool scan_done() {
    return spin_until([] { return !symbols_scan_pending(); });
}

DocumentPage* open_page(const std::string& path, const std::string& text) {
    write_file(path, text);
    DocumentPage* page = open_and_show(path);
    EXPECT_TRUE(page) << path;
    EXPECT_TRUE(scan_done());
    return page;
}

GtkTextBuffer* buffer_of(DocumentPage* page) {
    return GTK_TEXT_BUFFER(page->buffer.get());
}

// The 1-based lines of the buffer that carry the suspect mark.
std::vector<int> marked_lines(GtkTextBuffer* buffer) {
    GtkTextTag* tag = gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), "err2");
    std::vector<int> lines;
    for (int i = 0; i < gtk_text_buffer_get_line_count(buffer); ++i) {
        GtkTextIter it;
        gtk_text_buffer_get_iter_at_line(buffer, &it, i);
        if (gtk_text_iter_has_tag(&it, tag)) lines.push_back(i + 1);
    }
    return lines;
}

std::string selected_text(GtkTextBuffer* buffer) {
    GtkTextIter start, end;
    if (!gtk_text_buffer_get_selection_bounds(buffer, &start, &end)) return "";
    return doc_slice(start, end);
}

GtkTreePath* row_path(int index) {
    return gtk_tree_path_new_from_indices(index, -1);
}

GtkWidget* widget_named(const char* name) {
    return find_widget(GTK_WIDGET(main_window()), [name](GtkWidget* w) {
        return std::string(gtk_widget_get_name(w)) == name;
    });
}

// Opens the FIFO for writing after `delay`, again and again until it goes, so
// that a reader blocked on it gets its end of file: a fault shows up as a slow
// test instead of a hung one.
class FifoRelease {
  public:
    FifoRelease(std::string path, std::chrono::milliseconds delay)
        : thread_([this, path = std::move(path), delay] {
              const auto start = std::chrono::steady_clock::now();
              while (!stop_) {
                  if (std::chrono::steady_clock::now() - start >= delay) {
                      int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
                      if (fd >= 0) ::close(fd);
                  }
                  std::this_thread::sleep_for(std::chrono::milliseconds(50));
              }
          }) {}
    ~FifoRelease() {
        stop_ = true;
        thread_.join();
    }

  private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

TEST_F(GuiTest, OpeningAPhpFileFillsTheListAndARowJumpsToItsLine) {
    const std::string path = home().file("t.php");
    DocumentPage* page = open_page(path, "<?php\r\ninclude \"a.php\";\r\nfunction f($x)\r\n{\r\n"
                                         "$v = $_GET['id'];\r\n}\r\nsub handler {\r\n");
    std::vector<GdkPixbuf*> pictures;
    EXPECT_EQ(list_rows(&pictures), (std::vector<Row>{{"", "<none>"},
                                                      {"a.php", "2"},
                                                      {" f($x)", "3"},
                                                      {"v = $_GET['id'", "5"},
                                                      {" handler {", "7"}}));
    // One picture per kind, shared by its rows: the first row and a suspect
    // share the bug, the two declarations the same picture.
    ASSERT_EQ(pictures.size(), 5u);
    EXPECT_EQ(pictures[2], pictures[4]);
    EXPECT_NE(pictures[1], pictures[2]);

    GtkTreeView* view = symbols_view();
    GtkTreeSelection* selection = gtk_tree_view_get_selection(view);
    GtkTreePath* first = row_path(0);
    gtk_tree_selection_select_path(selection, first);
    gtk_tree_path_free(first);
    EXPECT_EQ(command_entry_text(), "");
    GtkTreePath* declaration = row_path(2);
    gtk_tree_selection_select_path(selection, declaration);
    EXPECT_EQ(command_entry_text(), "3");
    EXPECT_EQ(selected_text(buffer_of(page)), "function f($x)");

    // With another tab in front, activating the same row again shows the
    // scanned page and selects the line once more.
    new_document();
    ASSERT_NE(current_document(), page);
    gtk_tree_view_row_activated(view, declaration, gtk_tree_view_get_column(view, 0));
    gtk_tree_path_free(declaration);
    EXPECT_EQ(current_document(), page);
    EXPECT_EQ(selected_text(buffer_of(page)), "function f($x)");
}

TEST_F(GuiTest, SuspectLinesAreMarkedAndTheMarksFollowTheSavedFile) {
    const std::string path = home().file("s.php");
    DocumentPage* page = open_page(path, "<?php\nfoo($a)\n$x = 1\nif ($a)\n$y = 2;\n");
    EXPECT_EQ(marked_lines(buffer_of(page)), (std::vector<int>{2, 3}));
    EXPECT_EQ(list_rows(), (std::vector<Row>{{"", "<none>"}, {"foo($a)", "2"}}));

    gtk_text_buffer_set_text(buffer_of(page), "<?php\nfoo($a);\n$x = 1;\nif ($a)\nbar();", -1);
    save_current_document();
    ASSERT_TRUE(scan_done());
    EXPECT_EQ(marked_lines(buffer_of(page)), std::vector<int>{});
    EXPECT_EQ(list_rows(), (std::vector<Row>{{"", "<none>"}}));

    // The button reads the file as it is on disk now; a suspect line past the
    // page's end is listed but marks nothing.
    write_file(path, "<?php\nok();\n$x = 1;\n\n\n\n\nlate()\n");
    gtk_button_clicked(GTK_BUTTON(widget_named("symbols_scan")));
    ASSERT_TRUE(scan_done());
    EXPECT_EQ(marked_lines(buffer_of(page)), std::vector<int>{});
    EXPECT_EQ(list_rows().back(), (Row{"late()", "8"}));
}

TEST_F(GuiTest, IncludeOpenerOpensEachExistingRegularFileOnceWithoutBlocking) {
    const std::string site = home().file("site");
    ASSERT_EQ(g_mkdir_with_parents((site + "/lib/sub").c_str(), 0700), 0);
    write_file(site + "/lib/a.php", "<?php\n");
    write_file(site + "/b.php", "<?php\n");
    // Were names taken from the folder of the file opened last, this one would open.
    write_file(site + "/lib/b.php", "<?php\n");
    const std::string fifo = site + "/pipe.php";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    FifoRelease release(fifo, std::chrono::milliseconds(3000));

    DocumentPage* main_page =
        open_page(site + "/main.php", "<?php\ninclude \"lib/a.php\";\nrequire \"missing.php\";\n"
                                      "include \"pipe.php\";\ninclude \"lib/sub\";\n"
                                      "include \"\";\nrequire_once(\"b.php\");\n"
                                      "include \"lib/a.php\";\n");
    ASSERT_EQ(document_count(), 1);
    const auto started = std::chrono::steady_clock::now();
    gtk_button_clicked(GTK_BUTTON(widget_named("symbols_open_includes")));
    EXPECT_TRUE(spin_until([] { return document_count() == 3; }, 2000));
    spin_for(200);
    std::set<std::string> open;
    for (int i = 0; i < document_count(); ++i)
        open.insert(page_at_index(i)->path);
    EXPECT_EQ(open,
              (std::set<std::string>{site + "/main.php", site + "/lib/a.php", site + "/b.php"}));

    // Again from the same page: the tabs are switched to, not duplicated.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(editor_notebook()), index_of_page(main_page));
    gtk_button_clicked(GTK_BUTTON(widget_named("symbols_open_includes")));
    flush_events();
    EXPECT_EQ(document_count(), 3);

    // Opening the FIFO by its name does not wait for a writer either.
    open_or_switch(fifo);
    EXPECT_EQ(document_count(), 3);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2000));
}

TEST_F(GuiTest, DocGenPutsTheDocumentationInANewTabAndTheMiniWeb) {
    // The generated page shows a picture from the product's site: any address
    // outside goes to a closed local port instead.
    WebKitNetworkProxySettings* proxy =
        webkit_network_proxy_settings_new("http://127.0.0.1:9", nullptr);
    webkit_website_data_manager_set_network_proxy_settings(
        webkit_web_context_get_website_data_manager(webkit_web_context_get_default()),
        WEBKIT_NETWORK_PROXY_MODE_CUSTOM, proxy);
    webkit_network_proxy_settings_free(proxy);

    const std::string folder = home().file("src");
    ASSERT_EQ(g_mkdir_with_parents(folder.c_str(), 0700), 0);
    open_page(folder + "/index.php", "<?php\ninclude \"lib.php\";\nfunction f($a)\n");
    ASSERT_GT(list_rows().size(), 1u);

    ASSERT_TRUE(activate_menu_item_path({"Fichier", "Doc Gen"}));
    ASSERT_EQ(document_count(), 2);
    const std::string html = doc_get_text(current_document_buffer());
    EXPECT_EQ(html.rfind("<!DOCTYPE", 0), 0u) << html.substr(0, 80);
    EXPECT_NE(html.find("<a href=\"#Include file : lib.php\">"), std::string::npos);
    EXPECT_EQ(status_text(), "New File [OK]");
    EXPECT_TRUE(list_rows().empty());
    GtkWidget* mini_web = web_panel_view(WebPanel::mini_web);
    ASSERT_TRUE(mini_web);
    EXPECT_TRUE(spin_until([mini_web, &folder] {
        const char* uri = webkit_web_view_get_uri(WEBKIT_WEB_VIEW(mini_web));
        return uri && std::string(uri) == "file://" + folder + "/";
    }));

    // The toolbar's button does the same; the generated page itself was never
    // saved, so asking again from it only says so.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(editor_notebook()), 0);
    g_signal_emit_by_name(widget_named("gtk-about"), "clicked");
    EXPECT_EQ(document_count(), 3);
    EXPECT_FALSE(current_document()->is_file);
    activate_menu_item_path({"Fichier", "Doc Gen"});
    EXPECT_EQ(document_count(), 3);
    EXPECT_NE(log_text().find("Sauvegardez le fichier avant..."), std::string::npos);
}
