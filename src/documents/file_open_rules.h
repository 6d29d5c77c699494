// What opening a file does with it, decided from its name and bytes alone.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "documents/charset_detect.h"

// By the text from the path's last '.', compared exactly: .jpg .png .gif .jpeg
// are shown in the Mini Web view instead of a tab; .htm and .html are shown there
// and opened as text; any path whose lower-cased form ends in .rtf is opened as
// its extracted text; everything else is read as text.
enum class OpenRoute { text, preview_only, preview_and_text, rtf };
OpenRoute open_route_for(std::string_view path);

// Pictures as links and the file panel see them: by the lower-cased ending.
bool is_picture_path(std::string_view path);

// The file a page's bytes become, and the charset that read them.
struct DecodedText {
    std::string text;
    std::string encoding;
};

// Reads `bytes` in `encoding`: "UTF-8" validates, "current locale" converts from
// the locale's charset, "autodetect" and "Japanese autodetect" choose the charset
// first, any other name converts from that charset. None when the bytes are not
// valid in it, the conversion fails or nothing was detected.
std::optional<DecodedText> decode_file_bytes(std::string_view bytes, const std::string& encoding,
                                             const CharsetDetectFlags& flags);

// Converts UTF-8 text into `charset` ("UTF-8" as is, "current locale" the
// locale's); none when a character has no form there.
std::optional<std::string> encode_text(std::string_view text, const std::string& charset);

// "Switcher entre header/source": .c/.cpp -> .h; .h -> .cpp when it exists, else .c.
std::optional<std::string>
header_source_counterpart(const std::string& path,
                          const std::function<bool(const std::string&)>& exists);
