// The Mini Web, the browser windows, downloads, the web search and the Aide
// windows, driven through the main window. Pages are file:// pages or come
// from a loopback server the test starts; nothing reaches the network.
#include "gui/support/gui_fixture.h"
#include "gui/support/loopback_http.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gstdio.h>
#include <webkit2/webkit2.h>

#include <set>

#include "documents/ui/document_hooks.h"
#include "documents/ui/documents.h"
#include "shell/gobj.h"
#include "shell/ui/window_parts.h"
#include "web/product_pages.h"
#include "web/ui/mini_web.h"
#include "web/ui/web_views.h"

namespace {

constexpr int kLoad = 30000; // ms: a busy machine loads slowly

class MiniBrowser : public GuiTest {
  protected:
    void prepare_home() override { web_panels_allow_remote_start_pages(false); }

    GtkWidget* named(const char* name, GtkWidget* root = nullptr) const {
        return find_widget(root ? root : window(), [name](GtkWidget* w) {
            return g_strcmp0(gtk_widget_get_name(w), name) == 0;
        });
    }

    // The Mini Web page shown, so that its view is built.
    GtkWidget* show_mini_web() {
        gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()), 2);
        gtk_notebook_set_current_page(GTK_NOTEBOOK(bottom_notebook()), 4);
        flush_events();
        return web_panel_view(WebPanel::mini_web);
    }

    std::string entry() const { return gtk_entry_get_text(GTK_ENTRY(named("mini_web_entry"))); }

    std::vector<std::string> history() const {
        GtkEntryCompletion* completion =
            gtk_entry_get_completion(GTK_ENTRY(named("mini_web_entry")));
        GtkTreeModel* model = gtk_entry_completion_get_model(completion);
        std::vector<std::string> rows;
        GtkTreeIter it;
        for (bool ok = gtk_tree_model_get_iter_first(model, &it); ok;
             ok = gtk_tree_model_iter_next(model, &it)) {
            gchar* text = nullptr;
            gtk_tree_model_get(model, &it, 0, &text, -1);
            rows.emplace_back(text ? text : "");
            g_free(text);
        }
        return rows;
    }

    // The Mini Web tool button whose tooltip is `tip`.
    void click_tool(const char* tip) {
        GtkWidget* button = find_widget(panel_page(PanelPage::mini_web), [tip](GtkWidget* w) {
            if (!GTK_IS_TOOL_BUTTON(w)) return false;
            GCharPtr text(gtk_widget_get_tooltip_text(w));
            return text && g_strcmp0(text.get(), tip) == 0;
        });
        ASSERT_NE(button, nullptr) << tip;
        // A picture button is named by its tooltip for assistive technologies.
        AtkObject* accessible = gtk_widget_get_accessible(gtk_bin_get_child(GTK_BIN(button)));
        EXPECT_STREQ(atk_object_get_name(accessible), tip);
        g_signal_emit_by_name(button, "clicked");
    }

    void enter_address(const std::string& address) {
        GtkWidget* e = named("mini_web_entry");
        gtk_entry_set_text(GTK_ENTRY(e), address.c_str());
        g_signal_emit_by_name(e, "activate");
    }

    std::string page(const std::string& name, const std::string& title,
                     const std::string& body = "") {
        const std::string path = home().file(name);
        write_file(path, "<html><head><meta charset='utf-8'><title>" + title +
                             "</title></head><body>" + body + "</body></html>");
        return path;
    }
};

std::string uri_of(GtkWidget* view) {
    const gchar* uri = view ? webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view)) : nullptr;
    return uri ? uri : "";
}

std::string title_of(GtkWidget* view) {
    const gchar* title = view ? webkit_web_view_get_title(WEBKIT_WEB_VIEW(view)) : nullptr;
    return title ? title : "";
}

bool loaded(GtkWidget* view, const std::string& title) {
    return title_of(view) == title && !webkit_web_view_is_loading(WEBKIT_WEB_VIEW(view));
}

std::string file_uri(const std::string& path) {
    GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
    return uri.get();
}

