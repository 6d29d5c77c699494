// Path normalisation, resolution, relative paths, encodings and version names.
#include <gtest/gtest.h>

#include <glib.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "documents/path_helpers.h"
#include "shell/gobj.h"

namespace {

std::tm local_time(int year, int month, int day, int hour, int minute, int second, int weekday) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_wday = weekday;
    return t;
}

TEST(NormalisePath, RemovesEachParentStepWithTheSegmentBeforeIt) {
    EXPECT_EQ(normalise_path("/x/y/../z"), "/x/z");
    EXPECT_EQ(normalise_path("/x/a/b/../../c"), "/x/c");
    EXPECT_EQ(normalise_path("/x/a/../b/../c"), "/x/c");
    EXPECT_EQ(normalise_path("a/b/../c"), "a/c");
    EXPECT_EQ(normalise_path("/srv/site/img/../css/../a.png"), "/srv/site/a.png");
}

TEST(NormalisePath, KeepsAParentStepWithoutAnInnerSlashBeforeIt) {
    EXPECT_EQ(normalise_path("/a/../b"), "/a/../b");
    EXPECT_EQ(normalise_path("a/../b"), "a/../b");
    EXPECT_EQ(normalise_path("/../b"), "/../b");
    EXPECT_EQ(normalise_path("a/b/../../c"), "a/../c");
    EXPECT_EQ(normalise_path("/x/a/../../c"), "/x/../c");
}

TEST(NormalisePath, KeepsAParentStepThatNothingFollows) {
    EXPECT_EQ(normalise_path("/a/b/../"), "/a/b/../");
    EXPECT_EQ(normalise_path("/a/b/c/../../"), "/a/b/../");
    EXPECT_EQ(normalise_path("/a/b/.."), "/a/b/..");
}

TEST(NormalisePath, NeverTurnsAPathIntoAnotherFile) {
    // Dropping "/../" with a ".." , "." or empty segment would change the file named.
    EXPECT_EQ(normalise_path("/a/../../b"), "/a/../../b");
    EXPECT_EQ(normalise_path("/x/a/../../../c"), "/x/../../c");
    EXPECT_EQ(normalise_path("/a/./../b"), "/a/./../b");
    EXPECT_EQ(normalise_path("/a//../b"), "/a//../b");
    EXPECT_EQ(normalise_path(""), "");
    EXPECT_EQ(normalise_path("/"), "/");
    EXPECT_EQ(normalise_path("/a/b...c/../d"), "/a/d");
}

TEST(ResolvePath, AbsolutePathsAreOnlyNormalised) {
    EXPECT_EQ(resolve_path("/srv/x/../y", "/elsewhere"), "/srv/y");
    EXPECT_EQ(resolve_path("/srv/y"), "/srv/y");
}

TEST(ResolvePath, RelativePathsGoBehindTheFolder) {
    EXPECT_EQ(resolve_path("img/a.png", "/srv/site"), "/srv/site/img/a.png");
    EXPECT_EQ(resolve_path("img/a.png", "/srv/site/"), "/srv/site/img/a.png");
    EXPECT_EQ(resolve_path("../b.css", "/srv/site/a"), "/srv/site/b.css");
    EXPECT_EQ(resolve_path("a,b c.txt", "/r"), "/r/a,b c.txt");
    EXPECT_EQ(resolve_path("", "/srv"), "/srv/");
}

TEST(ResolvePath, WithoutFolderTheWorkingDirectoryIsUsed) {
    GCharPtr cwd(g_get_current_dir());
    std::string expected = cwd.get();
    if (expected.back() != '/') expected += '/';
    EXPECT_EQ(resolve_path("f.txt"), expected + "f.txt");
}

TEST(RelativePath, TheWrittenExamples) {
    EXPECT_EQ(relative_path("/a/b/c.html", "/a/d/e.png"), "../d/e.png");
    EXPECT_EQ(relative_path("/a/b/c.html", "/a/b/e.png"), "e.png");
    EXPECT_EQ(relative_path("/a/b/c.html", "/a/b/x/e.png"), "x/e.png");
}

