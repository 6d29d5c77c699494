// The file path or anchor named by the quoted text around the cursor.
#include <gtest/gtest.h>

#include <string>

#include "documents/path_at_cursor.h"

static void PrintTo(const TextSpan& s, std::ostream* os) {
    *os << "{" << s.start << ", " << s.end << ", \"" << s.text << "\"}";
}

namespace {

long offset_of(const std::string& text, const std::string& part) {
    return utf8_char_at(text, text.find(part));
}

TEST(QuotedTextAround, RunsBetweenTheQuotesAroundTheCursor) {
    const std::string text = "<img src=\"/img/a.png\" alt='x'>";
    EXPECT_EQ(quoted_text_around(text, 14), (TextSpan{10, 20, "/img/a.png"}));
    // Right after the opening quote and right before the closing one.
    EXPECT_EQ(quoted_text_around(text, 10), (TextSpan{10, 20, "/img/a.png"}));
    EXPECT_EQ(quoted_text_around(text, 20), (TextSpan{10, 20, "/img/a.png"}));
    EXPECT_EQ(quoted_text_around(text, 28), (TextSpan{27, 28, "x"}));
    EXPECT_EQ(quoted_text_around("no quotes", 3), (TextSpan{0, 9, "no quotes"}));
    EXPECT_EQ(quoted_text_around("é\"ü/ö.png", 4), (TextSpan{2, 9, "ü/ö.png"}));
    EXPECT_EQ(quoted_text_around("\"\"", 1), (TextSpan{1, 1, ""}));
}

TEST(PathAtCursor, LeadingSlashIsTakenRelativeToThePageFolder) {
    const std::string text = "<img src=\"/img/a.png\">";
    const PathAtCursor found = path_at_cursor(text, 14, "/srv/site/index.html");
    EXPECT_EQ(found.kind, PathAtCursor::Kind::path);
    EXPECT_EQ(found.path, "/srv/site/img/a.png");
}

TEST(PathAtCursor, RelativeValuesAreResolvedAndNormalised) {
    const std::string page = "/srv/site/index.html";
    EXPECT_EQ(path_at_cursor("<link href='css/s.css'>", 15, page).path, "/srv/site/css/s.css");
    EXPECT_EQ(path_at_cursor("<a href=\"../up.html\">", 12, page).path, "/srv/up.html");
    EXPECT_EQ(path_at_cursor("include \"/a/../b,c.php\";", 12, page).path, "/srv/site/b,c.php");
    EXPECT_EQ(path_at_cursor("x \"é.png\"", 4, "/r/ü/p.html").path, "/r/ü/é.png");
    EXPECT_EQ(path_at_cursor("\"a.png\"", 2, "noname_1").path, "./a.png");
}

TEST(PathAtCursor, HashJumpsToTheAnchorAfterTheCursor) {
    const std::string text =
        "<a name=\"top\"></a>\n<a href=\"#sec2\">go</a>\né\n<a name=\"sec2\"></a>";
    const PathAtCursor found = path_at_cursor(text, offset_of(text, "#sec2") + 2, "/s/i.html");
    EXPECT_EQ(found.kind, PathAtCursor::Kind::anchor);
    EXPECT_EQ(found.anchor_offset, offset_of(text, "<a name=\"sec2\""));
    EXPECT_TRUE(found.path.empty());
}

TEST(PathAtCursor, AnchorsBeforeTheCursorOrMissingGiveNothing) {
    const std::string text = "<a name=\"top\"></a>\n<a href=\"#top\">up</a>";
    EXPECT_EQ(path_at_cursor(text, offset_of(text, "#top") + 1, "/s/i.html").kind,
              PathAtCursor::Kind::none);
    EXPECT_EQ(path_at_cursor("<a href=\"#nowhere\">", 12, "/s/i.html").kind,
              PathAtCursor::Kind::none);
}

TEST(FindAnchor, SkipsPicturesInsideTheMatch) {
    const std::string picture = "\xEF\xBF\xBC";
    const std::string text = "ab" + picture + "<a " + picture + "name=\"x" + picture + "y\">";
    EXPECT_EQ(find_anchor(text, 0, "xy"), 3);
    EXPECT_EQ(find_anchor(text, 3, "xy"), 3);
    EXPECT_FALSE(find_anchor(text, 4, "xy"));
    EXPECT_FALSE(find_anchor(text, 0, "xz"));
    EXPECT_EQ(find_anchor("<a name=\"\xC3\xA9t\xC3\xA9\">", 0, "été"), 0);
    EXPECT_EQ(find_anchor("é <b> <a name=\"p2\">", 0, ""), 6);
}

} // namespace