// The toplevel windows other than the main window, by title.
GtkWidget* toplevel_titled(const std::string& title) {
    GtkWidget* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l; l = l->next) {
        const gchar* t = gtk_window_get_title(GTK_WINDOW(l->data));
        if (t && title == t && gtk_widget_get_visible(GTK_WIDGET(l->data)))
            found = GTK_WIDGET(l->data);
    }
    g_list_free(all);
    return found;
}

// Every file name under `dir`, recursively, with how often it occurs.
void list_files(const std::string& dir, std::multiset<std::string>& names) {
    GDir* d = g_dir_open(dir.c_str(), 0, nullptr);
    if (!d) return;
    while (const gchar* n = g_dir_read_name(d)) {
        const std::string path = dir + "/" + n;
        names.insert(n);
        if (g_file_test(path.c_str(), G_FILE_TEST_IS_DIR) &&
            !g_file_test(path.c_str(), G_FILE_TEST_IS_SYMLINK))
            list_files(path, names);
    }
    g_dir_close(d);
}

// How many files under `dir` have a name containing `part`.
std::size_t files_containing(const std::string& dir, const std::string& part) {
    std::multiset<std::string> names;
    list_files(dir, names);
    std::size_t count = 0;
    for (const auto& n : names)
        if (n.find(part) != std::string::npos) ++count;
    return count;
}

void write_png(const std::string& path) {
    GObjectPtr<GdkPixbuf> pixbuf(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 4, 4));
    gdk_pixbuf_fill(pixbuf.get(), 0x3366ccff);
    ASSERT_TRUE(gdk_pixbuf_save(pixbuf.get(), path.c_str(), "png", nullptr, nullptr));
}

} // namespace

// Opening a page previews it at its real address, whatever its name holds; a
// picture address shows the picture buttons by its exact ending, and the
// insert button puts the decoded path into the page.
TEST_F(MiniBrowser, PreviewAddressesAndPictureButtons) {
    g_mkdir(home().file("C#").c_str(), 0700);
    const std::string html = page("C#/a b.html", "Aperçu");
    // Opened before the Mini Web was ever shown: its page keeps the address.
    ASSERT_NE(open_file(html), nullptr);
    GtkWidget* view = show_mini_web();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(entry(), file_uri(html));
    EXPECT_NE(entry().find("C%23/a%20b.html"), std::string::npos) << entry();
    ASSERT_TRUE(spin_until([&] { return loaded(view, "Aperçu"); }, kLoad)) << title_of(view);
    EXPECT_EQ(uri_of(view), file_uri(html));

    GtkWidget* pictures = named("mini_web_picture_buttons");
    EXPECT_FALSE(gtk_widget_get_visible(pictures));
    const std::string png = home().file("C#/p q.png");
    write_png(png);
    open_file(png);
    EXPECT_EQ(entry(), file_uri(png));
    EXPECT_TRUE(gtk_widget_get_visible(pictures));
    EXPECT_TRUE(gtk_widget_get_mapped(named("mini_web_insert_name")));

    // The open page (the HTML file) receives the path, decoded.
    GtkTextBuffer* buffer = current_document_buffer();
    ASSERT_NE(buffer, nullptr);
    gtk_text_buffer_set_text(buffer, "", -1);
    gtk_button_clicked(GTK_BUTTON(named("mini_web_insert_name")));
    EXPECT_EQ(text_view_text(current_document_view()), png);

    // GIMP gets the path as one word.
    {
        RecordedCommands recorded;
        const std::string bin = home().file("bin");
        g_mkdir(bin.c_str(), 0700);
        write_file(bin + "/gimp", "#!/bin/sh\n");
        g_chmod((bin + "/gimp").c_str(), 0700);
        const std::string path = g_getenv("PATH") ? g_getenv("PATH") : "";
        g_setenv("PATH", (bin + ":" + path).c_str(), TRUE);
        gtk_button_clicked(GTK_BUTTON(named("mini_web_gimp")));
        g_setenv("PATH", path.c_str(), TRUE);
        EXPECT_EQ(recorded.lines, std::vector<std::string>{"gimp '" + png + "' &"});
    }

    // The ending is compared as written: ".PNG" is not a picture address, and
    // the file is still loaded.
    const std::string upper = home().file("r.PNG");
    write_png(upper);
    gtk_entry_set_text(GTK_ENTRY(named("mini_web_entry")), file_uri(upper).c_str());
    gtk_button_clicked(GTK_BUTTON(named("mini_web_load_url")));
    EXPECT_FALSE(gtk_widget_get_visible(pictures));
    EXPECT_TRUE(spin_until([&] { return uri_of(view) == file_uri(upper); }, kLoad));
}

