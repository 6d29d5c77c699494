#include <gtest/gtest.h>

#include "documents/large_file_policy.h"

namespace {

TEST(LargeFilePolicy, FeaturesGoOffByStepsAndTheNoticeSaysWhich) {
    struct Row {
        std::uint64_t bytes;
        bool completion, marks, highlighting;
    };
    const Row rows[] = {
        {0, true, true, true},
        {kLargeFileBytes - 1, true, true, true},
        {kLargeFileBytes, false, false, true},
        {kUnhighlightedFileBytes - 1, false, false, true},
        {kUnhighlightedFileBytes, false, false, false},
        {std::uint64_t{50} << 20, false, false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.bytes);
        const PageFeatures features = page_features_for_size(row.bytes);
        EXPECT_EQ(features.word_completion, row.completion);
        EXPECT_EQ(features.marks_beyond_screen, row.marks);
        EXPECT_EQ(features.highlighting, row.highlighting);
        const std::string notice = large_file_notice(features, row.bytes);
        EXPECT_EQ(notice.empty(), row.completion);
        // Only a page without highlighting is told where to turn it back on.
        EXPECT_EQ(notice.find("Coloration syntaxique") != std::string::npos, !row.highlighting);
    }
    EXPECT_NE(large_file_notice(page_features_for_size(5000000), 5000000).find("(4,8 Mo)"),
              std::string::npos);
}

} // namespace
