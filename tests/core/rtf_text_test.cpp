// Plain text out of RTF bytes.
#include <gtest/gtest.h>

#include <string>

#include "documents/rtf_text.h"

namespace {

using namespace std::string_literals;

std::optional<std::string> cp1251(std::string_view rtf) {
    return rtf_extract_text(rtf, "CP1251");
}

TEST(RtfText, ParagraphsTabsAndGroups) {
    EXPECT_EQ(cp1251(R"({\rtf1 Hello\par World})"), "Hello\nWorld}");
    EXPECT_EQ(cp1251(R"(a\tab b)"), "a\tb");
    // The control word and the one character after it go: \pard counts as \par.
    EXPECT_EQ(cp1251(R"(x\pard y)"), "x\n y");
    EXPECT_EQ(cp1251(R"(x\par}y)"), "x\ny");
    EXPECT_EQ(cp1251(R"({\fonttbl Arial;}Text)"), "Arial;}Text");
    EXPECT_EQ(cp1251(R"({\*\generator Pad 1;}T)"), "Pad 1;}T");
    // Other control words and lone braces stay as they are.
    EXPECT_EQ(cp1251(R"({a} \b bold\b0 \\x)"), R"({a} \b bold\b0 \\x)");
    EXPECT_EQ(cp1251(R"(\pb\ta)"), "\\pb\t");
}

TEST(RtfText, ControlBytesAndHighBytesAreDropped) {
    EXPECT_EQ(cp1251("a\r\nb\tc\x01\x1f\xe9\xff"
                     "d\x7f"),
              "abcd\x7f");
}

TEST(RtfText, HexEscapesAreBytesOfTheTextCharset) {
    EXPECT_EQ(cp1251(R"(caf\'e9 \'c0\'C1)"), "cafй АБ");
    EXPECT_EQ(rtf_extract_text(R"(caf\'e9)", "ISO-8859-1"), "café");
    EXPECT_EQ(rtf_extract_text(R"(\'a4)", "ISO-8859-15"), "€");
    // Two characters are consumed whatever they are; the value stops at the
    // first one that is not a digit.
    EXPECT_EQ(cp1251(R"(a\'4gb)"), "a\x04"
                                   "b");
    EXPECT_EQ(cp1251(R"(a\'41b)"), "aAb");
    EXPECT_EQ(cp1251(R"(a\'0ab)"), "a\nb");
    // A value of 0 would end the text in the editor; it gives nothing.
    EXPECT_EQ(cp1251(R"(a\'zzb)"), "ab");
    EXPECT_EQ(cp1251(R"(a\'00b)"), "ab");
}

TEST(RtfText, TextEndsWhereTheBytesOrANulEnd) {
    EXPECT_EQ(cp1251(""), "");
    EXPECT_EQ(cp1251(R"({\rtf1)"), "");
    EXPECT_EQ(cp1251(R"(ab{\rtf1\ansi)"), "ab");
    EXPECT_EQ(cp1251(R"(ab{\)"), "ab");
    EXPECT_EQ(cp1251(R"(abc\'e)"), "abc\x0e");
    EXPECT_EQ(cp1251(R"(abc\')"), "abc");
    EXPECT_EQ(cp1251(R"(abc\pa)"), "abc\n");
    EXPECT_EQ(cp1251(R"(abc\par)"), "abc\n");
    EXPECT_EQ(cp1251(R"(abc\ta)"), "abc\t");
    EXPECT_EQ(cp1251(R"(abc\p)"), "abc\\p");
    EXPECT_EQ(cp1251(R"(abc\)"), "abc\\");
    EXPECT_EQ(cp1251("abc{"), "abc{");
    EXPECT_EQ(cp1251("ab\0cd"s), "ab");
    EXPECT_EQ(cp1251("{\\rtf1\0 visible"s), "");
    EXPECT_EQ(cp1251("a\\'e\0"
                     "9b"s),
              "a\x0e");
}

TEST(RtfText, ConversionFailureGivesNone) {
    EXPECT_EQ(rtf_extract_text(R"(caf\'e9)", "UTF-8"), std::nullopt);
    EXPECT_EQ(rtf_extract_text("plain", "NO-SUCH-CHARSET"), std::nullopt);
    EXPECT_EQ(rtf_extract_text(R"(caf\'c3\'a9)", "UTF-8"), "café");
}

TEST(RtfText, LargeInputsAreWhole) {
    std::string body;
    for (int i = 0; i < 200000; ++i)
        body += R"(word\par )";
    auto text = cp1251("{\\rtf1 " + body + "}");
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->size(), 200000u * 5 + 1);
    EXPECT_EQ(text->substr(0, 10), "word\nword\n");
}

} // namespace
