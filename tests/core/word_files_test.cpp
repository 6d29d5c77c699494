// Completion word files read in the locale's charset.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "documents/word_files.h"

namespace {

// The conversion follows the process locale, which a test program does not set.
class WordFileText : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = std::setlocale(LC_ALL, nullptr);
        if (!std::setlocale(LC_ALL, "C.UTF-8")) GTEST_SKIP() << "no C.UTF-8 locale";
    }
    void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

  private:
    std::string saved_;
};

TEST_F(WordFileText, KeepsLinesWholeWithTheirLineEnds) {
    EXPECT_EQ(word_file_text("foreach\nprint\n"), "foreach\nprint\n");
    EXPECT_EQ(word_file_text("été\nlast"), "été\nlast");
    EXPECT_EQ(word_file_text(""), "");
    const std::string long_line(5000, 'w');
    EXPECT_EQ(word_file_text(long_line + "\nx\n"), long_line + "\nx\n");
}

TEST_F(WordFileText, DropsOnlyTheLinesThatCannotBeConverted) {
    EXPECT_EQ(word_file_text("good\nb\xff"
                             "ad\nalso good\n"),
              "good\nalso good\n");
    EXPECT_EQ(word_file_text(std::string("nul\0inside\nok\n", 14)), "ok\n");
}

// UTF-8 is read as UTF-8 first: the plain C locale alone would drop "été".
TEST(WordFileTextInTheCLocale, KeepsUTF8Words) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    ASSERT_TRUE(std::setlocale(LC_ALL, "C"));
    EXPECT_EQ(word_file_text("été\nb\xe9te\nfin\n"), "été\nfin\n");
    std::setlocale(LC_ALL, saved.c_str());
}

} // namespace
