// The scrapbook file's bytes: what an addition writes, and what the Note page shows.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "tools/scrapbook_text.h"

namespace {

TEST(ScrapbookAddition, NewestFirstAndTheEndNeverGrows) {
    EXPECT_EQ(scrapbook_with_addition("abc", "x\n"), "abc\n\nx\n");
    EXPECT_EQ(scrapbook_with_addition("abc", ""), "abc\n\n");
    EXPECT_EQ(scrapbook_with_addition("abc", "Déposez vos séléctions ici..."),
              "abc\n\nDéposez vos séléctions ici...");
    std::string file = "x\n";
    for (const char* fragment : {"one", "two", "three"})
        file = scrapbook_with_addition(fragment, file);
    EXPECT_EQ(file, "three\n\ntwo\n\none\n\nx\n");
    EXPECT_EQ(scrapbook_fragment("abc"), "abc\n");
}

// The page shows UTF-8 as it is whatever the locale; a character is never cut.
TEST(ScrapbookDisplay, UTF8FirstEvenInThePlainCLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "C"));
    const std::string long_line = std::string(1022, 'a') + "é";
    EXPECT_EQ(scrapbook_display_text(long_line), long_line);
    // Bytes no charset reads stay visible as U+FFFD; the other lines are whole.
    EXPECT_EQ(scrapbook_display_text("été\nb\xe9te\nfin"), "été\nb\xef\xbf\xbdte\nfin");
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
