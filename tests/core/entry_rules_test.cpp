#include <gtest/gtest.h>

#include "shell/entry_rules.h"

namespace {

TEST(CommandHistory, KeepsAtMostTheConfiguredNumberAndMovesRepeatsToTheFront) {
    Lines history;
    for (int i = 0; i < 10; ++i)
        command_history_push(history, "cmd" + std::to_string(i), 7);
    ASSERT_EQ(history.size(), 7u);
    EXPECT_EQ(history.front(), "cmd9");
    EXPECT_EQ(history.back(), "cmd3");

    command_history_push(history, "cmd5", 7);
    EXPECT_EQ(history.size(), 7u);
    EXPECT_EQ(history.front(), "cmd5");
    EXPECT_EQ(std::count(history.begin(), history.end(), "cmd5"), 1);
}

TEST(SearchMarks, AtMostOneThousandLines) {
    EXPECT_TRUE(search_marks_allowed(0));
    EXPECT_TRUE(search_marks_allowed(999));
    EXPECT_FALSE(search_marks_allowed(1000));
}

TEST(PanelTarget, FolderAndNameAreBothNeeded) {
    EXPECT_EQ(panel_target(std::nullopt, "x").problem, PanelTarget::no_folder);
    EXPECT_EQ(panel_target(std::string(), "x").problem, PanelTarget::no_folder);
    EXPECT_EQ(panel_target(std::string("/tmp"), "").problem, PanelTarget::no_name);
    PanelTarget t = panel_target(std::string("/tmp/d ir"), "a b;c");
    EXPECT_EQ(t.problem, PanelTarget::ok);
    EXPECT_EQ(t.path, "/tmp/d ir/a b;c");
}

} // namespace
