// The fixture of the in-process GUI tests: the real main window under Xvfb with
// HOME in a temporary folder.
//
// Use:
//
//   #include "gui/support/gui_fixture.h"
//
//   TEST_F(GuiTest, NewDocumentFromTheMenu) {
//       ASSERT_TRUE(activate_menu_item("Nouveau"));
//       EXPECT_TRUE(spin_until([] { return current_document() != nullptr; }));
//       EXPECT_NE(log_text().find("..."), std::string::npos);
//   }
//
// Each test gets a fresh temporary HOME (and XDG_* folders inside it) and a main
// window built by main_window_build() and shown. To start from particular
// configuration files, derive a fixture and override prepare_home(), which runs
// before the window is built:
//
//   class EmptyDateTest : public GuiTest {
//       void prepare_home() override { write_config_file("orvane_rc", "date_time=\n"); }
//   };
//
// Modal dialogs are answered with tests/gui/support/dialog_answer.h. Labels are
// the program's French texts: the tests run untranslated (LANGUAGE is cleared; a
// test in another language sets it and binds the text domain in prepare_home()).
//
// ctest runs every test in a process of its own (gtest_discover_tests), which is
// how these tests are meant to run: the toolkit and the main window are
// process-wide. Running the binary by hand runs all tests in one process; the
// fixture then destroys each window before building the next, which works but
// is not what the suite relies on.
//
// A GLib warning or critical logged while a test body runs fails that test: a
// critical is a fault of the code under test.
#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/temp_home.h"

class GuiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs before the main window is built, with HOME already set.
    virtual void prepare_home() {}

    const TempHome& home() const { return *home_; }
    // Writes `text` to $HOME/.orvane/<name>, creating the folder as the program would.
    void write_config_file(const std::string& name, const std::string& text);
    std::string config_path(const std::string& name) const;

    GtkWidget* window() const { return window_; }
    // Destroys the main window as the program's exit does (the fixture does it
    // after each test; a test may do it earlier).
    void destroy_window();

    // How many warnings and criticals GLib logged since the window was built.
    int logged_problems() const;
    // For a test that provokes a warning on purpose, once it has checked it.
    void forget_logged_problems();

  private:
    std::unique_ptr<TempHome> home_;
    GtkWidget* window_ = nullptr;
    int problems_at_start_ = 0;
};

// Runs the main loop until `condition` holds; false when `timeout_ms` passed first.
bool spin_until(const std::function<bool()>& condition, int timeout_ms = 5000);
// Runs the main loop for about `ms` milliseconds.
void spin_for(int ms);
// Handles every event already pending.
void flush_events();

// The first widget under `root` (depth first, internal children and menu
// items' submenus included) for which `match` holds, or null.
GtkWidget* find_widget(GtkWidget* root, const std::function<bool(GtkWidget*)>& match);

// A menu item under any menu shell of the main window whose label or widget
// name is `label` (depth first), or null.
GtkWidget* find_menu_item(std::string_view label);
// The same along a path of labels from a top-level menu: {"Fichier", "Nouveau"}.
GtkWidget* find_menu_item_path(std::initializer_list<std::string_view> path);
// Finds the item and activates it as a click does; false when there is none.
bool activate_menu_item(std::string_view label);
bool activate_menu_item_path(std::initializer_list<std::string_view> path);

// The widget names of a menu shell's items, in order (none for a null shell).
std::vector<std::string> item_names(GtkWidget* menu_shell);
// The widget names of the items of `item`'s submenu (none when either is missing).
std::vector<std::string> submenu_item_names(GtkWidget* item);
// The same for the item at a path of labels; {"<missing>"} when there is none.
std::vector<std::string> submenu_names(std::initializer_list<std::string_view> path);

// Selects characters [start, end) of `buffer`: the cursor at `start`, the
// selection bound at `end`.
void select_offsets(GtkTextBuffer* buffer, long start, long end);
// The offsets of the cursor and of the selection bound.
std::pair<long, long> cursor_and_bound(GtkTextBuffer* buffer);

// While it lives, outside commands are recorded instead of run.
struct RecordedCommands {
    std::vector<std::string> lines;
    RecordedCommands();
    ~RecordedCommands();
    RecordedCommands(const RecordedCommands&) = delete;
    RecordedCommands& operator=(const RecordedCommands&) = delete;
};

// The whole text of a text view's buffer; pictures are left out, or stand as
// U+FFFC when `with_pictures` is set.
std::string text_view_text(GtkWidget* view, bool with_pictures = false);
// The log's text (empty when there is no log).
std::string log_text(bool with_pictures = false);
// The text the status bar shows (empty when there is none).
std::string status_text();

// A folder of pictures under a temporary data folder: each name given gets a
// small PNG of its own size, so a test can tell which one was put where.
// ORVANE_DATADIR points at it until the object dies.
class TempPixmaps {
  public:
    explicit TempPixmaps(std::initializer_list<const char*> names);
    ~TempPixmaps();
    TempPixmaps(const TempPixmaps&) = delete;
    TempPixmaps& operator=(const TempPixmaps&) = delete;
    // The width of the picture made for `name` (0 when none was made).
    int width_of(std::string_view name) const;

  private:
    std::string dir_;
    std::string saved_datadir_;
    bool had_datadir_ = false;
    std::vector<std::string> names_;
};
