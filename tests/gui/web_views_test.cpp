#include <gtest/gtest.h>

#include "support/temp_home.h"
#include "web/product_pages.h"
#include "web/ui/web_views.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <functional>
#include <string>

namespace {

// Runs the main loop until pred holds or the time is up.
bool run_until(const std::function<bool()>& pred, int timeout_ms = 30000) {
    const gint64 end = g_get_monotonic_time() + gint64(timeout_ms) * 1000;
    while (!pred()) {
        if (g_get_monotonic_time() > end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
    }
    return true;
}

void run_for(int ms) {
    run_until([] { return false; }, ms);
}

struct LoadWatch {
    bool finished = false;
    bool failed = false;
    std::string failed_uri;
    std::string error;

    void watch(GtkWidget* view) {
        g_signal_connect(view, "load-changed",
                         G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent event, gpointer self) {
                             if (event == WEBKIT_LOAD_FINISHED)
                                 static_cast<LoadWatch*>(self)->finished = true;
                         }),
                         this);
        g_signal_connect(view, "load-failed",
                         G_CALLBACK(+[](WebKitWebView*, WebKitLoadEvent, gchar* uri, GError* error,
                                        gpointer self) {
                             auto* watch = static_cast<LoadWatch*>(self);
                             watch->failed = true;
                             watch->failed_uri = uri ? uri : "";
                             watch->error = error ? error->message : "";
                             return FALSE;
                         }),
                         this);
    }
};

std::string title_of(GtkWidget* view) {
    const gchar* title = webkit_web_view_get_title(WEBKIT_WEB_VIEW(view));
    return title ? title : "";
}

std::string uri_of(GtkWidget* view) {
    const gchar* uri = webkit_web_view_get_uri(WEBKIT_WEB_VIEW(view));
    return uri ? uri : "";
}

class WebViews : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        // The tree's own pages, unless the run already points somewhere.
        if (!g_getenv("ORVANE_DATADIR")) {
#ifdef ORVANE_SOURCE_DATADIR
            g_setenv("ORVANE_DATADIR", ORVANE_SOURCE_DATADIR, TRUE);
#endif
        }
        ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "no display";
        web_panels_allow_remote_start_pages(false);
    }

    void TearDown() override {
        if (window_) gtk_widget_destroy(window_);
        run_for(50);
    }

    GtkWidget* new_window(GtkWidget* child) {
        window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(window_), 640, 480);
        gtk_container_add(GTK_CONTAINER(window_), child);
        return window_;
    }

    // A view of its own (not a panel) for loading arbitrary addresses.
    GtkWidget* loose_view(LoadWatch& watch) {
        GtkWidget* view = web_view_new();
        new_window(view);
        watch.watch(view);
        gtk_widget_show_all(window_);
        return view;
    }

    TempHome home_;
    GtkWidget* window_ = nullptr;
};

TEST_F(WebViews, StartViewIsBuiltAfterTheWindowMapsAndShowsTheHomePage) {
    GtkWidget* container = web_panel_create(WebPanel::start);
    ASSERT_TRUE(GTK_IS_SCROLLED_WINDOW(container));
    GtkPolicyType h, v;
    gtk_scrolled_window_get_policy(GTK_SCROLLED_WINDOW(container), &h, &v);
    EXPECT_EQ(h, GTK_POLICY_AUTOMATIC);
    EXPECT_EQ(v, GTK_POLICY_AUTOMATIC);

    new_window(container);
    // The builder asks for the start pages before any view exists; the request
    // must be kept until the view is built.
    web_panels_load_start_pages();
    EXPECT_EQ(web_panel_view(WebPanel::start), nullptr);
    gtk_widget_show_all(window_);
    EXPECT_EQ(web_panel_view(WebPanel::start), nullptr) << "built before the window could map";

    ASSERT_TRUE(run_until([] { return web_panel_view(WebPanel::start) != nullptr; }));
    GtkWidget* view = web_panel_view(WebPanel::start);
    ASSERT_TRUE(WEBKIT_IS_WEB_VIEW(view));
    EXPECT_TRUE(gtk_widget_is_ancestor(view, container));
    // Drawn before its web process has a frame, the view would hold the window
    // up: it shows once the page has loaded.
    EXPECT_FALSE(gtk_widget_get_mapped(view));

    LoadWatch watch;
    watch.watch(view);
    ASSERT_TRUE(run_until([&] {
        return title_of(view).find("1.6.4") != std::string::npos || watch.failed;
    })) << "title: "
        << title_of(view);
    EXPECT_FALSE(watch.failed) << watch.error;
    EXPECT_EQ(title_of(view), "Orvane IDE 1.6.4");
    EXPECT_EQ(uri_of(view), "orvane://main.php?version=1.6.4");
    EXPECT_TRUE(run_until([&] { return gtk_widget_get_mapped(view); }));
}

