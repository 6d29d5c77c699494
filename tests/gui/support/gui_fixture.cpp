#include "gui/support/gui_fixture.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <glib/gstdio.h>
#include <thread>

#include "shell/commands.h"
#include "shell/gobj.h"
#include "shell/ui/main_window.h"
#include "web/ui/web_views.h"
#include "shell/ui/window_parts.h"
#include "shell/ui/report.h"

namespace {

int& problem_count() {
    static int count = 0;
    return count;
}

// Every message, structured or not, ends in the writer: count the problems there.
GLogWriterOutput count_problems(GLogLevelFlags level, const GLogField* fields, gsize n_fields,
                                gpointer data) {
    if (level & (G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING)) ++problem_count();
    return g_log_writer_default(level, fields, n_fields, data);
}

// The display is a shared Xvfb that may refuse a connection for a moment while
// other test processes come and go; a few tries tell a busy server from none.
bool init_toolkit_once() {
    static bool done = false;
    if (done) return true;
    // The program's pictures and pages come from the source tree unless the
    // caller chose a data folder.
    g_setenv("ORVANE_DATADIR", ORVANE_SOURCE_DATADIR, FALSE);
    g_setenv("NO_AT_BRIDGE", "1", FALSE);
    g_setenv("GSETTINGS_BACKEND", "memory", FALSE);
    g_setenv("GIO_USE_VFS", "local", FALSE);
    // The labels are the French texts whatever language the caller reads: under
    // C.UTF-8 a LANGUAGE such as "en" would still pick an installed catalogue.
    g_unsetenv("LANGUAGE");
    static bool writer_set = false;
    if (!writer_set) g_log_set_writer_func(count_problems, nullptr, nullptr);
    writer_set = true;
    for (int attempt = 0; attempt < 25 && !done; ++attempt) {
        done = gtk_init_check(nullptr, nullptr);
        if (!done) g_usleep(200 * 1000);
    }
    return done;
}

void point_xdg_into(const std::string& home) {
    const std::pair<const char*, const char*> dirs[] = {
        {"XDG_CONFIG_HOME", "/.config"},
        {"XDG_DATA_HOME", "/.local/share"},
        {"XDG_CACHE_HOME", "/.cache"},
    };
    for (const auto& [name, sub] : dirs) {
        const std::string path = home + sub;
        g_mkdir_with_parents(path.c_str(), 0700);
        g_setenv(name, path.c_str(), TRUE);
    }
}

void walk(GtkWidget* widget, const std::function<bool(GtkWidget*)>& match, GtkWidget** found);

void walk_child(GtkWidget* child, gpointer data) {
    auto* args = static_cast<std::pair<const std::function<bool(GtkWidget*)>*, GtkWidget**>*>(data);
    if (!*args->second) walk(child, *args->first, args->second);
}

void walk(GtkWidget* widget, const std::function<bool(GtkWidget*)>& match, GtkWidget** found) {
    if (!widget || *found) return;
    if (match(widget)) {
        *found = widget;
        return;
    }
    std::pair<const std::function<bool(GtkWidget*)>*, GtkWidget**> args{&match, found};
    if (GTK_IS_CONTAINER(widget)) gtk_container_forall(GTK_CONTAINER(widget), walk_child, &args);
    if (!*found && GTK_IS_MENU_ITEM(widget))
        walk(gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget)), match, found);
}

bool item_is(GtkWidget* widget, std::string_view label) {
    if (!GTK_IS_MENU_ITEM(widget)) return false;
    const char* text = gtk_menu_item_get_label(GTK_MENU_ITEM(widget));
    if (text && label == text) return true;
    const char* name = gtk_widget_get_name(widget);
    return name && label == name;
}

bool activate(GtkWidget* item) {
    if (!item) return false;
    gtk_menu_item_activate(GTK_MENU_ITEM(item));
    return true;
}

} // namespace

void GuiTest::SetUp() {
    ASSERT_TRUE(init_toolkit_once()) << "no display: run under xvfb-run";
    home_ = std::make_unique<TempHome>();
    point_xdg_into(home_->path());
    // No test reaches the network: the search and translation panels start blank.
    web_panels_allow_remote_start_pages(false);
    prepare_home();
    window_ = main_window_build();
    ASSERT_NE(window_, nullptr);
    gtk_widget_show_all(window_);
    ASSERT_TRUE(spin_until([this] { return gtk_widget_get_mapped(window_); }, 10000))
        << "the main window was never mapped";
    flush_events();
    problems_at_start_ = problem_count();
}

void GuiTest::TearDown() {
    EXPECT_EQ(logged_problems(), 0) << "GLib logged warnings or criticals during the test";
    destroy_window();
    home_.reset();
}

void GuiTest::destroy_window() {
    if (!window_) return;
    // Outside a main loop, quitting it would only complain.
    g_signal_handlers_disconnect_by_func(window_, reinterpret_cast<gpointer>(gtk_main_quit),
                                         nullptr);
    gtk_widget_destroy(window_);
    window_ = nullptr;
    flush_events();
}

int GuiTest::logged_problems() const {
    return problem_count() - problems_at_start_;
}

void GuiTest::forget_logged_problems() {
    problems_at_start_ = problem_count();
}

std::string GuiTest::config_path(const std::string& name) const {
    return home_->file(".orvane/" + name);
}

void GuiTest::write_config_file(const std::string& name, const std::string& text) {
    for (const char* sub : {"", "templates", "sessions", "todo"}) {
        const std::string dir = home_->file(std::string(".orvane/") + sub);
        g_mkdir_with_parents(dir.c_str(), 0700);
    }
    write_file(config_path(name), text);
}

