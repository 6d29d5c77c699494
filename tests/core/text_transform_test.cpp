// The text commands of the Fonctions menu, by family. Where a rule lives in how
// the command entry is read, the case goes through the menu table the way a
// menu handler does.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "tools/text_transform.h"
#include "tools/text_transform_menu.h"

namespace {

TransformResult run(std::string_view label, std::string_view text, std::string_view entry = "",
                    std::string_view path = "") {
    const TextTransform* row = find_text_transform(label);
    EXPECT_NE(row, nullptr) << label;
    if (!row) return std::nullopt;
    return run_text_transform(*row, {text, entry, path});
}

struct Case {
    const char* label;
    const char* text;
    const char* entry;
    TransformResult expected;
};

void expect_cases(const std::vector<Case>& cases) {
    for (const auto& c : cases)
        EXPECT_EQ(run(c.label, c.text, c.entry), c.expected)
            << c.label << " on \"" << c.text << "\" with \"" << c.entry << "\"";
}

const std::nullopt_t unchanged = std::nullopt;

TEST(TextTransformLines, SortDedupReverseAndFilters) {
    expect_cases({
        {"Tuez les doublons", "b\na\nb\na\nc", "", "b\na\nc"},
        // A decomposed "é" collates equal to the composed one: the later line goes.
        {"Tuez les doublons", "caf\xC3\xA9\nx\ncafe\xCC\x81", "", "caf\xC3\xA9\nx"},
        {"Trier les lignes", "pear\napple\nfig", "", "apple\nfig\npear"},
        {"Trier les lignes en longueur", "aa\nb\ncc", "", "cc\naa\nb"},
        {"Trier les lignes en longueur", "\xC3\xA9\xC3\xA9\nabc\nd", "",
         "abc\n\xC3\xA9\xC3\xA9\nd"},
        {"Trier les lignes avec case insensetive", "b\nA\nC", "", "A\nb\nC"},
        {"Trier les lignes", "b\nA\nC", "", "A\nC\nb"},
        {"Trier les lignes", "a\nb", "", unchanged},
        {"Supprimer les lignes vides", "a\n\nb\n\n", "", "a\nb\n"},
        {"Tuez les lignes qui contiennent une expression", "a1\nb2\na3", "a", "b2"},
        {"Tuez toutes les lignes sauf une phrase", "a1\nb2\na3\n", "a", "a1\na3\n"},
        {"Tuez toutes les lignes sauf une phrase", "a1\nb2", "", unchanged},
        // Every line filtered out: the selection goes, final line feed included.
        {"Tuez les lignes qui contiennent une expression", "a1\na2\n", "a", ""},
    });
}

TEST(TextTransformLines, AFinalLineEndStaysAtTheEndAndCrLfTextStaysCrLf) {
    expect_cases({
        {"Inverser l'ordre des lignes", "a\nb\nc", "", "c\nb\na"},
        {"Inverser l'ordre des lignes", "a\nb\nc\n", "", "c\nb\na\n"},
        {"Trier les lignes", "b\na\n", "", "a\nb\n"},
        {"Trier les lignes", "b\r\na", "", "a\r\nb"},
        {"Tuez les doublons", "a\r\nb\r\na\r\n", "", "a\r\nb\r\n"},
        {"Appliquer un mod\xC3\xA8le \xC3\xA0 chaque ligne en s\xC3\xA9l\xC3\xA9"
         "ction (sur la ligne de commande Ex: %s<br>)",
         "a\r\nb\r\n", "<li>%s</li>", "<li>a</li>\r\n<li>b</li>\r\n"},
        // Mixed line ends: the CR of a line stays at its end.
        {"Appliquer un mod\xC3\xA8le \xC3\xA0 chaque ligne en s\xC3\xA9l\xC3\xA9"
         "ction (sur la ligne de commande Ex: %s<br>)",
         "a\r\nb\n", "[%s]", "[a]\r\n[b]\n"},
        {"Appliquer un mod\xC3\xA8le \xC3\xA0 chaque ligne en s\xC3\xA9l\xC3\xA9"
         "ction (sur la ligne de commande Ex: %s<br>)",
         "a\nb", "no place", unchanged},
    });
}

TEST(TextTransformUtf8, CharactersNotBytes) {
    expect_cases({
        {"Inerser", "a\xC3\xA9\xF0\x9F\x98\x80", "",
         "\xF0\x9F\x98\x80\xC3\xA9"
         "a"},
        {"Inerser", "ab\r\ncd\n", "", "dc\r\nba\n"},
        {"Envelopper premi\xC3\xA8re \xC3\xA0 la position",
         "abcd\xC3\xA9"
         "fg",
         "3",
         "abc\nd\xC3\xA9"
         "f\ng"},
        {"Envelopper premi\xC3\xA8re \xC3\xA0 la position", "abc\ndefg\n", "3", "abc\ndef\ng\n"},
        {"Envelopper premi\xC3\xA8re \xC3\xA0 la position", "abcdefg", "0", unchanged},
        // "été" is 3 characters and 5 bytes; "< N" is strictly less than N.
        {"Tuez toutes les lignes < N caract\xC3\xA8res", "\xC3\xA9t\xC3\xA9\nab\nabcd", "3",
         "\xC3\xA9t\xC3\xA9\nabcd"},
        {"Tuez toutes les lignes > N caract\xC3\xA8res", "\xC3\xA9t\xC3\xA9\nab\nabcd", "3",
         "\xC3\xA9t\xC3\xA9\nab"},
        {"Majuscule",
         "\xC3\xA9t\xC3\xA9 stra\xC3\x9F"
         "e",
         "", "\xC3\x89T\xC3\x89 STRASSE"},
        {"Minuscule", "\xC3\x89T\xC3\x89", "", "\xC3\xA9t\xC3\xA9"},
        // Invalid UTF-8 in: nothing changes.
        {"Majuscule", "ab\xFF", "", unchanged},
        {"Trier les lignes", "b\n\xC3", "", unchanged},
    });
}

TEST(TextTransformNumbers, ConversionsAndFailuresThatLeaveTheText) {
    expect_cases({
        {"Arabe \xC3\xA0 Roman", "1994", "", "MCMXCIV"},
        {"Arabe \xC3\xA0 Roman", " 3999 ", "", "MMMCMXCIX"},
        {"Arabe \xC3\xA0 Roman", "4", "", "IV"},
        {"Arabe \xC3\xA0 Roman", "0", "", unchanged},
        {"Arabe \xC3\xA0 Roman", "4000", "", unchanged},
        {"Arabe \xC3\xA0 Roman", "-5", "", unchanged},
        {"Arabe \xC3\xA0 Roman", "mille", "", unchanged},
        {"Hexad\xC3\xA9"
         "cimal au format d\xC3\xA9"
         "cimal",
         "ff", "", "255"},
        {"Hexad\xC3\xA9"
         "cimal au format d\xC3\xA9"
         "cimal",
         "0xFF", "", "255"},
        {"Hexad\xC3\xA9"
         "cimal au format d\xC3\xA9"
         "cimal",
         "ffffffff", "", "4294967295"},
        {"Hexad\xC3\xA9"
         "cimal au format d\xC3\xA9"
         "cimal",
         "ffffffffffffffff", "", "18446744073709551615"},
        {"Hexad\xC3\xA9"
         "cimal au format d\xC3\xA9"
         "cimal",
         "10000000000000000", "", unchanged},
        {"Hexad\xC3\xA9"
         "cimal au format d\xC3\xA9"
         "cimal",
         "xyz", "", unchanged},
        {"Binaire en d\xC3\xA9"
         "cimal",
         "1012", "", "5"},
        {"Binaire en d\xC3\xA9"
         "cimal",
         "2", "", unchanged},
        {"Binaire en d\xC3\xA9"
         "cimal",
         std::string(65, '1').c_str(), "", unchanged},
    });
}

TEST(TextTransformNumbers, EntryNumbersReadLikeStrtol) {
    EXPECT_EQ(entry_number("  +42abc"), 42);
    EXPECT_EQ(entry_number("-7"), -7);
    EXPECT_EQ(entry_number("abc"), 0);
    EXPECT_EQ(entry_number("99999999999999999999"), LONG_MAX);
    EXPECT_EQ(entry_number("-99999999999999999999"), LONG_MIN);
    EXPECT_EQ(entry_pieces("a~b~c~d~e", 4), (std::vector<std::string>{"a", "b", "c", "d~e"}));
    EXPECT_EQ(entry_pieces("~x~"), (std::vector<std::string>{"", "x", ""}));
    EXPECT_TRUE(entry_pieces("").empty());
}

TEST(TextTransformCounter, RangesFactorsAndRunawayParameters) {
    expect_cases({
        {"Compteur", "", "1~5~10", "10\n20\n30\n40\n50"},
        {"Compteur", "", "2~4", "2\n3\n4"},
        {"Compteur", "", "3~3", "3"},
        {"Compteur", "", "7", unchanged},
        {"Compteur", "", "", "0"},
        {"Compteur", "", "-1~1~-3", "3\n0\n-3"},
        {"Compteur", "", "1~2~9223372036854775807", unchanged},
        {"Compteur", "", "9223372036854775806~99999999999999999999",
         "9223372036854775806\n"
         "9223372036854775807"},
    });
    const auto capped = run("Compteur", "", "0~2000000000");
    ASSERT_TRUE(capped);
    EXPECT_EQ(std::count(capped->begin(), capped->end(), '\n') + 1, counter_max_lines);
    EXPECT_TRUE(capped->ends_with("\n999999"));
}

TEST(TextTransformNumbering, CommentLinesStayAndTheLineTextIsNotRead) {
    expect_cases({
        {"Numeroter les lignes", "a\nb", "%d.)%s", "1.)a\n2.)b"},
        {"Numeroter les lignes", "a\nb\nc", "%d - %s~5~10", "55 - a\n60 - b\n65 - c"},
        {"Numeroter les lignes", "# head\na\n#x\nb\n", "%d.)%s", "# head\n1.)a\n#x\n2.)b\n"},
        {"Numeroter les lignes", "100%d\n%s", "%d:%s", "1:100%d\n2:%s"},
        {"Numeroter les lignes", "a\nb", "%d only", unchanged},
        {"Numeroter les lignes", "a", "%d%s~9223372036854775807~1", unchanged},
    });
}

TEST(TextTransformWhiteSpace, SqueezeTrimWrapAndLineEnds) {
    expect_cases({
        {"Tuez le formatage", "  a   b \n c\td ", "", "a b c\td"},
        {"Tuez le formatage sur chaque ligne", " a  b \r\n  c  d\r\n", "", "a b\r\nc d\r\n"},
        {"Tuez les espaces au d\xC3\xA9"
         "but de chaque ligne",
         " \t a\n \nb", "", "a\n\nb"},
        {"Tuez espaces \xC3\xA0 la fin de chaque ligne", "a \t\r\n \r\nb ", "", "a\r\n\r\nb"},
        {"Envelopper sur les espaces \xC3\xA0 la position", "aaa bbb ccc", "5", "aaa\nbbb\nccc"},
        // No space in the second half of the line: it runs past the width.
        {"Envelopper sur les espaces \xC3\xA0 la position", "a bbbbbbbbb", "6", unchanged},
        {"Envelopper sur les espaces \xC3\xA0 la position", "aaa bbb\r\nx", "5", "aaa\r\nbbb\r\nx"},
    });

    const std::string text = "a\nb\r\nc\n";
    const auto once = apply_text_edits(text, lf_to_crlf_edits(text));
    EXPECT_EQ(once, "a\r\nb\r\nc\r\n");
    EXPECT_TRUE(lf_to_crlf_edits(once).empty());
    EXPECT_EQ(crlf_to_lf_edits(once), (std::vector<TextEdit>{{1, 2, ""}, {4, 5, ""}, {7, 8, ""}}));
    EXPECT_EQ(apply_text_edits(once, crlf_to_lf_edits(once)), "a\nb\nc\n");

    // Offsets are characters: the edits land after a two-byte "é".
    const std::string tabs = "\xC3\xA9\tx\t";
    EXPECT_EQ(tabs_to_spaces_edits(tabs, 2), (std::vector<TextEdit>{{1, 2, "  "}, {3, 4, "  "}}));
    EXPECT_EQ(apply_text_edits(tabs, tabs_to_spaces_edits(tabs, 0)), "\xC3\xA9 x ");
    EXPECT_EQ(apply_text_edits("\xC3\xA9     x  ", spaces_to_tabs_edits("\xC3\xA9     x  ", 2)),
              "\xC3\xA9\t\t x\t");
}

TEST(TextTransformShuffle, KeepsTheLinesAndReachesEveryOrder) {
    std::set<std::string> orders;
    for (std::uint64_t seed = 0; seed < 200; ++seed) {
        const auto shuffled = shuffle_lines("a\nb\nc\n", seed);
        ASSERT_TRUE(shuffled);
        ASSERT_TRUE(shuffled->ends_with("\n"));
        std::string sorted = *shuffled;
        std::ranges::sort(sorted);
        EXPECT_EQ(sorted, "\n\n\nabc");
        orders.insert(*shuffled);
    }
    EXPECT_EQ(orders.size(), 6u);
    EXPECT_EQ(shuffle_lines("only\n", 1), "only\n");
}

TEST(TextTransformUnitaz, CountsOrdersAndReport) {
    EXPECT_EQ(run("UNITAZ avec trie par compte", "a b a", "", "/tmp/x.txt"),
              "Text analysis results for  /tmp/x.txt\n"
              "\n"
              "Words total: 3\n"
              "Words unique: 2\n"
              "Words total / Words unique = 1.500000\n"
              "\n"
              "Count:     Word:\n"
              "2          a\n"
              "1          b");
    EXPECT_TRUE(word_analysis("", "p", WordOrder::by_count, false)
                    .find("Words total: 0\nWords unique: 0\nWords total / Words unique = "
                          "0.000000\n") != std::string::npos);

    auto listing = [](const std::string& report) {
        return report.substr(report.find("Word:\n") + 6);
    };
    // Layout words: punctuation ends a word, digits after letters start one.
    const std::string text = "Été, été! l'été abc123 b b";
    EXPECT_EQ(listing(word_analysis(text, "", WordOrder::unsorted, false)),
              "1          Été\n2          été\n1          l\n1          abc\n1          123\n"
              "2          b");
    // Equal counts come in collation order, whatever the order of the text.
    EXPECT_EQ(listing(word_analysis(text, "", WordOrder::by_count, true)),
              "3          été\n2          b\n1          123\n1          abc\n1          l");
    EXPECT_EQ(listing(word_analysis("b a c a", "", WordOrder::alphabetical, false)),
              "2          a\n1          b\n1          c");
    EXPECT_EQ(run("Extraire des mots", "b a-b c a"), "b\na\nc");
}

TEST(TextTransformTable, EveryRowIsCallableAndLabelsAreUnique) {
    std::set<std::string> labels;
    for (const auto& row : text_transforms()) {
        EXPECT_TRUE(labels.insert(row.label).second) << row.label;
        EXPECT_NE(row.replace == nullptr, row.edits == nullptr) << row.label;
        EXPECT_EQ(row.edits != nullptr, row.scope == TransformScope::whole_text) << row.label;
        EXPECT_EQ(row.new_document, row.scope == TransformScope::selection_or_text) << row.label;
    }
    EXPECT_EQ(labels.size(), 37u);
    EXPECT_STREQ(find_text_transform("Numeroter les lignes")->prompt, "%d.)%s");
    EXPECT_EQ(find_text_transform("Trier les lignes")->prompt, nullptr);
    EXPECT_EQ(find_text_transform("Date/Time"), nullptr);
}

} // namespace
