// Numbering of new documents and the window title of a page.
#include <gtest/gtest.h>

#include "documents/document_names.h"

namespace {

TEST(DocumentNumbers, CountUpFromOneAndWrapToZeroBeforeOverflow) {
    EXPECT_EQ(next_document_number(0), 1);
    EXPECT_EQ(next_document_number(1), 2);
    EXPECT_EQ(next_document_number(2147483645), 2147483646);
    EXPECT_EQ(next_document_number(2147483646), 0);
    EXPECT_EQ(next_document_number(2147483647), 0);
    EXPECT_EQ(next_document_number(-5), 0);
}

TEST(DocumentNumbers, NameIsNonameUnderscoreAndDecimal) {
    EXPECT_EQ(new_document_name(1), "noname_1");
    EXPECT_EQ(new_document_name(0), "noname_0");
    EXPECT_EQ(new_document_name(2147483646), "noname_2147483646");
}

TEST(DocumentWindowTitle, FullPathOrBaseName) {
    EXPECT_EQ(document_window_title("/srv/site/index.html", true), "/srv/site/index.html");
    EXPECT_EQ(document_window_title("/srv/site/index.html", false), "index.html");
    EXPECT_EQ(document_window_title("noname_3", false), "noname_3");
    EXPECT_EQ(document_window_title("noname_3", true), "noname_3");
    // A path ending in "/" has an empty base name rather than a made-up one.
    EXPECT_EQ(document_window_title("/srv/", false), "");
}

TEST(NonameRule, OnlyThePartBeforeTheFirstUnderscoreCounts) {
    EXPECT_TRUE(is_noname("noname_1"));
    EXPECT_TRUE(is_noname("noname_12_x"));
    EXPECT_TRUE(is_noname("noname"));
    EXPECT_FALSE(is_noname("/home/u/noname_1"));
    EXPECT_FALSE(is_noname("nonames_1"));
    EXPECT_FALSE(is_noname("/tmp/a_b.txt"));
}

TEST(FolderOf, EverythingBeforeTheLastSlash) {
    EXPECT_EQ(folder_of("/tmp/a b/c.txt"), "/tmp/a b");
    EXPECT_EQ(folder_of("/c.txt"), "/");
    EXPECT_EQ(folder_of("noname_1"), std::nullopt);
}

} // namespace
