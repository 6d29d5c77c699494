#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/text_pieces.h"

namespace {

std::vector<std::string> pieces(std::string_view text, std::size_t max) {
    std::vector<std::string> out;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text_piece_end(text, at, max);
        EXPECT_GT(end, at);
        out.emplace_back(text.substr(at, end - at));
        at = end;
    }
    return out;
}

// The pieces put back together are the text, and no seam cuts a character or
// a "\r\n" in two.
TEST(TextPieces, SeamsFallAfterLineBreaksOrBetweenWholeCharacters) {
    struct Row {
        std::string text;
        std::size_t max;
        std::vector<std::string> expected;
    };
    const std::vector<Row> rows = {
        {"ab\ncd\nef", 4, {"ab\n", "cd\n", "ef"}},
        {"ab\r\ncd", 3, {"ab", "\r\n", "cd"}},
        {"ab\r\ncd", 4, {"ab\r\n", "cd"}},
        {"\xC3\xA9\xC3\xA9\xC3\xA9", 3, {"\xC3\xA9", "\xC3\xA9", "\xC3\xA9"}},
        {"\xE2\x82\xAC"
         "x",
         2,
         {"\xE2\x82\xAC", "x"}},
        {"short", 100, {"short"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(pieces(row.text, row.max), row.expected);
    }
}

} // namespace