bool spin_until(const std::function<bool()>& condition, int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        if (!g_main_context_iteration(nullptr, FALSE))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

void spin_for(int ms) {
    spin_until([] { return false; }, ms);
}

void flush_events() {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
}

GtkWidget* find_widget(GtkWidget* root, const std::function<bool(GtkWidget*)>& match) {
    GtkWidget* found = nullptr;
    walk(root, match, &found);
    return found;
}

GtkWidget* find_menu_item(std::string_view label) {
    GtkWindow* win = main_window();
    if (!win) return nullptr;
    return find_widget(GTK_WIDGET(win), [label](GtkWidget* w) { return item_is(w, label); });
}

GtkWidget* find_menu_item_path(std::initializer_list<std::string_view> path) {
    GtkWindow* win = main_window();
    if (!win || path.size() == 0) return nullptr;
    GtkWidget* scope = GTK_WIDGET(win);
    GtkWidget* item = nullptr;
    for (std::string_view label : path) {
        if (item) {
            scope = gtk_menu_item_get_submenu(GTK_MENU_ITEM(item));
            if (!scope) return nullptr;
        }
        item = find_widget(scope, [label](GtkWidget* w) { return item_is(w, label); });
        if (!item) return nullptr;
    }
    return item;
}

bool activate_menu_item(std::string_view label) {
    return activate(find_menu_item(label));
}

bool activate_menu_item_path(std::initializer_list<std::string_view> path) {
    return activate(find_menu_item_path(path));
}

std::string text_view_text(GtkWidget* view, bool with_pictures) {
    if (!view || !GTK_IS_TEXT_VIEW(view)) return "";
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(view));
    GtkTextIter start, end;
    gtk_text_buffer_get_bounds(buffer, &start, &end);
    GCharPtr text(with_pictures ? gtk_text_buffer_get_slice(buffer, &start, &end, TRUE)
                                : gtk_text_buffer_get_text(buffer, &start, &end, TRUE));
    return text.get();
}

std::string log_text(bool with_pictures) {
    return text_view_text(log_view(), with_pictures);
}

std::vector<std::string> item_names(GtkWidget* menu_shell) {
    std::vector<std::string> names;
    if (!menu_shell) return names;
    GList* children = gtk_container_get_children(GTK_CONTAINER(menu_shell));
    for (GList* l = children; l; l = l->next)
        names.emplace_back(gtk_widget_get_name(GTK_WIDGET(l->data)));
    g_list_free(children);
    return names;
}

std::vector<std::string> submenu_item_names(GtkWidget* item) {
    return item ? item_names(gtk_menu_item_get_submenu(GTK_MENU_ITEM(item)))
                : std::vector<std::string>{};
}

std::vector<std::string> submenu_names(std::initializer_list<std::string_view> path) {
    GtkWidget* item = find_menu_item_path(path);
    if (!item) return {"<missing>"};
    return submenu_item_names(item);
}

void select_offsets(GtkTextBuffer* buffer, long start, long end) {
    GtkTextIter a, b;
    gtk_text_buffer_get_iter_at_offset(buffer, &a, static_cast<gint>(start));
    gtk_text_buffer_get_iter_at_offset(buffer, &b, static_cast<gint>(end));
    gtk_text_buffer_select_range(buffer, &a, &b);
}

std::pair<long, long> cursor_and_bound(GtkTextBuffer* buffer) {
    GtkTextIter insert, bound;
    gtk_text_buffer_get_iter_at_mark(buffer, &insert, gtk_text_buffer_get_insert(buffer));
    gtk_text_buffer_get_iter_at_mark(buffer, &bound, gtk_text_buffer_get_selection_bound(buffer));
    return {gtk_text_iter_get_offset(&insert), gtk_text_iter_get_offset(&bound)};
}

RecordedCommands::RecordedCommands() {
    set_command_recorder([this](const std::string& c, bool) {
        lines.push_back(c);
        return 0;
    });
}

RecordedCommands::~RecordedCommands() {
    set_command_recorder(nullptr);
}

std::string status_text() {
    GtkWidget* bar = status_bar();
    if (!bar) return "";
    GtkWidget* label = find_widget(gtk_statusbar_get_message_area(GTK_STATUSBAR(bar)),
                                   [](GtkWidget* w) { return GTK_IS_LABEL(w); });
    return label ? gtk_label_get_text(GTK_LABEL(label)) : "";
}

TempPixmaps::TempPixmaps(std::initializer_list<const char*> names) {
    GCharPtr dir(g_dir_make_tmp("orvane-data-XXXXXX", nullptr));
    if (!dir) throw std::runtime_error("cannot make a temporary folder");
    dir_ = dir.get();
    const std::string pixmaps = dir_ + "/pixmaps";
    g_mkdir_with_parents(pixmaps.c_str(), 0700);
    int width = 3;
    for (const char* name : names) {
        GObjectPtr<GdkPixbuf> picture(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, width, 4));
        gdk_pixbuf_fill(picture.get(), 0x336699ff);
        gdk_pixbuf_save(picture.get(), (pixmaps + "/" + name).c_str(), "png", nullptr, nullptr);
        names_.emplace_back(name);
        ++width;
    }
    if (const char* old = g_getenv("ORVANE_DATADIR")) {
        had_datadir_ = true;
        saved_datadir_ = old;
    }
    g_setenv("ORVANE_DATADIR", dir_.c_str(), TRUE);
}

TempPixmaps::~TempPixmaps() {
    if (had_datadir_)
        g_setenv("ORVANE_DATADIR", saved_datadir_.c_str(), TRUE);
    else
        g_unsetenv("ORVANE_DATADIR");
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

int TempPixmaps::width_of(std::string_view name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == name) return 3 + static_cast<int>(i);
    return 0;
}