// Each finished load adds a history row; the source view shows the page's
// bytes without its blank page ever reaching the entry or the history, and
// the web view returns to the page.
TEST_F(MiniBrowser, HistoryRowsAndSourceView) {
    GtkWidget* view = show_mini_web();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(spin_until([&] { return loaded(view, "Orvane IDE 1.6.4"); }, kLoad));
    const std::size_t rows = history().size();
    const std::string first = file_uri(page("one.html", "Un"));
    const std::string second = file_uri(page("two.html", "Deux", "<p>corps</p>"));
    enter_address(first);
    ASSERT_TRUE(spin_until([&] { return loaded(view, "Un"); }, kLoad));
    enter_address(second);
    ASSERT_TRUE(spin_until([&] { return loaded(view, "Deux"); }, kLoad));
    ASSERT_TRUE(spin_until([&] { return history().size() == rows + 2; }, kLoad));
    EXPECT_EQ(history()[rows], first);
    EXPECT_EQ(history()[rows + 1], second);
    EXPECT_EQ(entry(), second);

    click_tool("Source View");
    ASSERT_TRUE(spin_until(
        [&] {
            return uri_of(view) == "about:blank" &&
                   !webkit_web_view_is_loading(WEBKIT_WEB_VIEW(view));
        },
        kLoad));
    spin_for(200);
    EXPECT_EQ(entry(), second);
    // The page shown is the text of the file.
    std::string shown;
    webkit_web_resource_get_data(
        webkit_web_view_get_main_resource(WEBKIT_WEB_VIEW(view)), nullptr,
        [](GObject* resource, GAsyncResult* result, gpointer data) {
            gsize length = 0;
            guchar* bytes = webkit_web_resource_get_data_finish(WEBKIT_WEB_RESOURCE(resource),
                                                                result, &length, nullptr);
            *static_cast<std::string*>(data) =
                bytes ? std::string(reinterpret_cast<char*>(bytes), length) : "<none>";
            g_free(bytes);
        },
        &shown);
    ASSERT_TRUE(spin_until([&] { return !shown.empty(); }, kLoad));
    EXPECT_NE(shown.find("<title>Deux</title><"), std::string::npos) << shown;

    click_tool("Web view");
    ASSERT_TRUE(spin_until([&] { return loaded(view, "Deux"); }, kLoad)) << uri_of(view);
    EXPECT_EQ(uri_of(view), second);
    EXPECT_EQ(entry(), second);
    for (const auto& row : history())
        EXPECT_NE(row, "about:blank");
}

// A link asking for a new window opens a browser window titled with the
// page's title; the Mini Web stays where it was.
TEST_F(MiniBrowser, NewWindowLinkOpensABrowserWindow) {
    GtkWidget* view = show_mini_web();
    ASSERT_NE(view, nullptr);
    page("target.html", "Cible");
    const std::string links = file_uri(
        page("links.html", "Liens", "<a id='l' href='target.html' target='_blank'>cible</a>"));
    enter_address(links);
    ASSERT_TRUE(spin_until([&] { return loaded(view, "Liens"); }, kLoad));
    webkit_web_view_evaluate_javascript(WEBKIT_WEB_VIEW(view),
                                        "document.getElementById('l').click()", -1, nullptr,
                                        nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(spin_until([] { return toplevel_titled("Cible") != nullptr; }, kLoad));
    GtkWidget* browser = toplevel_titled("Cible");
    EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(browser)), main_window());
    GtkWidget* address = named("browser_entry", browser);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(std::string(gtk_entry_get_text(GTK_ENTRY(address))),
              file_uri(home().file("target.html")));
    EXPECT_EQ(uri_of(view), links);
    gtk_widget_destroy(browser);
}

