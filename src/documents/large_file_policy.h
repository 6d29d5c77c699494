// Which of a page's features whose cost grows with its text stay on, by the
// size of the file the page is read from. Below the first size every feature
// is on; a log or a dump file above it opens without what nobody misses there.
#pragma once

#include <cstdint>
#include <string>

// From this size on a page keeps no index of its own words for completion and
// marks the occurrences of a word or search only around the lines shown.
inline constexpr std::uint64_t kLargeFileBytes = std::uint64_t{1} << 20;
// From this size on the page also opens without syntax highlighting, which on a
// PHP page costs about 1.5 s of work per megabyte and 35 bytes of memory per byte.
inline constexpr std::uint64_t kUnhighlightedFileBytes = std::uint64_t{2} << 20;

struct PageFeatures {
    bool word_completion = true;     // the page's own words offered for completion
    bool marks_beyond_screen = true; // occurrences marked in the whole text
    bool highlighting = true;        // syntax highlighting as the file opens
    bool operator==(const PageFeatures&) const = default;
};

PageFeatures page_features_for_size(std::uint64_t bytes);

// The one log line for a page opened with features off: which ones, and how the
// highlighting comes back; empty when every feature is on.
std::string large_file_notice(const PageFeatures& features, std::uint64_t bytes);
