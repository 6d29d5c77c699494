// The scrapbook's texts and bytes: crapbook.txt in the configuration folder is
// UTF-8 text with the newest fragment first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// A scrapbook larger than this is not read, shown or rewritten.
inline constexpr std::size_t kScrapbookMaxBytes = 32u << 20;

// What a new scrapbook file holds (translated), without a line end.
std::string scrapbook_first_text();
// The text the Note page starts with, above the file's content (translated).
std::string scrapbook_intro();
// The file's bytes as the Note page shows them: UTF-8 kept, other lines read
// in the locale's charset, the whole file at once.
std::string scrapbook_display_text(std::string_view bytes);

// The file after adding `selection` in front of `old_bytes`: the selection, a
// line end, an empty line, then the old bytes untouched. The end of the file
// never changes, so additions do not pile up empty lines there.
std::string scrapbook_with_addition(std::string_view selection, std::string_view old_bytes);
// What an addition puts at the Note page's cursor and at the start of an open
// scrapbook tab: the selection and one line end.
std::string scrapbook_fragment(std::string_view selection);
