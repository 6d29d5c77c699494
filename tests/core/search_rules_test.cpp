// Replace-all from the command entry and the search without case, whose
// offsets must stay those of the original text whatever the lower case does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "documents/search_rules.h"

namespace {

std::string run_command(const std::string& text, const std::string& entry) {
    auto command = parse_replace_command(entry);
    if (!command) return text;
    return replace_all_counted(text, command->find, command->replacement).text;
}

TEST(ReplaceCommand, SplitsAtEveryTildeAndKeepsTheFirstTwoPieces) {
    EXPECT_EQ(parse_replace_command("foo~bar"), (ReplaceCommand{"foo", "bar"}));
    EXPECT_EQ(parse_replace_command("foo~"), (ReplaceCommand{"foo", ""}));
    EXPECT_EQ(parse_replace_command("foo~bar~baz"), (ReplaceCommand{"foo", "bar"}));
    EXPECT_EQ(parse_replace_command("~bar"), (ReplaceCommand{"", "bar"}));
    EXPECT_EQ(parse_replace_command("~"), (ReplaceCommand{"", ""}));
    EXPECT_FALSE(parse_replace_command("foo"));
    EXPECT_FALSE(parse_replace_command(""));
}

TEST(ReplaceCommand, AppliedToATextAsTheCommandEntryDoes) {
    EXPECT_EQ(run_command("foo bar foofoo", "foo~"), " bar ");
    EXPECT_EQ(run_command("a foo b foo", "foo~bar~baz"), "a bar b bar");
    // No tilde: nothing changes.
    EXPECT_EQ(run_command("foo", "foo"), "foo");
    // A text to find that starts with "~" is empty: nothing is replaced, and
    // above all the replacement does not loop.
    const auto empty = replace_all_counted("abc", "", "x");
    EXPECT_EQ(empty.text, "abc");
    EXPECT_EQ(empty.count, 0u);
}

TEST(ReplaceAll, LeftToRightWithoutOverlapByBytes) {
    auto r = replace_all_counted("aaaaa", "aa", "b");
    EXPECT_EQ(r.text, "bba");
    EXPECT_EQ(r.count, 2u);
    r = replace_all_counted("Foo foo", "foo", "x");
    EXPECT_EQ(r.text, "Foo x");
    EXPECT_EQ(r.count, 1u);
    r = replace_all_counted("été", "é", "e");
    EXPECT_EQ(r.text, "ete");
    r = replace_all_counted("x", "x", "longer text");
    EXPECT_EQ(r.text, "longer text");
    r = replace_all_counted("abc", "z", "y");
    EXPECT_EQ(r.text, "abc");
    EXPECT_EQ(r.count, 0u);
    // Embedded NUL bytes are text like any other.
    r = replace_all_counted(std::string("a\0b\0", 4), std::string("\0", 1), "-");
    EXPECT_EQ(r.text, "a-b-");
}

TEST(ReplaceAll, TellsTheStretchThatChanged) {
    const std::string text = "keep foo mid foo tail";
    auto r = replace_all_counted(text, "foo", "quux");
    EXPECT_EQ(r.first, 5u);
    EXPECT_EQ(r.last_end, 16u);
    // Around the stretch the bytes are the same; inside it, the replaced text.
    EXPECT_EQ(r.text.substr(0, r.first), text.substr(0, r.first));
    const std::size_t tail = text.size() - r.last_end;
    EXPECT_EQ(r.text.substr(r.text.size() - tail), " tail");
    EXPECT_EQ(r.text.substr(r.first, r.text.size() - tail - r.first), "quux mid quux");
    // One occurrence at each end of the text.
    r = replace_all_counted("ab", "ab", "");
    EXPECT_EQ(r.first, 0u);
    EXPECT_EQ(r.last_end, 2u);
    EXPECT_EQ(r.text, "");
}

TEST(ReplaceAll, TheStretchForTheBufferCountsCharactersAndDropsPictures) {
    // Two-byte letters before and inside the stretch: offsets are characters.
    auto r = replace_all_stretch("éé foo é foo tail", "foo", "barbaz");
    EXPECT_EQ(r.count, 2u);
    EXPECT_EQ(r.from, 3);
    EXPECT_EQ(r.to, 12);
    EXPECT_EQ(r.text, "barbaz é barbaz");
    // A picture's place inside the stretch is not written back; one outside stays out of it.
    r = replace_all_stretch("\xEF\xBF\xBC a \xEF\xBF\xBC a", "a", "b");
    EXPECT_EQ(r.from, 2);
    EXPECT_EQ(r.to, 7);
    EXPECT_EQ(r.text, "b  b");
    // Nothing found, or nothing to find: no change.
    EXPECT_EQ(replace_all_stretch("abc", "z", "y").count, 0u);
    EXPECT_EQ(replace_all_stretch("abc", "", "y").count, 0u);
}

TEST(FindAll, CharacterRangesResumingAfterEachMatch) {
    EXPECT_EQ(find_all("aaaa", "aa"), (std::vector<CharRange>{{0, 2}, {2, 4}}));
    EXPECT_EQ(find_all("été foo ü foo", "foo"), (std::vector<CharRange>{{4, 7}, {10, 13}}));
    EXPECT_EQ(find_all("xéx", "é"), (std::vector<CharRange>{{1, 2}}));
    EXPECT_TRUE(find_all("abc", "").empty());
    EXPECT_TRUE(find_all("abc", "abcd").empty());
}

TEST(LowerForSearch, UnicodeLowerCaseThatMayChangeLengths) {
    EXPECT_EQ(lower_for_search("ABC Été"), "abc été");
    // U+0130 becomes two characters, the Kelvin sign three bytes fewer than one.
    EXPECT_EQ(lower_for_search("\u0130"), "i\u0307");
    EXPECT_EQ(lower_for_search("\u212A"), "k");
    EXPECT_EQ(lower_for_search("\u1E9E"), "\u00DF");
    // Final and inner sigma compare equal.
    EXPECT_EQ(lower_for_search("ΣΑΣ"), lower_for_search("σας"));
}

TEST(FindWithoutCase, FindsTheFirstOccurrenceAfterTheCursor) {
    const std::string text = "Foo bar FOO baz foo";
    auto m = find_without_case(text, "fOo", 0);
    ASSERT_TRUE(m);
    // The one at the cursor was found last time and is skipped.
    EXPECT_EQ(m->start, 8);
    EXPECT_EQ(m->end, 11);
    EXPECT_EQ(m->text, "FOO");
    m = find_without_case(text, "foo", 8);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 16);
    EXPECT_FALSE(find_without_case(text, "foo", 16));
    EXPECT_FALSE(find_without_case(text, "", 0));
    EXPECT_FALSE(find_without_case(text, "foo", 100));
    // Close after the cursor is found too, not only beyond the text's length.
    m = find_without_case("xfoo", "FOO", 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 1);
}

