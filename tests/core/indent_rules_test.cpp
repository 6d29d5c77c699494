// Indent unit, unindent width, the lines of a block, auto-indent and the
// jumps to the braces around the cursor.
#include <gtest/gtest.h>

#include "documents/indent_rules.h"

namespace {

TEST(IndentUnit, TabOrTabSizeSpaces) {
    EXPECT_EQ(indent_unit(3, false), "\t");
    EXPECT_EQ(indent_unit(3, true), "   ");
    EXPECT_EQ(indent_unit(0, true), "");
    EXPECT_EQ(indent_unit(-2, true), "");
}

TEST(UnindentWidth, OneTabOrAWholeTabOfSpaces) {
    EXPECT_EQ(unindent_width("\tfoo", 3), 1);
    EXPECT_EQ(unindent_width("   foo", 3), 3);
    EXPECT_EQ(unindent_width("     foo", 3), 3);
    // Two spaces with tab_size 3: nothing.
    EXPECT_EQ(unindent_width("  foo", 3), 0);
    EXPECT_EQ(unindent_width("  ", 3), 0);
    EXPECT_EQ(unindent_width(" \tfoo", 3), 0);
    EXPECT_EQ(unindent_width("foo", 3), 0);
    EXPECT_EQ(unindent_width("", 3), 0);
    EXPECT_EQ(unindent_width("  x", 0), 0);
}

TEST(BlockLines, ALastLineBeginningAtTheSelectionsEndIsLeftOut) {
    EXPECT_EQ(block_lines(2, 4, 3), (LineRange{2, 4}));
    EXPECT_EQ(block_lines(2, 5, 0), (LineRange{2, 4}));
    EXPECT_EQ(block_lines(2, 2, 0), (LineRange{2, 2}));
    EXPECT_EQ(block_lines(0, 0, 5), (LineRange{0, 0}));
}

TEST(AutoIndent, NewlineAndTheLeadingWhiteSpace) {
    EXPECT_EQ(auto_indent_text("  \tfoo  bar"), "\n  \t");
    EXPECT_EQ(auto_indent_text("foo"), "\n");
    EXPECT_EQ(auto_indent_text("    "), "\n    ");
    EXPECT_EQ(auto_indent_text(""), "\n");
    // A non-breaking space is white space; the line end is not carried over.
    EXPECT_EQ(auto_indent_text("\u00A0 x"), "\n\u00A0 ");
    EXPECT_EQ(auto_indent_text("  \n  "), "\n  ");
}

TEST(BlockJumps, EnclosingOpeningBrace) {
    const std::string text = "f() {\n  if (x) { a; }\n  b;\n}";
    // From "b": the inner block is skipped.
    const long b = static_cast<long>(text.find("b;"));
    EXPECT_EQ(enclosing_block_start(text, b), 5);
    // From inside the inner block.
    const long a = static_cast<long>(text.find("a;"));
    EXPECT_EQ(enclosing_block_start(text, a), static_cast<long>(text.find("{ a")) + 1);
    // None: the start of the text.
    EXPECT_EQ(enclosing_block_start("abc } x", 6), 0);
    EXPECT_EQ(enclosing_block_start("", 0), 0);
}

TEST(BlockJumps, EnclosingClosingBrace) {
    const std::string text = "f() {\n  if (x) { a; }\n  b;\n}";
    const long if_pos = static_cast<long>(text.find("if"));
    EXPECT_EQ(enclosing_block_end(text, if_pos), static_cast<long>(text.size()) - 1);
    const long a = static_cast<long>(text.find("a;"));
    EXPECT_EQ(enclosing_block_end(text, a), static_cast<long>(text.find("}")));
    // The character at the cursor is passed over: on a "}" the next one counts.
    EXPECT_EQ(enclosing_block_end("{ {} } }", 3), 5);
    EXPECT_EQ(enclosing_block_end("abc", 0), 3);
    EXPECT_EQ(enclosing_block_end("", 0), 0);
}

TEST(BlockJumps, OffsetsAreCharactersInMultibyteText) {
    const std::string text = "é{ ü } à";
    EXPECT_EQ(enclosing_block_start(text, 4), 2);
    EXPECT_EQ(enclosing_block_end(text, 2), 5);
    EXPECT_EQ(enclosing_block_end("éé", 0), 2);
}

} // namespace
