#include "web/web_addresses.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {
std::string encoded(std::string_view text) {
    GCharPtr e(g_uri_escape_string(std::string(text).c_str(), nullptr, FALSE));
    return e ? e.get() : "";
}
} // namespace

std::string web_search_address(std::string_view text) {
    return "https://duckduckgo.com/html/?q=" + encoded(text);
}

std::string translation_address(std::string_view text, TranslationDirection direction) {
    const char* pair = direction == TranslationDirection::french_to_english ? "fr&tl=en" : "en&tl=fr";
    return std::string("https://translate.google.com/?sl=") + pair + "&op=translate&text=" +
           encoded(text);
}
