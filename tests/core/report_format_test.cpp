#include <gtest/gtest.h>
#include <string>

#include "shell/log_text.h"
#include "shell/message_format.h"

namespace {
const std::string kRule(56, '_');
}

TEST(LogText, FormattedEntryFillsTheOneStringConversion) {
    EXPECT_EQ(log_formatted_text("%s est créé", "/tmp/a.bak"), "/tmp/a.bak est créé");
    EXPECT_EQ(log_entry_text(log_formatted_text("%s est créé", "/tmp/a.bak")),
              " /tmp/a.bak est créé\n" + kRule + "\n");
    EXPECT_EQ(log_stamp_text("05/03/2024 14:07:09"), "\t05/03/2024 14:07:09\t");
    EXPECT_EQ(log_stamp_text(" "), "\t \t");
}

TEST(LogText, ArgumentIsNeverReadAsAFormat) {
    EXPECT_EQ(log_formatted_text("Mkdir %s", "/tmp/%s%n%d"), "Mkdir /tmp/%s%n%d");
    EXPECT_EQ(log_formatted_text("100%% de %s", "x"), "100% de x");
    // Only one argument exists: a second conversion has nothing to show.
    EXPECT_EQ(log_formatted_text("%s et %s", "a"), "a et %s");
    EXPECT_EQ(log_formatted_text("%d %s", "a"), "%d a");
    EXPECT_EQ(log_formatted_text("trailing %", "a"), "trailing %");
    EXPECT_EQ(log_formatted_text("", "a"), "");
}

TEST(LogText, LongArgumentIsKeptWhole) {
    const std::string big(100000, 'a');
    EXPECT_EQ(log_formatted_text("<%s>", big), "<" + big + ">");
}

TEST(LogText, PlainEntryIsLiteral) {
    EXPECT_EQ(log_entry_text("config reloaded"), " config reloaded\n" + kRule + "\n");
    EXPECT_EQ(log_entry_text("50% %s %d"), " 50% %s %d\n" + kRule + "\n");
    EXPECT_EQ(log_entry_text(""), " \n" + kRule + "\n");
}

TEST(LogText, InvalidUtf8IsRepairedNotDropped) {
    const std::string entry = log_entry_text(log_formatted_text("%s lu", "caf\xe9"));
    EXPECT_EQ(entry, " caf\xef\xbf\xbd lu\n" + kRule + "\n");
}

TEST(LogText, KindsNameTheirTags) {
    EXPECT_STREQ(log_tag_name(13), "lm_error");
    EXPECT_STREQ(log_tag_name(14), "lm_normal");
    EXPECT_STREQ(log_tag_name(15), "lm_advice");
    EXPECT_STREQ(log_tag_name(16), "lm_greet");
    EXPECT_EQ(log_tag_name(12), nullptr);
    EXPECT_EQ(log_tag_name(17), nullptr);
    EXPECT_EQ(log_tag_name(0), nullptr);
}

TEST(MessageFormat, NumberFillsOnlyTheFirstIntegerConversion) {
    EXPECT_EQ(format_with_number("%d fichiers", 3), "3 fichiers");
    EXPECT_EQ(format_with_number("%i fichiers", -3), "-3 fichiers");
    EXPECT_EQ(format_with_number("%ld octets", 1234567890123L), "1234567890123 octets");
    EXPECT_EQ(format_with_number("%li", 7), "7");
    EXPECT_EQ(format_with_number("%d sur %d", 1), "1 sur %d");
    EXPECT_EQ(format_with_number("%s et %d", 2), "%s et 2");
    EXPECT_EQ(format_with_number("%n %x %5d", 2), "%n %x %5d");
    EXPECT_EQ(format_with_number("100%% %d", 2), "100% 2");
    EXPECT_EQ(format_with_number("sans conversion", 2), "sans conversion");
}

TEST(MessageFormat, TextFillsTheFirstStringConversion) {
    EXPECT_EQ(format_with_text("%s est modifié mais pas sauvegardé, le sauvegarder?", "/a b"),
              "/a b est modifié mais pas sauvegardé, le sauvegarder?");
    EXPECT_EQ(format_with_text("%s", "%d%s%%"), "%d%s%%");
    EXPECT_EQ(format_with_text("%d", "x"), "%d");
}

TEST(MessageFormat, ValidUtf8LeavesGoodTextAlone) {
    EXPECT_EQ(valid_utf8("déjà"), "déjà");
    EXPECT_EQ(valid_utf8("a\xff"), "a\xef\xbf\xbd");
}
