#include <gtest/gtest.h>

#include "documents/language_words.h"

TEST(LanguageWords, ChosenByTheExactTextFromTheLastDot) {
    struct Case {
        const char* path;
        const char* provider; // null: no word list
        const char* file;
    };
    const Case cases[] = {
        {"/a/script.pl", "[PERL] AutoComp", "perl"},
        {"/a/run.sh", "[BASH] AutoComp", "bash"},
        {"/a/x.c", "[C] AutoComp", "c"},
        {"/a/x.h", "[C] AutoComp", "c"},
        {"/a/index.htm", "[HTML] AutoComp", "html"},
        {"/a/index.html", "[HTML] AutoComp", "html"},
        {"/a/page.php", "[PHP] AutoComp", "php"},
        {"/a/page.PHP", nullptr, nullptr},
        {"/a/x.cpp", nullptr, nullptr},
        {"/a/x.c.txt", nullptr, nullptr},
        {"/a.c/Makefile", nullptr, nullptr},
        {"Makefile", nullptr, nullptr},
        {"", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        auto words = language_words_for(c.path);
        if (!c.provider) {
            EXPECT_FALSE(words) << c.path;
            continue;
        }
        ASSERT_TRUE(words) << c.path;
        EXPECT_EQ(words->provider_name, c.provider) << c.path;
        EXPECT_EQ(words->file_name, c.file) << c.path;
    }
}
