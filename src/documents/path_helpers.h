// Path arithmetic for open, save and the tools that write links: resolution
// against a folder, "/../" removal, relative paths, the file-system encoding,
// and the names of time-stamped versions.
//
// Paths are byte strings: the text rules work the same on UTF-8 and on
// file-system encoded paths, as long as a call does not mix the two.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// Removes each "/../" with the segment before it, from the left, looking again at
// the same place after each removal ("/x/a/b/../../c" gives "/x/c"). A "/../" is
// kept when no "/" precedes it except at the very first character ("/a/../b" and
// "a/../b" stay as they are) and when nothing follows it ("/a/b/../" stays).
// A "/../" is also kept when the segment before it is empty, "." or "..", where
// dropping both would name another file ("/a/../../b" must not become "/a/b").
// Whatever is kept still names the same file.
std::string normalise_path(std::string_view path);

// An absolute `path` normalised; a relative one put behind `folder` (with a "/"
// between them when `folder` does not end with one) and normalised. An empty
// `folder` stands for the current working directory.
std::string resolve_path(std::string_view path, std::string_view folder = {});

// `target` written relative to the folder of `document_path`, both normalised
// first: for /a/b/c.html, /a/d/e.png gives ../d/e.png, /a/b/e.png gives e.png and
// /a/b/x/e.png gives x/e.png. Without a document path, the normalised target.
// When one path is absolute and the other is not they share no folder, and the
// normalised target is returned as it is.
std::string relative_path(std::string_view document_path, std::string_view target);

// The file-name conversions of the platform (G_FILENAME_ENCODING, UTF-8 by
// default); none when the name cannot be converted or holds a NUL.
std::optional<std::string> to_filesystem_encoding(std::string_view utf8_path);
std::optional<std::string> to_utf8_path(std::string_view filesystem_path);

// The text of ctime for `when`, without its line end: "Mon Dec  7 12:49:36 2026".
// Day and month names are English whatever the locale, as ctime's are.
std::string ctime_text(const std::tm& when);

// The name of a saved version of `path` made at local time `when`: in the file's
// folder, the ctime text with every colon and space turned into "_", then "_" and
// the file's base name: /srv/Mon_Dec__7_12_49_36_2026_index.html.
std::string version_file_path(std::string_view path, const std::tm& when);
std::string version_file_path(std::string_view path, std::time_t when);
