#include "documents/file_open_rules.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {
std::string_view extension(std::string_view path) {
    std::size_t dot = path.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : path.substr(dot);
}

std::string lower_ascii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = g_ascii_tolower(c);
    return out;
}

std::optional<std::string> convert(std::string_view bytes, const char* to, const char* from) {
    gsize written = 0;
    GError* error = nullptr;
    GCharPtr out(g_convert(bytes.data(), static_cast<gssize>(bytes.size()), to, from, nullptr,
                           &written, &error));
    if (!out) {
        g_clear_error(&error);
        return std::nullopt;
    }
    return std::string(out.get(), written);
}

const char* locale_charset() {
    const char* charset = nullptr;
    g_get_charset(&charset);
    return charset;
}
} // namespace

OpenRoute open_route_for(std::string_view path) {
    std::string_view ext = extension(path);
    if (ext == ".jpg" || ext == ".png" || ext == ".gif" || ext == ".jpeg")
        return OpenRoute::preview_only;
    if (lower_ascii(path).ends_with(".rtf")) return OpenRoute::rtf;
    if (ext == ".htm" || ext == ".html") return OpenRoute::preview_and_text;
    return OpenRoute::text;
}

bool is_picture_path(std::string_view path) {
    const std::string lower = lower_ascii(path);
    for (const char* ending : {".png", ".gif", ".jpg", ".jpeg", ".wbmp", ".bmp", ".mng"})
        if (lower.ends_with(ending)) return true;
    return false;
}

std::optional<DecodedText> decode_file_bytes(std::string_view bytes, const std::string& encoding,
                                             const CharsetDetectFlags& flags) {
    std::string charset = encoding;
    if (charset == "Japanese autodetect") {
        charset = japanese_autodetect(bytes);
    } else if (charset == "autodetect") {
        auto found = charset_autodetect(bytes, flags);
        if (!found) return std::nullopt;
        charset = *found;
    }
    if (charset == "UTF-8") {
        if (!bytes_are_utf8(bytes)) return std::nullopt;
        return DecodedText{std::string(bytes), charset};
    }
    const char* from = charset == "current locale" ? locale_charset() : charset.c_str();
    auto text = convert(bytes, "UTF-8", from);
    // A NUL inside the converted text would cut the page short: refuse it as well.
    if (!text || !bytes_are_utf8(*text)) return std::nullopt;
    return DecodedText{std::move(*text), charset};
}

std::optional<std::string> encode_text(std::string_view text, const std::string& charset) {
    if (charset == "UTF-8") return std::string(text);
    const char* to = charset == "current locale" ? locale_charset() : charset.c_str();
    return convert(text, to, "UTF-8");
}

std::optional<std::string>
header_source_counterpart(const std::string& path,
                          const std::function<bool(const std::string&)>& exists) {
    auto stem_of = [&](std::string_view ending) {
        return path.substr(0, path.size() - ending.size());
    };
    if (path.ends_with(".cpp")) return stem_of(".cpp") + ".h";
    if (path.ends_with(".c")) return stem_of(".c") + ".h";
    if (path.ends_with(".h")) {
        std::string cpp = stem_of(".h") + ".cpp";
        return exists(cpp) ? cpp : stem_of(".h") + ".c";
    }
    return std::nullopt;
}
