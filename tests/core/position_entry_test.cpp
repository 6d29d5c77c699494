// Position entries and the recent, bookmark and session lists built from them.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "documents/position_entry.h"

static void PrintTo(const PositionEntry& e, std::ostream* os) {
    *os << "{\"" << e.path << "\", \"" << e.charset << "\", " << e.offset << "}";
}

namespace {

TEST(PositionEntryFormat, PathCharsetOffsetWithSingleCommas) {
    EXPECT_EQ(format_position_entry({"/home/u/été.php", "UTF-8", 1234}),
              "/home/u/été.php,UTF-8,1234");
    EXPECT_EQ(format_position_entry({"/a b/c", "current locale", 0}), "/a b/c,current locale,0");
    EXPECT_EQ(format_position_entry({"/x,y/z.txt", "ISO-8859-1", 7}), "/x,y/z.txt,ISO-8859-1,7");
}

TEST(PositionEntryFormat, RefusesWhatCouldNotBeReadBack) {
    EXPECT_FALSE(format_position_entry({"", "UTF-8", 1}));
    EXPECT_FALSE(format_position_entry({"/a\nb", "UTF-8", 1}));
    EXPECT_FALSE(format_position_entry({"/a\rb", "UTF-8", 1}));
    EXPECT_FALSE(format_position_entry({"/a", "UTF\n8", 1}));
    EXPECT_FALSE(format_position_entry({"/a", "A,B", 1}));
}

TEST(PositionEntryParse, ReadsTheThreeFields) {
    EXPECT_EQ(parse_position_entry("/home/u/a.html,UTF-8,42"),
              (PositionEntry{"/home/u/a.html", "UTF-8", 42}));
    EXPECT_EQ(parse_position_entry("/a,current locale,0"),
              (PositionEntry{"/a", "current locale", 0}));
    EXPECT_EQ(parse_position_entry("/a,,5"), (PositionEntry{"/a", "", 5}));
}

TEST(PositionEntryParse, PathsWithCommasComeBackWhole) {
    EXPECT_EQ(parse_position_entry("/docs/a,b,c.txt,KOI8-R,17"),
              (PositionEntry{"/docs/a,b,c.txt", "KOI8-R", 17}));
    EXPECT_EQ(parse_position_entry("/x,,UTF-8,3"), (PositionEntry{"/x,", "UTF-8", 3}));
    for (const std::string path : {"/a,b", "/,", "/p,,q,", "/r é,ü/s,t.php"}) {
        const auto line = format_position_entry({path, "UTF-8", 99});
        ASSERT_TRUE(line) << path;
        EXPECT_EQ(parse_position_entry(*line), (PositionEntry{path, "UTF-8", 99})) << path;
    }
}

TEST(PositionEntryParse, OffsetsReadAsStrtolWould) {
    EXPECT_EQ(parse_position_entry("/a,UTF-8,abc")->offset, 0);
    EXPECT_EQ(parse_position_entry("/a,UTF-8,")->offset, 0);
    EXPECT_EQ(parse_position_entry("/a,UTF-8, 12x")->offset, 12);
    EXPECT_EQ(parse_position_entry("/a,UTF-8,12\r")->offset, 12);
    EXPECT_EQ(parse_position_entry("/a,UTF-8,+8")->offset, 8);
    EXPECT_EQ(parse_position_entry("/a,UTF-8,-8")->offset, 0);
    EXPECT_EQ(parse_position_entry("/a,UTF-8,99999999999999999999999")->offset, LONG_MAX);
}

TEST(PositionEntryParse, BadLinesGiveNone) {
    for (const std::string line :
         {"", "a", ",,", "/a", "/a,UTF-8", ",UTF-8,3", "/a;UTF-8;3", ",,5"})
        EXPECT_FALSE(parse_position_entry(line)) << line;
}

TEST(PositionList, AddPutsFirstAndDropsOnlyTheLastOverTheLimit) {
    Lines list;
    for (int i = 1; i <= 8; ++i)
        position_list_add(list, "f" + std::to_string(i), 7);
    EXPECT_EQ(list, (Lines{"f8", "f7", "f6", "f5", "f4", "f3", "f2"}));
    // A longer list read whole (the bookmarks file) loses one entry per addition, not more.
    Lines long_list(10, "b");
    position_list_add(long_list, "new", 7);
    EXPECT_EQ(long_list.size(), 10u);
    EXPECT_EQ(long_list.front(), "new");
    // The same document closed twice is listed twice.
    Lines twice{"/a,UTF-8,1"};
    position_list_add(twice, "/a,UTF-8,1", 7);
    EXPECT_EQ(twice, (Lines{"/a,UTF-8,1", "/a,UTF-8,1"}));
}

TEST(PositionList, FileTextSkipsEmptyEntriesAndReadsBackWithTheFinalEmptyPiece) {
    const Lines list{"/a,UTF-8,1", "", "/b,UTF-8,2"};
    EXPECT_EQ(position_list_text(list), "/a,UTF-8,1\n/b,UTF-8,2\n");
    EXPECT_EQ(position_list_from_text("/a,UTF-8,1\n/b,UTF-8,2\n"),
              (Lines{"/a,UTF-8,1", "/b,UTF-8,2", ""}));
    EXPECT_EQ(position_list_text({}), "");
    EXPECT_TRUE(position_list_from_text("").empty());
}

TEST(SessionList, KeepsTheLastTabsLastTabFirst) {
    Lines tabs;
    for (int i = 1; i <= 10; ++i)
        tabs.push_back("/t" + std::to_string(i) + ",UTF-8,0");
    const Lines session = session_list(tabs, 7);
    ASSERT_EQ(session.size(), 7u);
    EXPECT_EQ(session.front(), "/t10,UTF-8,0");
    EXPECT_EQ(session.back(), "/t4,UTF-8,0");
    EXPECT_EQ(session_list({"/a,UTF-8,0", "/b,UTF-8,0"}, 7), (Lines{"/b,UTF-8,0", "/a,UTF-8,0"}));
}

} // namespace
