// The text rules under the editing primitives: what a word is, where the word
// around or before the cursor lies, line bounds, quote and tag jumps, title case.
//
// Units. `text` is UTF-8. Every offset called `cursor`, `start`, `end` or
// `offset` is a CHARACTER offset (Unicode characters from the start of `text`),
// the unit of GtkTextIter offsets, so a result can go straight to
// gtk_text_buffer_get_iter_at_offset. Offsets past the end are read as the end.
// Functions whose name ends in `_byte` take and return BYTE offsets instead.
//
// Cost. Reaching a character offset walks the bytes before it, so the
// character forms cost O(cursor) plus the work itself. A word never spans a line
// end (line ends are white space), so a caller may pass only the cursor's line
// and add the line's start offset. The `_byte` forms cost O(length of the word).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// True for the characters that end a word: Unicode white space, NUL, and
// ' " ` ( ) [ ] { } < > = , ! - : ? + ;
// Full stop, underscore, slash, dollar, at sign, hash and ampersand are word characters.
bool is_word_delimiter(char32_t c);

// The apostrophe and the double quote.
bool is_quote_char(char32_t c);

// Number of characters in `text`.
long utf8_char_count(std::string_view text);
// The byte index of character `offset`: the end of `text` when past it, 0 when
// negative.
std::size_t utf8_byte_at(std::string_view text, long offset);
// The character offset of byte index `byte` (which should start a character).
long utf8_char_at(std::string_view text, std::size_t byte);

// A range of `text` in character offsets, with its text.
struct TextSpan {
    long start = 0;
    long end = 0;
    std::string text;
    bool operator==(const TextSpan&) const = default;
};

// A range of `text` in byte offsets.
struct ByteSpan {
    std::size_t start = 0;
    std::size_t end = 0;
    bool operator==(const ByteSpan&) const = default;
};

// The word containing the cursor: from just after the nearest delimiter before
// the cursor (or the start) to the nearest delimiter at or after it (or the end).
// May be empty, for instance when the cursor sits between two delimiters.
TextSpan word_around_cursor(std::string_view text, long cursor);
ByteSpan word_around_byte(std::string_view text, std::size_t cursor_byte);

// The same start; the end is the cursor itself (what has been typed of the word).
TextSpan word_before_cursor(std::string_view text, long cursor);
ByteSpan word_before_byte(std::string_view text, std::size_t cursor_byte);

// Line `line` (counted from 1) without its line end, as "go to line" selects it.
// Line ends are those of GtkTextBuffer: LF, CR, CR LF and U+2029. None when the
// line does not exist or has no line end (the last line of the text): going to
// the last line of a text that does not end with a newline does nothing.
std::optional<TextSpan> goto_line_span(std::string_view text, long line);

// The offset of the nearest quote character before the cursor (the cursor goes
// just before it); none when there is none.
std::optional<long> previous_quote_offset(std::string_view text, long cursor);

// Just after the second '>' before the cursor: between an opening and a closing
// tag that were just inserted. None when there are fewer than two.
std::optional<long> after_previous_tag_offset(std::string_view text, long cursor);

// The cursor moved `n` characters back; none when that would pass the start or
// when `n` is not positive.
std::optional<long> cursor_back_offset(long cursor, long n);

// `text` with every character that starts a word upper-cased. Word starts follow
// the toolkit's text layout rules: a word is a run of letters, or a run that
// starts with a digit and goes on through digits and letters (a digit after
// letters starts such a run); combining marks and format characters continue a
// word; anything else ends it. So "don't" becomes
// "Don'T", "foo_bar" "Foo_Bar", "abc123" "Abc123" and "2nd" stays "2nd".
std::string title_case(std::string_view text);

// The words of `text` by the same layout rule as title_case, each from its
// first character to just after its last, in byte offsets, in text order:
// "l'été 2nd abc123" holds "l", "été", "2nd", "abc" and "123".
std::vector<ByteSpan> layout_word_spans(std::string_view text);