TEST_F(WebViews, OtherPanelsWaitUntilTheirPageIsShown) {
    GtkWidget* notebook = gtk_notebook_new();
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), gtk_label_new("Informations"), nullptr);
    GtkWidget* mini = web_panel_create(WebPanel::mini_web);
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), mini, nullptr);
    GtkWidget* translation = web_panel_create(WebPanel::translation);
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), translation, nullptr);
    GtkWidget* search = web_panel_create(WebPanel::myadmin_web);
    gtk_notebook_append_page(GTK_NOTEBOOK(notebook), search, nullptr);
    new_window(notebook);
    web_panels_load_start_pages();
    // A page asked for while the panel is hidden replaces its start page, so the
    // remote translation service is never reached here.
    web_panel_load(WebPanel::translation, product_about_page());
    gtk_widget_show_all(window_);
    run_for(300);
    EXPECT_EQ(web_panel_view(WebPanel::mini_web), nullptr);
    EXPECT_EQ(web_panel_view(WebPanel::translation), nullptr);

    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), 1);
    GtkWidget* view = web_panel_view(WebPanel::mini_web);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(web_panel_view(WebPanel::translation), nullptr);
    ASSERT_TRUE(run_until([&] { return title_of(view) == "Orvane IDE 1.6.4"; })) << title_of(view);

    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), 2);
    GtkWidget* tview = web_panel_view(WebPanel::translation);
    ASSERT_NE(tview, nullptr);
    ASSERT_TRUE(run_until([&] { return title_of(tview) == "A-propos de Orvane IDE"; }))
        << title_of(tview);
    EXPECT_EQ(uri_of(tview), product_about_page());

    // With remote start pages turned off, the search panel is built but the
    // search engine is not asked for anything.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), 3);
    GtkWidget* sview = web_panel_view(WebPanel::myadmin_web);
    ASSERT_NE(sview, nullptr);
    run_for(200);
    EXPECT_EQ(uri_of(sview), "");

    // Going back and forth builds nothing new.
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), 0);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(notebook), 1);
    EXPECT_EQ(web_panel_view(WebPanel::mini_web), view);
}

TEST_F(WebViews, HooksSeeViewsBuiltLaterAndEnsureBuildsAtOnce) {
    static int calls = 0;
    static GtkWidget* seen = nullptr;
    calls = 0;
    seen = nullptr;
    web_panel_on_created(WebPanel::help_search, [](WebPanel panel, GtkWidget* view) {
        if (panel == WebPanel::help_search) {
            ++calls;
            seen = view;
        }
    });
    GtkWidget* container = web_panel_create(WebPanel::help_search);
    new_window(container);
    web_panel_load(WebPanel::help_search, product_manual_page());
    EXPECT_EQ(calls, 0);

    GtkWidget* view = web_panel_ensure_view(WebPanel::help_search);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, view);
    EXPECT_EQ(web_panel_ensure_view(WebPanel::help_search), view);
    EXPECT_EQ(calls, 1);

    // Showing the page later must not build a second view.
    gtk_widget_show_all(window_);
    run_for(100);
    EXPECT_EQ(web_panel_view(WebPanel::help_search), view);
    // The manual sits in an upper-case folder: its address must survive
    // WebKit's parsing of the scheme's host part.
    ASSERT_TRUE(run_until([&] { return title_of(view) == "Documentation Orvane IDE"; }))
        << title_of(view);
}

TEST_F(WebViews, DestroyedContainerForgetsItsView) {
    GtkWidget* container = web_panel_create(WebPanel::start);
    new_window(container);
    gtk_widget_show_all(window_);
    // Destroyed before the deferred build runs: nothing may be built into it.
    gtk_widget_destroy(window_);
    window_ = nullptr;
    run_for(200);
    EXPECT_EQ(web_panel_view(WebPanel::start), nullptr);

    container = web_panel_create(WebPanel::start);
    new_window(container);
    gtk_widget_show_all(window_);
    ASSERT_TRUE(run_until([] { return web_panel_view(WebPanel::start) != nullptr; }));
    gtk_widget_destroy(window_);
    window_ = nullptr;
    EXPECT_EQ(web_panel_view(WebPanel::start), nullptr);
    EXPECT_EQ(web_panel_ensure_view(WebPanel::start), nullptr);
}

TEST_F(WebViews, ProductPagesAreServedOfflineAndEscapesRefused) {
    LoadWatch watch;
    GtkWidget* view = loose_view(watch);
    // A failed load finishes with WebKit's error page; the next load must wait
    // for it, or the error page cancels that load.
    auto load = [&](const char* uri) {
        watch = LoadWatch{};
        webkit_web_view_load_uri(WEBKIT_WEB_VIEW(view), uri);
        bool done = run_until([&] { return watch.finished; });
        run_for(100);
        return done;
    };

    ASSERT_TRUE(load(product_version_page().c_str()));
    EXPECT_FALSE(watch.failed) << watch.error;
    ASSERT_TRUE(run_until([&] { return title_of(view) == "Version Orvane IDE 1.6.4"; }))
        << title_of(view);

    // WebKit folds plain ".." steps itself; an escaped "/" reaches the handler.
    const char* escapes[] = {
        "orvane://DOC/..%2f..%2f..%2f..%2f..%2f..%2f..%2f..%2fetc%2fhostname",
        "orvane://DOC/%2e%2e%2F%2e%2e%2F%2e%2e%2Fetc%2Fpasswd",
    };
    for (const char* uri : escapes) {
        ASSERT_TRUE(load(uri)) << uri;
        EXPECT_TRUE(watch.failed) << uri;
        EXPECT_NE(watch.error.find("refusée"), std::string::npos) << uri << ": " << watch.error;
    }

    ASSERT_TRUE(load("orvane://absente.html"));
    EXPECT_TRUE(watch.failed);
    EXPECT_NE(watch.error.find("introuvable"), std::string::npos) << watch.error;
}

// A file opened as the program starts hides the start view before the window
// shows: the view is built only once the start view is on screen again.
TEST_F(WebViews, StartViewHiddenBeforeItsBuildWaitsUntilShownAgain) {
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    GtkWidget* container = web_panel_create(WebPanel::start);
    gtk_box_pack_start(GTK_BOX(box), container, TRUE, TRUE, 0);
    new_window(box);
    gtk_widget_show_all(window_);
    gtk_widget_hide(container);
    run_for(300);
    EXPECT_EQ(web_panel_view(WebPanel::start), nullptr);
    gtk_widget_show(container);
    ASSERT_TRUE(run_until([] { return web_panel_view(WebPanel::start) != nullptr; }));
}

} // namespace