// Downloads land in the file panel's folder under the base name the server
// suggests, never over an existing file, and nowhere when no folder is chosen.
TEST_F(MiniBrowser, DownloadsStayInTheFilePanelFolder) {
    LoopbackHttp server;
    const std::string type = "application/x-orvane-test";
    server.serve("/escape", type, "new bytes",
                 "Content-Disposition: attachment; filename=\"../x\"\r\n");
    server.serve("/old", type, "new bytes",
                 "Content-Disposition: attachment; filename=\"old.txt\"\r\n");
    server.serve("/refused", type, "refused bytes",
                 "Content-Disposition: attachment; filename=\"orvane-refused.bin\"\r\n");
    const std::string folder = home().file("target");
    g_mkdir(folder.c_str(), 0700);
    write_file(folder + "/old.txt", "old bytes");
    // Before its page first shows, the panel's folder is the one it will open on.
    if (!window_part(WindowPart::file_panel)) {
        EXPECT_EQ(file_panel_folder(), home().path());
    }
    file_panel_set_folder(folder);
    ASSERT_TRUE(spin_until([&] { return file_panel_folder() == folder; }));
    GtkWidget* view = show_mini_web();
    ASSERT_NE(view, nullptr);

    // A suggested "../x" stays inside the folder.
    gtk_entry_set_text(GTK_ENTRY(named("mini_web_entry")), server.url("/escape").c_str());
    gtk_button_clicked(GTK_BUTTON(named("mini_web_load_url")));
    ASSERT_TRUE(spin_until([&] { return status_text() == "Download [OK]"; }, kLoad))
        << status_text();
    EXPECT_EQ(read_file(folder + "/x"), "new bytes");
    EXPECT_FALSE(g_file_test(home().file("x").c_str(), G_FILE_TEST_EXISTS));

    // An existing file is left alone.
    enter_address(server.url("/old"));
    ASSERT_TRUE(spin_until([&] { return status_text() == "File download exists [ERROR]"; }, kLoad))
        << status_text();
    EXPECT_NE(log_text().find("File Error.download exists"), std::string::npos);
    spin_for(500);
    EXPECT_EQ(read_file(folder + "/old.txt"), "old bytes");
    std::multiset<std::string> names;
    list_files(folder, names);
    EXPECT_EQ(names, (std::multiset<std::string>{"old.txt", "x"}));

    // Without a folder the download is refused and saved nowhere, not even in
    // the desktop's download folder.
    if (GtkWidget* chooser = window_part(WindowPart::file_panel)) gtk_widget_destroy(chooser);
    gtk_widget_destroy(window_part(WindowPart::file_panel_name));
    ASSERT_EQ(file_panel_folder(), std::nullopt);
    enter_address(server.url("/refused"));
    ASSERT_TRUE(spin_until([&] { return status_text() == "Download ERROR"; }, kLoad))
        << status_text();
    EXPECT_NE(log_text().find("Download Error : vous devez séléctionner un répertoire"),
              std::string::npos);
    EXPECT_GE(server.hits("/refused"), 1);
    spin_for(500);
    EXPECT_EQ(files_containing(home().path(), "orvane-refused"), 0u);
    EXPECT_EQ(files_containing(home().path(), "old.txt"), 1u);
    std::multiset<std::string> downloads;
    list_files(home().file("Downloads"), downloads);
    EXPECT_TRUE(downloads.empty());
}

