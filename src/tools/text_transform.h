// Text transformations of the Fonctions menu as plain functions over UTF-8
// text. Lengths and positions count characters, not bytes.
//
// A function that returns a TransformResult gives the text that replaces its
// input, or none when the input must stay as it is: the command does nothing
// for these parameters, or the result could not be made (an unreadable number,
// a numeral out of range, invalid UTF-8). A failure never deletes anything.
//
// Line commands share one reading of the text: it is cut at every line feed;
// when every line feed is preceded by a carriage return the lines are cut at
// CR LF instead and joined with CR LF again. A final line end belongs to the
// text, not to its last line: the lines before it are worked on and the line
// end is put back, unless no line is left.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using TransformResult = std::optional<std::string>;

// Command-entry parameters: the entry text cut at every "~" into at most
// `max_pieces` pieces, the last keeping the rest (0: no limit). An empty entry
// has no pieces.
std::vector<std::string> entry_pieces(std::string_view entry, std::size_t max_pieces = 0);
// A piece read as a decimal integer the way strtol reads it: leading blanks
// and a sign accepted, reading stops at the first non-digit, no digit gives 0,
// values past the range of long are clamped.
long entry_number(std::string_view piece);

// Characters.
TransformResult text_upper(std::string_view text);
TransformResult text_lower(std::string_view text);
TransformResult text_title_case(std::string_view text);
// The characters in reverse order; a CR LF pair stays one line end.
TransformResult reverse_characters(std::string_view text);

// Numbers. The selection's leading number (after blanks) is read and replaced
// by its conversion; the rest of the selection goes with it.
TransformResult arabic_to_roman(std::string_view text); // 1 to 3999
TransformResult hex_to_decimal(std::string_view text);  // unsigned 64-bit, "0x" allowed
TransformResult binary_to_decimal(std::string_view text);
// The lines start×factor, (start+1)×factor … end×factor; none when end < start
// or a product leaves 64 bits. At most `counter_max_lines` lines are written.
inline constexpr long counter_max_lines = 1000000;
TransformResult counter_text(long start, long end, long factor);

// Format.
// Split at single spaces, each piece trimmed of ASCII white space, empty pieces
// dropped, the rest joined with single spaces.
TransformResult squeeze_spaces(std::string_view text);
TransformResult squeeze_spaces_each_line(std::string_view text);
// Line feeds removed, then one after every `width` characters; none when width < 1.
TransformResult wrap_hard(std::string_view text, long width);
// A space is turned into a line feed when the line has reached `width`
// columns (a tab counting 8) and the space lies in the line's second half.
TransformResult wrap_at_spaces(std::string_view text, long width);
// Spaces and tabs removed at the start, or at the end (before a CR), of every line.
TransformResult trim_line_starts(std::string_view text);
TransformResult trim_line_ends(std::string_view text);

// Sorting, by UTF-8 collation keys of the current locale.
TransformResult sort_lines(std::string_view text);
TransformResult sort_lines_nocase(std::string_view text);
// Longest first; lines of equal length come in the reverse of their order.
TransformResult sort_lines_by_length(std::string_view text);
TransformResult reverse_lines(std::string_view text);

// Line lists.
TransformResult remove_empty_lines(std::string_view text);
// Each line that collates equal to an earlier one is removed.
TransformResult remove_duplicate_lines(std::string_view text);
// Each line not starting with '#' becomes `templ` with every "%d" replaced by
// step×(offset+i) (i counting numbered lines from 1), then every "%s" by the
// line. Lines starting with '#' stay as they are. None when `templ` lacks "%s".
TransformResult number_lines(std::string_view text, std::string_view templ, long step, long offset);
// Each line becomes `templ` with every "%s" replaced by it; none without "%s".
TransformResult apply_line_template(std::string_view text, std::string_view templ);
// A uniformly random order of the lines; the same seed gives the same order.
TransformResult shuffle_lines(std::string_view text, std::uint64_t seed);

// Filters; an empty `needle` changes nothing.
TransformResult remove_lines_containing(std::string_view text, std::string_view needle);
TransformResult keep_lines_containing(std::string_view text, std::string_view needle);
TransformResult remove_lines_shorter_than(std::string_view text, long n); // keeps length >= n
TransformResult remove_lines_longer_than(std::string_view text, long n);  // keeps length <= n

// Whole-text conversions come as edits, so that a text buffer applies them in
// place and keeps its marks: characters [start, end) become `text`. Edits are in
// ascending order, do not overlap, and their offsets are those of the original
// text (apply them from the last to the first).
struct TextEdit {
    long start = 0;
    long end = 0;
    std::string text;
    bool operator==(const TextEdit&) const = default;
};
std::string apply_text_edits(std::string_view text, const std::vector<TextEdit>& edits);

// Every tab becomes `n` spaces; every run of `n` spaces, found left to right,
// becomes a tab. `n` below 1 counts as 1.
std::vector<TextEdit> tabs_to_spaces_edits(std::string_view text, long n);
std::vector<TextEdit> spaces_to_tabs_edits(std::string_view text, long n);
// Every CR LF becomes LF; every LF not already preceded by CR becomes CR LF.
std::vector<TextEdit> crlf_to_lf_edits(std::string_view text);
std::vector<TextEdit> lf_to_crlf_edits(std::string_view text);

// Word analysis over the layout's words (see layout_word_spans): a report of
// the total and distinct counts and one line per distinct word with its count.
// `path` names the document in the report's heading. Words are lower-cased
// first with `fold_case`. Ties are ordered by collation, then bytewise;
// `unsorted` lists words in the order they first occur.
enum class WordOrder { alphabetical, by_count, unsorted };
std::string word_analysis(std::string_view text, std::string_view path, WordOrder order,
                          bool fold_case);
// Each distinct word once, in the order it first occurs, one per line.
std::string extract_words(std::string_view text);
