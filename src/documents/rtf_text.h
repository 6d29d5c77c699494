// Plain text out of an RTF file: a rough filter that keeps the visible
// characters and turns paragraph and tab control words into line feeds and tabs.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The text of the RTF bytes as UTF-8, the collected bytes read in `charset`
// (the rtf_enc setting); none when they do not convert from it.
std::optional<std::string> rtf_extract_text(std::string_view bytes, const std::string& charset);
