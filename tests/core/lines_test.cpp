// Line lists: splitting, histories, lookups, joining and the string helpers.
#include <gtest/gtest.h>

#include "shell/lines.h"

namespace {

TEST(TextToLines, SplitsAtLineFeedOnlyAndKeepsEmptyPieces) {
    EXPECT_EQ(text_to_lines("a\n\nb\n"), (Lines{"a", "", "b", ""}));
    EXPECT_EQ(text_to_lines("a\r\nb"), (Lines{"a\r", "b"}));
    EXPECT_EQ(text_to_lines("one\rtwo"), (Lines{"one\rtwo"}));
    EXPECT_EQ(text_to_lines("\n"), (Lines{"", ""}));
    EXPECT_EQ(text_to_lines("last"), (Lines{"last"}));
    EXPECT_TRUE(text_to_lines("").empty());
}

TEST(TextToLines, UncommentedDropsOnlyPiecesStartingWithHash) {
    EXPECT_EQ(text_to_lines_uncommented("#head\nkey=1\n # not a comment\n\n#x"),
              (Lines{"key=1", " # not a comment", ""}));
    EXPECT_TRUE(text_to_lines_uncommented("").empty());
}

TEST(TextToLines, MaxStopsAfterThatManyElements) {
    EXPECT_EQ(text_to_lines_max("a\nb\nc\nd", 2), (Lines{"a", "b"}));
    EXPECT_EQ(text_to_lines_max("a\nb\n", 5), (Lines{"a", "b", ""}));
    EXPECT_EQ(text_to_lines_max("a\nb\n", 3), (Lines{"a", "b", ""}));
    EXPECT_TRUE(text_to_lines_max("a\nb", 0).empty());
    EXPECT_TRUE(text_to_lines_max("", 4).empty());
}

TEST(MarkedItems, KeepsPlusPiecesWithoutPlusAfterLeadingBlanks) {
    EXPECT_EQ(text_to_marked_items(" +UTF-8// KOI8-R//+CP1251//", "//"),
              (Lines{"UTF-8", "CP1251"}));
    // iconv -l output spreads names over lines; the line feeds count as leading blanks.
    EXPECT_EQ(text_to_marked_items("ANSI_X3.4-1968//\n+ISO-8859-1//\n\t +KOI8-U//\nTCVN//", "//"),
              (Lines{"ISO-8859-1", "KOI8-U"}));
    EXPECT_EQ(text_to_marked_items("a+b//x+", "//"), Lines{});
    EXPECT_EQ(text_to_marked_items("+", "//"), (Lines{""}));
    EXPECT_TRUE(text_to_marked_items("", "//").empty());
}

TEST(LinesCopyNonempty, SkipsEmptyElements) {
    EXPECT_EQ(lines_copy_nonempty({"", "a", "", " ", "b"}), (Lines{"a", " ", "b"}));
    EXPECT_TRUE(lines_copy_nonempty({}).empty());
}

TEST(LinesPrepend, EachCallPutsItsLineInFront) {
    Lines l;
    lines_prepend_int(l, "n", -12);
    lines_prepend_bool(l, "on", true);
    lines_prepend_bool(l, "off", false);
    lines_prepend_str(l, "s", "x=y");
    lines_prepend_str(l, "empty", "");
    EXPECT_EQ(l, (Lines{"empty=", "s=x=y", "off=0", "on=1", "n=-12"}));
}

Lines numbered(int n) {
    Lines l;
    for (int i = 1; i <= n; ++i) l.push_back("e" + std::to_string(i));
    return l;
}

TEST(LinesPushLimited, FullListDropsItsLastElement) {
    Lines l = numbered(7);
    lines_push_limited(l, "new", 8);
    EXPECT_EQ(l, (Lines{"new", "e1", "e2", "e3", "e4", "e5", "e6"}));
}

TEST(LinesPushLimited, ExistingTextMovesToFront) {
    Lines l = {"a", "b", "c"};
    lines_push_limited(l, "c", 8);
    EXPECT_EQ(l, (Lines{"c", "a", "b"}));
    lines_push_limited(l, "a", 8);
    EXPECT_EQ(l, (Lines{"a", "c", "b"}));
}

TEST(LinesPushLimited, OnlyTheLastDuplicateIsRemoved) {
    Lines l = {"x", "a", "x", "b"};
    lines_push_limited(l, "x", 10);
    EXPECT_EQ(l, (Lines{"x", "x", "a", "b"}));
}

TEST(LinesPushLimited, AtMostOneRemovalPerCall) {
    Lines l = numbered(10);
    lines_push_limited(l, "new", 4);
    EXPECT_EQ(l.size(), 10u);
    EXPECT_EQ(l.front(), "new");
    EXPECT_EQ(l.back(), "e9");
    // A duplicate removal and the limit removal may both happen in one call.
    Lines m = {"a", "b", "c"};
    lines_push_limited(m, "b", 3);
    EXPECT_EQ(m, (Lines{"b", "a"}));
}

TEST(LinesPushLimited, EmptyListGetsOneElement) {
    Lines l;
    lines_push_limited(l, "first", 8);
    EXPECT_EQ(l, (Lines{"first"}));
    // Even with a bound of one, the first push into an empty history keeps its entry.
    Lines one;
    lines_push_limited(one, "only", 1);
    EXPECT_EQ(one, (Lines{"only"}));
}

TEST(LinesPrependLimited, KeepsDuplicatesAndRemovesAtMostOne) {
    Lines l = {"a", "b"};
    lines_prepend_limited(l, "a", 8);
    EXPECT_EQ(l, (Lines{"a", "a", "b"}));
    lines_prepend_limited(l, "z", 4);
    EXPECT_EQ(l, (Lines{"z", "a", "a"}));
    Lines big = numbered(6);
    lines_prepend_limited(big, "n", 3);
    EXPECT_EQ(big.size(), 6u);
    EXPECT_EQ(big.front(), "n");
    EXPECT_EQ(big.back(), "e5");
}

TEST(LinesFind, ExactReturnsFirstMatch) {
    Lines l = {"a", "b", "a"};
    EXPECT_EQ(lines_find_exact(l, "a"), 0u);
    EXPECT_EQ(lines_find_exact(l, "b"), 1u);
    EXPECT_FALSE(lines_find_exact(l, "A"));
    EXPECT_FALSE(lines_find_exact({}, "a"));
}

TEST(LinesFind, CollateAndContainingReturnLastMatch) {
    Lines l = {"path/one", "two", "path/three", "two", "four"};
    EXPECT_EQ(lines_find_collate(l, "two"), 3u);
    EXPECT_EQ(lines_find_collate(l, "four"), 4u);
    EXPECT_FALSE(lines_find_collate(l, "five"));
    EXPECT_EQ(lines_find_containing(l, "path/"), 2u);
    EXPECT_EQ(lines_find_containing(l, "o"), 4u);
    EXPECT_FALSE(lines_find_containing(l, "zzz"));
    EXPECT_FALSE(lines_find_collate({}, "x"));
}

TEST(LinesFilter, SplitsElementsBySubstringOfText) {
    Lines l = {"<b>", "<i>", "<u>"};
    const std::string text = "some <b>bold</b> and <u>under</u>";
    EXPECT_EQ(lines_filter_present(l, text), (Lines{"<b>", "<u>"}));
    EXPECT_EQ(lines_filter_absent(l, text), (Lines{"<i>"}));
}

TEST(LinesJoin, TextHasLineFeedsBetweenOnly) {
    EXPECT_EQ(lines_to_text({"only"}), "only");
    EXPECT_EQ(lines_to_text({"a", "", "b"}), "a\n\nb");
    EXPECT_EQ(lines_to_text({}), "");
    EXPECT_EQ(lines_to_text(text_to_lines("x\ny\n")), "x\ny\n");
    EXPECT_EQ(lines_to_words({"a", "b", "c"}), "a b c");
    EXPECT_EQ(lines_to_words({"a"}), "a");
}

TEST(LinesJoin, LongListsJoinWhole) {
    Lines l(3000, std::string(10, 'x'));
    std::string text = lines_to_text(l);
    EXPECT_EQ(text.size(), 3000u * 11 - 1);
    EXPECT_EQ(text_to_lines(text), l);
}

TEST(LinesSort, OrdersByCollation) {
    Lines l = {"pear", "apple", "fig", "apple"};
    lines_sort(l);
    EXPECT_EQ(l, (Lines{"apple", "apple", "fig", "pear"}));
    Lines empty;
    lines_sort(empty);
    EXPECT_TRUE(empty.empty());
}

TEST(ReplaceAll, NonOverlappingLeftToRight) {
    EXPECT_EQ(replace_all("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replace_all("abab", "ab", "ab-ab"), "ab-abab-ab");
    EXPECT_EQ(replace_all("x.y.z", ".", ""), "xyz");
    EXPECT_EQ(replace_all("none here", "zz", "q"), "none here");
    EXPECT_EQ(replace_all("", "a", "b"), "");
    EXPECT_EQ(replace_all("text", "", "b"), "text");
}

TEST(FillTemplate, ReplacesEveryPlaceholderWithoutQuoting) {
    EXPECT_EQ(fill_template("kwrite %s &", "/tmp/a b.txt"), "kwrite /tmp/a b.txt &");
    EXPECT_EQ(fill_template("opera -remote 'openURL(%s,new-window)' || opera %s&", "u"),
              "opera -remote 'openURL(u,new-window)' || opera u&");
    EXPECT_EQ(fill_template("no placeholder", "x"), "no placeholder");
    EXPECT_EQ(fill_template("%s", "%s"), "%s");
    EXPECT_EQ(fill_template("%d %", "x"), "%d %");
}

TEST(TextToLink, KeepsExistingSchemeOrAddsOneInHrefOnly) {
    EXPECT_EQ(text_to_link("http://example.org/a"),
              "<a href=\"http://example.org/a\">http://example.org/a</a>");
    EXPECT_EQ(text_to_link("see ftp://host/x"), "<a href=\"see ftp://host/x\">see ftp://host/x</a>");
    EXPECT_EQ(text_to_link("mailto:me@x.org"), "<a href=\"mailto:me@x.org\">mailto:me@x.org</a>");
    EXPECT_EQ(text_to_link("ftp.gnu.org"), "<a href=\"ftp://ftp.gnu.org\">ftp.gnu.org</a>");
    // "ftp." wins over "@".
    EXPECT_EQ(text_to_link("user@ftp.host"), "<a href=\"ftp://user@ftp.host\">user@ftp.host</a>");
    EXPECT_EQ(text_to_link("me@example.org"), "<a href=\"mailto:me@example.org\">me@example.org</a>");
    EXPECT_EQ(text_to_link("www.gnu.org"), "<a href=\"http://www.gnu.org\">www.gnu.org</a>");
    EXPECT_EQ(text_to_link(""), "<a href=\"http://\"></a>");
}

TEST(Collation, EqualityIsReflexiveAndDistinguishesWords) {
    EXPECT_TRUE(utf8_collate_equal("été", "été"));
    EXPECT_FALSE(utf8_collate_equal("abc", "abd"));
    EXPECT_FALSE(utf8_collate_equal("abc", "ab"));
}

} // namespace

#include <sys/stat.h>

#include "support/temp_home.h"

// The scanners read files that a page or an include names: a FIFO must not
// hang the window, and nothing but a bounded regular file is read.
TEST(FileReadRegular, OnlyBoundedRegularFilesAreRead) {
    TempHome temp;
    write_file(temp.file("a.php"), "<?php\n");
    EXPECT_EQ(file_read_regular(temp.file("a.php"), 100), "<?php\n");
    EXPECT_EQ(file_read_regular(temp.file("a.php"), 6), "<?php\n");
    EXPECT_EQ(file_read_regular(temp.file("a.php"), 5), std::nullopt);
    ASSERT_EQ(mkfifo(temp.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(file_read_regular(temp.file("fifo"), 100), std::nullopt);
    EXPECT_EQ(file_read_regular(temp.path(), 100), std::nullopt);
    EXPECT_EQ(file_read_regular(temp.file("missing"), 100), std::nullopt);
    EXPECT_EQ(file_read_regular("/dev/zero", 100), std::nullopt);
}
