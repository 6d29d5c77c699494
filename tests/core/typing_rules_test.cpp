// Which closing character a typed one brings, by file name and setting; the
// autoreplace lookup and the status line.
#include <gtest/gtest.h>

#include "documents/typing_rules.h"

namespace {

TEST(FileExtension, FromTheLastDotOfTheName) {
    EXPECT_EQ(file_extension("notes.txt"), ".txt");
    EXPECT_EQ(file_extension("/a/b.tar.gz"), ".gz");
    EXPECT_FALSE(file_extension("noname_1"));
    EXPECT_FALSE(file_extension("/home/user.name/Makefile"));
    EXPECT_EQ(file_extension("/a/.bashrc"), ".bashrc");
}

TEST(ClosingForTyped, ParenthesisEverywhere) {
    for (const char* path : {"a.txt", "page.php", "noname_1", "/x/script"})
        for (long on : {0L, 1L})
            EXPECT_EQ(closing_for_typed(U'(', path, on), ")") << path << on;
}

TEST(ClosingForTyped, OtherPairsNeedTheSettingAndAnExtension) {
    EXPECT_EQ(closing_for_typed(U'{', "a.c", 1), "}");
    EXPECT_EQ(closing_for_typed(U'[', "a.txt", 1), "]");
    EXPECT_EQ(closing_for_typed(U'"', "page.php", 1), "\"");
    EXPECT_EQ(closing_for_typed(U'\'', "a.pl", 1), "'");
    EXPECT_FALSE(closing_for_typed(U'"', "notes.txt", 1));
    EXPECT_FALSE(closing_for_typed(U'\'', "notes.txt", 1));
    EXPECT_EQ(closing_for_typed(U'<', "a.html", 1), ">");
    EXPECT_EQ(closing_for_typed(U'<', "a.htm", 1), ">");
    EXPECT_EQ(closing_for_typed(U'<', "a.php", 1), ">");
    EXPECT_FALSE(closing_for_typed(U'<', "a.c", 1));
    for (char32_t c : {U'{', U'[', U'"', U'\'', U'<'}) {
        EXPECT_FALSE(closing_for_typed(c, "a.html", 0));
        EXPECT_FALSE(closing_for_typed(c, "a.html", 2));
        EXPECT_FALSE(closing_for_typed(c, "noname_2", 1));
    }
    EXPECT_FALSE(closing_for_typed(U'a', "a.html", 1));
    EXPECT_FALSE(closing_for_typed(U'}', "a.c", 1));
}

TEST(Autoreplace, WholeWordsOfTheTable) {
    const KeyTable table{{"Linux", "GNU/Linux"}, {"teh", "the"}};
    EXPECT_EQ(autoreplace_for(table, "Linux"), "GNU/Linux");
    EXPECT_FALSE(autoreplace_for(table, "linux"));
    EXPECT_FALSE(autoreplace_for(table, "Linu"));
    EXPECT_FALSE(autoreplace_for(table, ""));
}

TEST(CursorStatus, PathColumnAndLines) {
    EXPECT_EQ(cursor_status_text("/tmp/a.c", 3, 2, 10),
              " [File] : /tmp/a.c\t\t [Col] : 3 \t\t[Ln] : 2/10");
    EXPECT_EQ(cursor_status_text("/tmp/%d%s.c", 1, 1, 1),
              " [File] : /tmp/%d%s.c\t\t [Col] : 1 \t\t[Ln] : 1/1");
}

} // namespace
