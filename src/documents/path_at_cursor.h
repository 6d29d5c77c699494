// What the text around the cursor names when the user asks to open "the file
// under the cursor": a file path written between quotes, resolved against the
// page's folder, or an in-page anchor ("#name") to jump to.
//
// Offsets are CHARACTER offsets into the UTF-8 `text`, as in text_words.h. The
// text must hold one character per buffer position: an embedded picture reads as
// U+FFFC (what gtk_text_buffer_get_slice gives with hidden text included).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "documents/text_words.h"

// The text between the nearest quote character before the cursor (or the start)
// and the nearest one at or after it (or the end), both quotes left out.
TextSpan quoted_text_around(std::string_view text, long cursor);

// The offset of the first `<a name="` followed by `name` at or after `from`,
// pictures (U+FFFC) being skipped as if absent; none when there is none.
std::optional<long> find_anchor(std::string_view text, long from, std::string_view name);

struct PathAtCursor {
    enum class Kind { none, path, anchor };
    Kind kind = Kind::none;
    std::string path;       // Kind::path: the resolved path, in the page path's encoding
    long anchor_offset = 0; // Kind::anchor: where the cursor goes
};

// The quoted text around the cursor. One starting with "#" is an anchor: the
// result is where `<a name="` and the rest of it is found from the cursor on, or
// none when it is not there. Anything else is a path: a leading "/" is dropped
// (paths in pages are taken as relative to the page) and the rest resolved
// against the folder of `page_path`.
PathAtCursor path_at_cursor(std::string_view text, long cursor, std::string_view page_path);
