#include "web/web_addresses.h"

#include <glib.h>

#include "shell/gobj.h"
#include "web/product_pages.h"

std::string percent_encode(std::string_view text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 3);
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (g_ascii_isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += c;
        } else {
            out += '%';
            out += hex[byte >> 4];
            out += hex[byte & 0x0F];
        }
    }
    return out;
}

std::string web_search_address(std::string_view text) {
    return std::string(kSearchEngineAddress) + "/?q=" + percent_encode(text);
}

std::string translation_address(std::string_view text, TranslationDirection direction) {
    const char* pair =
        direction == TranslationDirection::french_to_english ? "sl=fr&tl=en" : "sl=en&tl=fr";
    return std::string(kTranslationAddress) + "/?hl=fr&" + pair +
           "&op=translate&text=" + percent_encode(text);
}

std::optional<std::string> file_address(const std::string& path) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    GCharPtr uri(g_filename_to_uri(path.c_str(), nullptr, nullptr));
    if (!uri) return std::nullopt;
    return std::string(uri.get());
}

std::optional<bool> picture_buttons_shown(std::string_view address) {
    const std::size_t dot = address.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string_view ending = address.substr(dot);
    return ending == ".jpg" || ending == ".png" || ending == ".gif" || ending == ".jpeg";
}

std::optional<std::string> picture_address_name(std::string_view address) {
    const std::size_t start = address.find("://");
    if (start == std::string_view::npos) return std::nullopt;
    if (start == 4 && g_ascii_strncasecmp(address.data(), "file", 4) == 0) {
        const std::string text(address);
        GCharPtr path(g_filename_from_uri(text.c_str(), nullptr, nullptr));
        if (path) {
            GCharPtr shown(g_filename_display_name(path.get()));
            return std::string(shown.get());
        }
    }
    std::string_view rest = address.substr(start + 3);
    return std::string(rest.substr(0, rest.find("://")));
}