// F8 and F6 load the selection, encoded, into their MyAdmin pages; the test
// stops the navigation before anything leaves the host.
TEST_F(MiniBrowser, SearchAndTranslationEncodeTheSelection) {
    static std::vector<std::string> asked;
    static bool recording = false;
    asked.clear();
    recording = true;
    // The hooks outlive the test when tests share a process.
    struct StopRecording {
        ~StopRecording() { recording = false; }
    } stop;
    auto record = [](WebPanel, GtkWidget* view) {
        g_signal_connect(
            view, "decide-policy",
            G_CALLBACK(+[](WebKitWebView*, WebKitPolicyDecision* decision,
                           WebKitPolicyDecisionType type, gpointer) -> gboolean {
                if (!recording || type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION)
                    return FALSE;
                auto* action = webkit_navigation_policy_decision_get_navigation_action(
                    WEBKIT_NAVIGATION_POLICY_DECISION(decision));
                asked.emplace_back(
                    webkit_uri_request_get_uri(webkit_navigation_action_get_request(action)));
                webkit_policy_decision_ignore(decision);
                return TRUE;
            }),
            nullptr);
    };
    web_panel_on_created(WebPanel::help_search, record);
    web_panel_on_created(WebPanel::translation, record);

    new_document_with_text("a b&c#d");
    select_offsets(current_document_buffer(), 0, 7);
    ASSERT_TRUE(
        activate_menu_item("Recherche avec google du texte en séléction dans l'onglet MyAdmin"));
    ASSERT_NE(web_panel_ensure_view(WebPanel::help_search), nullptr);
    ASSERT_TRUE(spin_until([] { return asked.size() == 1; }, kLoad));
    EXPECT_TRUE(g_str_has_prefix(asked[0].c_str(), kSearchEngineAddress)) << asked[0];
    EXPECT_TRUE(g_str_has_suffix(asked[0].c_str(), "a%20b%26c%23d")) << asked[0];

    ASSERT_TRUE(activate_menu_item(
        "Traduction avec google du texte en séléction dans l'onglet MyAdmin FR vers EN"));
    ASSERT_NE(web_panel_ensure_view(WebPanel::translation), nullptr);
    ASSERT_TRUE(spin_until([] { return asked.size() == 2; }, kLoad));
    EXPECT_TRUE(g_str_has_prefix(asked[1].c_str(), kTranslationAddress)) << asked[1];
    EXPECT_TRUE(g_str_has_suffix(asked[1].c_str(), "a%20b%26c%23d")) << asked[1];
}

// Each "Aide" entry opens its window with its title; the product pages load
// offline and the about box names the product and its version.
TEST_F(MiniBrowser, AideWindowsCarryTheirTitles) {
    const struct {
        const char* item;
        const char* title;
        const char* page_title; // null: the about box
    } entries[] = {
        {"Vérifiez votre version de Orvane IDE", "Version Orvane IDE", "Version Orvane IDE 1.6.4"},
        {"Lire le manuel/documentation de Orvane IDE", "Documentation Orvane IDE",
         "Documentation Orvane IDE"},
        {"Envoyer un rapport de bug", "Rapport Orvane IDE", nullptr},
        {"A-propos de Orvane IDE", "A-propos de Orvane IDE", nullptr},
    };
    for (const auto& e : entries) {
        ASSERT_TRUE(activate_menu_item(e.item)) << e.item;
        GtkWidget* w = toplevel_titled(e.title);
        ASSERT_NE(w, nullptr) << e.title;
        EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(w)), main_window()) << e.title;
        GtkWidget* view = find_widget(w, [](GtkWidget* c) { return WEBKIT_IS_WEB_VIEW(c); });
        if (e.page_title) {
            ASSERT_NE(view, nullptr);
            EXPECT_TRUE(spin_until([&] { return title_of(view) == e.page_title; }, kLoad))
                << title_of(view);
        }
        if (std::string(e.item) == "A-propos de Orvane IDE") {
            EXPECT_EQ(view, nullptr);
            GtkWidget* text = named("about_text", w);
            ASSERT_NE(text, nullptr);
            EXPECT_TRUE(g_str_has_prefix(gtk_label_get_text(GTK_LABEL(text)), "Orvane IDE 1.6.4"));
        }
        gtk_widget_destroy(w);
    }
}

// The web lists are read at start; saving the bookmark file reads it again.
class ZudaLists : public MiniBrowser {
    void prepare_home() override {
        MiniBrowser::prepare_home();
        write_config_file("orvane_zuda_history", "http://h1\nhttp://h2\n");
        write_config_file("orvane_zuda_bookmarks", "http://b1\n");
    }
};

TEST_F(ZudaLists, BookmarksReloadWhenTheirFileIsSaved) {
    EXPECT_EQ(zuda_history(), (Lines{"http://h1", "http://h2"}));
    EXPECT_EQ(zuda_bookmarks(), (Lines{"http://b1"}));
    ASSERT_NE(open_file(config_path("orvane_zuda_bookmarks")), nullptr);
    gtk_text_buffer_set_text(current_document_buffer(), "http://b1\nhttp://b2\n", -1);
    save_current_document();
    EXPECT_NE(log_text().find("zuda bookmarks reloaded"), std::string::npos);
    EXPECT_EQ(zuda_bookmarks(), (Lines{"http://b1", "http://b2"}));
}
