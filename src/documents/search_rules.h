// Search and replace rules: the replace-all command of the command entry and
// the search without case, whose lower-casing may change the length of a
// character while the offsets handed back must be those of the original text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/text_words.h"

// "find~replacement": split at every "~", the first piece is the text to find,
// the second its replacement, further pieces are ignored. None without "~"
// (nothing to do); the text to find may be empty (the entry began with "~").
struct ReplaceCommand {
    std::string find;
    std::string replacement;
    bool operator==(const ReplaceCommand&) const = default;
};
std::optional<ReplaceCommand> parse_replace_command(std::string_view entry);

// Every occurrence of `find` replaced, left to right, without overlap, by byte
// comparison. An empty `find` replaces nothing. The bytes of `text` before
// `first` and from `last_end` on are the same in the result: only
// [first, last_end) changed, and it became result[first, text.size() - ...).
struct ReplaceResult {
    std::string text;
    std::size_t count = 0;
    std::size_t first = 0;    // where the first occurrence starts
    std::size_t last_end = 0; // where the last occurrence ends
};
ReplaceResult replace_all_counted(std::string_view text, std::string_view find,
                                  std::string_view replacement);

// Replace-all as a text buffer applies it: the characters [from, to) of
// `text`, from the first occurrence to the end of the last, become `text`
// here. U+FFFC (where a picture sits) is left out of it: a picture cannot be
// written back as text. A count of 0 means nothing changes.
struct ReplacedStretch {
    std::size_t count = 0;
    long from = 0;
    long to = 0;
    std::string text;
};
ReplacedStretch replace_all_stretch(std::string_view text, std::string_view find,
                                    std::string_view replacement);

// Every occurrence of `needle` in `text`, left to right, each search resuming
// at the end of the previous match, as character offsets [start, end). None
// for an empty needle.
struct CharRange {
    long start = 0;
    long end = 0;
    bool operator==(const CharRange&) const = default;
};
std::vector<CharRange> find_all(std::string_view text, std::string_view needle);

// The lower case the search without case compares: the Unicode lower case of
// each character (U+0130 becomes "i" and a combining dot above), with the final
// sigma read as sigma so that a word matches whatever its position.
std::string lower_for_search(std::string_view text);

// The first occurrence of `needle`, compared in that lower case, that begins
// after character `cursor` (an occurrence at the cursor is the one found last
// time and is skipped). Offsets are characters of `text`, the span covers the
// original characters whose lower case the match touches. None for an empty
// needle or when there is no further occurrence.
std::optional<TextSpan> find_without_case(std::string_view text, std::string_view needle,
                                          long cursor);

// The leading decimal number of a "go to line" entry ("12abc" is 12, text
// without digits is 0).
long line_number_of_entry(std::string_view entry);