TEST(FindWithoutCase, OffsetsStayThoseOfTheOriginalTextWhenLengthsChange) {
    // Each U+0130 lowers to two characters: offsets counted in the lower-cased
    // text would land two characters too far.
    const std::string text = "\u0130\u0130 x Straße \u212Aelvin";
    auto m = find_without_case(text, "STRASSE", 0);
    EXPECT_FALSE(m); // lower case, not case folding: ß stays ß
    m = find_without_case(text, "STRAẞE", 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 5);
    EXPECT_EQ(m->end, 11);
    EXPECT_EQ(m->text, "Straße");
    m = find_without_case(text, "kelvin", 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 12);
    EXPECT_EQ(m->end, 18);
    EXPECT_EQ(m->text, "\u212Aelvin");
    // A match that begins inside a character's lower case takes the whole
    // character: the combining dot is half of the second U+0130.
    m = find_without_case(text, "\u0307", 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 1);
    EXPECT_EQ(m->end, 2);
    EXPECT_EQ(m->text, "\u0130");
    // The needle's own expansion matches the text's.
    m = find_without_case("ai\u0307b", "\u0130B", 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 1);
    EXPECT_EQ(m->end, 4);
}

TEST(FindWithoutCase, GreekSigmaMatchesInAnyPosition) {
    auto m = find_without_case("- λόγος λόγοσ", "ΛΌΓΟΣ", 0);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 2);
    m = find_without_case("- λόγος λόγοσ", "ΛΌΓΟΣ", 2);
    ASSERT_TRUE(m);
    EXPECT_EQ(m->start, 8);
}

TEST(GoToLineEntry, LeadingDecimalNumber) {
    EXPECT_EQ(line_number_of_entry("12abc"), 12);
    EXPECT_EQ(line_number_of_entry("abc"), 0);
    EXPECT_EQ(line_number_of_entry("7"), 7);
}

} // namespace