TEST(RelativePath, CommonFolderEndsAtAWholeSegment) {
    EXPECT_EQ(relative_path("/a/bc/x.html", "/a/b/e.png"), "../b/e.png");
    EXPECT_EQ(relative_path("/a/b/x.html", "/a/bc/e.png"), "../bc/e.png");
    EXPECT_EQ(relative_path("/a/b/c/d.html", "/a/e.png"), "../../e.png");
    EXPECT_EQ(relative_path("/a/b/c.html", "/x/y.png"), "../../x/y.png");
    EXPECT_EQ(relative_path("/a/b/c.html", "/a/b/c.html"), "c.html");
    EXPECT_EQ(relative_path("/a/b/c.html", "/a/b/"), "");
    EXPECT_EQ(relative_path("site/index.html", "site/img/a.png"), "img/a.png");
}

TEST(RelativePath, NormalisesFirstAndHandlesMissingOrUnrelatedPaths) {
    EXPECT_EQ(relative_path("/a/x/../b/c.html", "/a/d/../b/e.png"), "e.png");
    EXPECT_EQ(relative_path("", "/a/x/../d.png"), "/a/d.png");
    EXPECT_EQ(relative_path("/a/b/c.html", "img/e.png"), "img/e.png");
    EXPECT_EQ(relative_path("b/c.html", "/a/e.png"), "/a/e.png");
}

TEST(FileSystemEncoding, Utf8NamesRoundTripAndBadNamesGiveNone) {
    // The tests run in a UTF-8 locale without G_FILENAME_ENCODING.
    const std::string name = "/tmp/été €.txt";
    ASSERT_TRUE(to_filesystem_encoding(name));
    EXPECT_EQ(*to_filesystem_encoding(name), name);
    EXPECT_EQ(to_utf8_path(*to_filesystem_encoding(name)), name);
    EXPECT_FALSE(to_filesystem_encoding("/tmp/\xFF.txt"));
    EXPECT_FALSE(to_utf8_path("/tmp/\xE9t\xE9.txt"));
    EXPECT_FALSE(to_filesystem_encoding(std::string("/tmp/a\0b", 8)));
    EXPECT_FALSE(to_utf8_path(std::string("/tmp/a\0b", 8)));
    EXPECT_EQ(to_filesystem_encoding(""), "");
}

TEST(VersionFile, NamedByTheCtimeTextAndTheBaseName) {
    const std::tm when = local_time(2026, 12, 7, 12, 49, 36, 1);
    EXPECT_EQ(ctime_text(when), "Mon Dec  7 12:49:36 2026");
    EXPECT_EQ(version_file_path("/srv/site/index.html", when),
              "/srv/site/Mon_Dec__7_12_49_36_2026_index.html");
}

TEST(VersionFile, OneDigitDayKeepsTheDoubleUnderscoreAndTimesKeepZeros) {
    const std::tm when = local_time(2026, 3, 5, 9, 5, 7, 4);
    EXPECT_EQ(version_file_path("/w/x.php", when), "/w/Thu_Mar__5_09_05_07_2026_x.php");
    const std::tm later = local_time(2026, 12, 11, 23, 0, 0, 5);
    EXPECT_EQ(version_file_path("/w/x.php", later), "/w/Fri_Dec_11_23_00_00_2026_x.php");
}

TEST(VersionFile, FoldersAtTheRootAndNoFolder) {
    const std::tm when = local_time(2000, 1, 1, 0, 0, 0, 6);
    EXPECT_EQ(version_file_path("/x", when), "/Sat_Jan__1_00_00_00_2000_x");
    EXPECT_EQ(version_file_path("x.txt", when), "./Sat_Jan__1_00_00_00_2000_x.txt");
    EXPECT_EQ(version_file_path("/a b/c d.txt", when), "/a b/Sat_Jan__1_00_00_00_2000_c d.txt");
}

TEST(VersionFile, TakesTheLocalTimeOfAnInstant) {
    const char* old = std::getenv("TZ");
    const std::string saved = old ? old : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    EXPECT_EQ(version_file_path("/w/i.html", static_cast<std::time_t>(1796647776)),
              "/w/Mon_Dec__7_12_49_36_2026_i.html");
    setenv("TZ", "CET-1", 1); // POSIX rule: needs no zone files
    tzset();
    EXPECT_EQ(version_file_path("/w/i.html", static_cast<std::time_t>(1796647776)),
              "/w/Mon_Dec__7_13_49_36_2026_i.html");
    if (old)
        setenv("TZ", saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

} // namespace
