#include "gui/support/gui_fixture.h"
#include "shell/ui/window_parts.h"

namespace {
using FixtureTest = GuiTest;
}

// The fixture fails a test that makes the toolkit complain; that only works if
// complaints are really counted, structured or not.
TEST_F(FixtureTest, CountsToolkitComplaints) {
    EXPECT_EQ(logged_problems(), 0);
    gtk_widget_show(nullptr);
    EXPECT_EQ(logged_problems(), 1);
    g_log_structured("Orvane", G_LOG_LEVEL_WARNING, "MESSAGE", "a structured warning");
    EXPECT_EQ(logged_problems(), 2);
    forget_logged_problems();
}

TEST_F(FixtureTest, RunsTheRealMainWindowUnderATemporaryHome) {
    EXPECT_EQ(window(), GTK_WIDGET(main_window()));
    EXPECT_TRUE(gtk_widget_get_mapped(window()));
    EXPECT_EQ(g_getenv("HOME"), home().path());
    EXPECT_TRUE(g_file_test(config_path("orvane_rc").c_str(), G_FILE_TEST_EXISTS));
}
