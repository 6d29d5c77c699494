// The recent-files list across a start, closes and an exit.
#include <gtest/gtest.h>

#include "documents/position_entry.h"
#include "documents/recent_files.h"
#include "support/temp_home.h"

namespace {

TEST(RecentFiles, BlankLinesNeverPileUpAcrossRuns) {
    TempHome home;
    const std::string path = home.file("orvane_recent");
    write_file(path, "/a,UTF-8,1\n/b,UTF-8,2\n");
    for (int run = 0; run < 5; ++run) {
        recent_files_load(path, 7);
        ASSERT_TRUE(recent_files_write(path));
    }
    EXPECT_EQ(read_file(path), "/a,UTF-8,1\n/b,UTF-8,2\n");

    // Seven real files still fit after many runs.
    for (int i = 0; i < 9; ++i) {
        recent_files_load(path, 7);
        position_list_add(recent_files(), "/f" + std::to_string(i) + ",UTF-8,0", 7);
        ASSERT_TRUE(recent_files_write(path));
    }
    recent_files_load(path, 7);
    Lines entries = recent_files();
    std::erase(entries, "");
    EXPECT_EQ(entries.size(), 7u);
    EXPECT_EQ(entries.front(), "/f8,UTF-8,0");
    recent_files().clear();
}

TEST(RecentFiles, AFailedWriteKeepsTheFileAndSaysSo) {
    TempHome home;
    recent_files() = {"/x,UTF-8,0"};
    EXPECT_FALSE(recent_files_write(home.file("missing/orvane_recent")));
    EXPECT_TRUE(recent_files_write(home.file("orvane_recent")));
    EXPECT_EQ(read_file(home.file("orvane_recent")), "/x,UTF-8,0\n");
    recent_files().clear();
}

} // namespace
