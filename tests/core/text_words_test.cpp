// Word, line, quote and tag rules under the editing primitives. Offsets are
// character offsets; the multibyte cases check that bytes never leak into them.
#include <gtest/gtest.h>

#include <string>

#include "documents/text_words.h"

static void PrintTo(const TextSpan& s, std::ostream* os) {
    *os << "{" << s.start << ", " << s.end << ", \"" << s.text << "\"}";
}
static void PrintTo(const ByteSpan& s, std::ostream* os) {
    *os << "{" << s.start << ", " << s.end << "}";
}

namespace {

TEST(WordDelimiters, ExactlyTheNineteenPunctuationCharactersOfPrintableAscii) {
    std::string delimiters;
    for (char32_t c = 0x21; c < 0x7F; ++c)
        if (is_word_delimiter(c)) delimiters += static_cast<char>(c);
    EXPECT_EQ(delimiters, "!\"'()+,-:;<=>?[]`{}");
    EXPECT_EQ(delimiters.size(), 19u);
}

TEST(WordDelimiters, WhiteSpaceAndNulEndWordsOtherCharactersDoNot) {
    for (char32_t c : {U'\0', U' ', U'\t', U'\n', U'\r', U'\f', U'\u00A0', U'\u2029', U'\u3000'})
        EXPECT_TRUE(is_word_delimiter(c)) << static_cast<unsigned>(c);
    for (char32_t c : {U'.', U'_', U'/', U'$', U'@', U'#', U'&', U'a', U'9', U'é', U'\u00AB'})
        EXPECT_FALSE(is_word_delimiter(c)) << static_cast<unsigned>(c);
    EXPECT_TRUE(is_quote_char(U'\''));
    EXPECT_TRUE(is_quote_char(U'"'));
    EXPECT_FALSE(is_quote_char(U'`'));
    EXPECT_FALSE(is_quote_char(U'\u2019'));
}

TEST(WordAroundCursor, FullStopAndUnderscoreStayInTheWord) {
    const std::string text = "foo.bar_baz(x)";
    EXPECT_EQ(word_around_cursor(text, 2), (TextSpan{0, 11, "foo.bar_baz"}));
    EXPECT_EQ(word_around_cursor(text, 0), (TextSpan{0, 11, "foo.bar_baz"}));
    // The delimiter at the cursor ends the word there.
    EXPECT_EQ(word_around_cursor(text, 11), (TextSpan{0, 11, "foo.bar_baz"}));
    EXPECT_EQ(word_around_cursor(text, 12), (TextSpan{12, 13, "x"}));
    EXPECT_EQ(word_around_cursor(text, 14), (TextSpan{14, 14, ""}));
}

TEST(WordAroundCursor, EmptyBetweenDelimitersAndClampedPastTheEnd) {
    EXPECT_EQ(word_around_cursor("a()b", 2), (TextSpan{2, 2, ""}));
    EXPECT_EQ(word_around_cursor("", 0), (TextSpan{0, 0, ""}));
    EXPECT_EQ(word_around_cursor("abc", 99), (TextSpan{0, 3, "abc"}));
    EXPECT_EQ(word_around_cursor("ab\ncd", 4), (TextSpan{3, 5, "cd"}));
    EXPECT_EQ(word_around_cursor("x\xC2\xA0yz", 3), (TextSpan{2, 4, "yz"})); // no-break space
}

TEST(WordAroundCursor, OffsetsCountCharactersNotBytes) {
    const std::string text = "café crème=brûlée";
    EXPECT_EQ(word_around_cursor(text, 7), (TextSpan{5, 10, "crème"}));
    EXPECT_EQ(word_around_cursor(text, 13), (TextSpan{11, 17, "brûlée"}));
    EXPECT_EQ(word_before_cursor(text, 14), (TextSpan{11, 14, "brû"}));
    EXPECT_EQ(word_around_cursor("日本語 テスト", 5), (TextSpan{4, 7, "テスト"}));
}

TEST(WordBeforeCursor, EndsAtTheCursor) {
    EXPECT_EQ(word_before_cursor("print(", 6), (TextSpan{6, 6, ""}));
    EXPECT_EQ(word_before_cursor("foo.bar_baz(x)", 5), (TextSpan{0, 5, "foo.b"}));
    EXPECT_EQ(word_before_cursor("$this->na", 9), (TextSpan{7, 9, "na"}));
    EXPECT_EQ(word_before_cursor("  ", 1), (TextSpan{1, 1, ""}));
}

TEST(WordByteForms, AgreeWithTheCharacterForms) {
    const std::string text = "x = é_b.c; y";
    EXPECT_EQ(word_around_byte(text, 6), (ByteSpan{4, 10}));
    EXPECT_EQ(word_before_byte(text, 6), (ByteSpan{4, 6}));
    EXPECT_EQ(word_around_byte(text, 100), (ByteSpan{12, 13}));
    const TextSpan chars = word_around_cursor(text, 5);
    EXPECT_EQ(chars, (TextSpan{4, 9, "é_b.c"}));
    EXPECT_EQ(utf8_byte_at(text, chars.start), 4u);
    EXPECT_EQ(utf8_byte_at(text, chars.end), 10u);
}

TEST(Utf8Offsets, ConvertBothWaysAndClamp) {
    const std::string text = "aé€𝄞z";
    EXPECT_EQ(utf8_char_count(text), 5);
    EXPECT_EQ(utf8_byte_at(text, 0), 0u);
    EXPECT_EQ(utf8_byte_at(text, 2), 3u);
    EXPECT_EQ(utf8_byte_at(text, 4), 10u);
    EXPECT_EQ(utf8_byte_at(text, 9), text.size());
    EXPECT_EQ(utf8_byte_at(text, -3), 0u);
    EXPECT_EQ(utf8_char_at(text, 6), 3);
    EXPECT_EQ(utf8_char_at(text, 1000), 5);
}

TEST(GotoLine, SelectsAMiddleLineWithoutItsLineEnd) {
    const std::string text = "one\ntwo\nthree";
    EXPECT_EQ(goto_line_span(text, 1), (TextSpan{0, 3, "one"}));
    EXPECT_EQ(goto_line_span(text, 2), (TextSpan{4, 7, "two"}));
    EXPECT_EQ(goto_line_span("a\n\nb\n", 2), (TextSpan{2, 2, ""}));
    EXPECT_EQ(goto_line_span("é\nü\n", 2), (TextSpan{2, 3, "ü"}));
}

TEST(GotoLine, LastLineWithoutNewlineAndMissingLinesDoNothing) {
    EXPECT_FALSE(goto_line_span("one\ntwo\nthree", 3));
    EXPECT_FALSE(goto_line_span("one\ntwo\nthree", 4));
    EXPECT_FALSE(goto_line_span("one\n", 2)); // the empty line after the last newline
    EXPECT_FALSE(goto_line_span("one\n", 0));
    EXPECT_FALSE(goto_line_span("one\n", -1));
    EXPECT_FALSE(goto_line_span("", 1));
    EXPECT_TRUE(goto_line_span("three\n", 1));
}

TEST(GotoLine, CarriageReturnsAndParagraphSeparatorsEndLinesAsInTheBuffer) {
    EXPECT_EQ(goto_line_span("a\r\nb\r\nc", 2), (TextSpan{3, 4, "b"}));
    EXPECT_EQ(goto_line_span("a\rb\nc", 2), (TextSpan{2, 3, "b"}));
    EXPECT_EQ(goto_line_span("a\u2029b\nc", 2), (TextSpan{2, 3, "b"}));
    EXPECT_EQ(goto_line_span("a\n\rb\n", 2), (TextSpan{2, 2, ""})); // LF CR is two line ends
}

TEST(PreviousQuote, LandsOnTheNearestQuoteBeforeTheCursor) {
    EXPECT_EQ(previous_quote_offset("<a href=\"\">", 11), 9);
    EXPECT_EQ(previous_quote_offset("<a href=\"\">", 10), 9);
    EXPECT_EQ(previous_quote_offset("<a href=\"\">", 9), 8);
    EXPECT_EQ(previous_quote_offset("x = 'é'", 7), 6);
    EXPECT_FALSE(previous_quote_offset("no quotes", 9));
    EXPECT_FALSE(previous_quote_offset("\"at start", 0));
}

TEST(AfterPreviousTag, GoesBetweenTheTagsJustInserted) {
    EXPECT_EQ(after_previous_tag_offset("<b></b>", 7), 3);
    EXPECT_EQ(after_previous_tag_offset("é <i></i> z", 9), 5);
    EXPECT_EQ(after_previous_tag_offset("<p>\n</p>", 8), 3);
    EXPECT_FALSE(after_previous_tag_offset("<br>", 4));
    EXPECT_FALSE(after_previous_tag_offset("plain", 5));
    EXPECT_FALSE(after_previous_tag_offset("<b></b>", 0));
}

TEST(CursorBack, MovesOnlyWhenTheStartIsNotPassed) {
    EXPECT_EQ(cursor_back_offset(5, 1), 4);
    EXPECT_EQ(cursor_back_offset(1, 1), 0);
    EXPECT_FALSE(cursor_back_offset(0, 1));
    EXPECT_FALSE(cursor_back_offset(2, 3));
    EXPECT_FALSE(cursor_back_offset(2, 0));
}

TEST(TitleCase, UpperCasesWordStartsByTheLayoutRules) {
    EXPECT_EQ(title_case("hello world"), "Hello World");
    EXPECT_EQ(title_case("don't stop"), "Don'T Stop");
    EXPECT_EQ(title_case("foo_bar baz"), "Foo_Bar Baz");
    EXPECT_EQ(title_case("e.g. a-b c:d"), "E.G. A-B C:D");
    EXPECT_EQ(title_case("élan vital, l'été"), "Élan Vital, L'Été");
    EXPECT_EQ(title_case("abc123 def"), "Abc123 Def");
    EXPECT_EQ(title_case("2nd place 3.14abc x²y"), "2nd Place 3.14abc X²y");
    EXPECT_EQ(title_case("αθήνα καλή"), "Αθήνα Καλή");
    const std::string grave = "\u0300", soft_hyphen = "\u00AD";
    EXPECT_EQ(title_case("x" + grave + "yz " + grave + "a"), "X" + grave + "yz " + grave + "A");
    EXPECT_EQ(title_case("a" + soft_hyphen + "b"), "A" + soft_hyphen + "b");
    EXPECT_EQ(title_case("$var @x #y\tz"), "$Var @X #Y\tZ");
    EXPECT_EQ(title_case(""), "");
    const std::string stray = "\xFF"; // a stray byte stays and ends the word
    EXPECT_EQ(title_case("ab" + stray + "cd"), "Ab" + stray + "Cd");
}

} // namespace
