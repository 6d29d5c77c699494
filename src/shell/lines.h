// Line lists and small text files: the shared helpers that recent files,
// histories, bookmarks, sessions, settings and most text tools go through.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// An ordered list of UTF-8 strings, one element per line or entry.
using Lines = std::vector<std::string>;

// Building lists.
Lines text_to_lines(std::string_view text);             // split at every LF, empty pieces kept
Lines text_to_lines_uncommented(std::string_view text); // as above, pieces starting with '#' left out
Lines text_to_marked_items(std::string_view text, std::string_view separator);
Lines text_to_lines_max(std::string_view text, std::size_t max);
Lines lines_copy_nonempty(const Lines& list);
void lines_prepend_int(Lines& list, std::string_view key, long n);
void lines_prepend_bool(Lines& list, std::string_view key, bool flag);
void lines_prepend_str(Lines& list, std::string_view key, std::string_view value);
// History insertion: drops the last collation-equal entry, puts `text` first, and
// drops the last entry when the list then holds `max` or more.
void lines_push_limited(Lines& list, std::string_view text, std::size_t max);
void lines_prepend_limited(Lines& list, std::string_view text, std::size_t max);

// Searching lists: each returns the index of the element, or none.
std::optional<std::size_t> lines_find_exact(const Lines& list, std::string_view text);
std::optional<std::size_t> lines_find_collate(const Lines& list, std::string_view text); // last match
std::optional<std::size_t> lines_find_containing(const Lines& list, std::string_view pattern); // last match
Lines lines_filter_absent(const Lines& list, std::string_view text);
Lines lines_filter_present(const Lines& list, std::string_view text);

// Joining and sorting.
std::string lines_to_text(const Lines& list);  // LF between elements, none after the last
std::string lines_to_words(const Lines& list); // one blank between elements
void lines_sort(Lines& list);                  // by UTF-8 collation keys

// UTF-8 collation equality, as the history and lookup helpers compare.
bool utf8_collate_equal(std::string_view a, std::string_view b);

// Files. Reads are whole-file; a missing or unreadable file is none.
std::optional<std::string> file_read_all(const std::string& path);
std::optional<Lines> file_to_lines(const std::string& path);
std::optional<Lines> file_to_lines_max(const std::string& path, std::size_t max);
bool lines_to_file(const Lines& list, const std::string& path); // each element then LF
bool string_to_file(const std::string& path, std::string_view text);
bool string_append_to_file(const std::string& path, std::string_view text);
bool file_copy(const std::string& source, const std::string& destination);

// Strings.
std::string replace_all(std::string_view text, std::string_view pattern,
                        std::string_view replacement);
std::string fill_template(std::string_view templ, std::string_view text);
// A link to `text`: its own address when it holds "scheme://" or "mailto:", else
// "ftp://", "mailto:" or "http://" before it; a `"` is written &quot; in the address.
std::string text_to_link(std::string_view text);

// Reads `path` when it is a regular file of at most `max_bytes` bytes. A FIFO,
// device or folder is refused without blocking: the file is opened
// non-blocking and checked before anything is read. Files that report no size
// (those of /proc) are read to their end within the bound.
struct RegularFileRead {
    enum Problem { none, unreadable, not_a_file, too_large } problem = none;
    int error = 0; // errno when unreadable
    std::string bytes;
};
RegularFileRead read_regular_file(const std::string& path, std::size_t max_bytes);
// The bytes, or none whatever the problem.
std::optional<std::string> file_read_regular(const std::string& path, std::size_t max_bytes);
