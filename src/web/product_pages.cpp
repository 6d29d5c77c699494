#include "web/product_pages.h"

#include "shell/data_paths.h"

#include <glib.h>

#include <vector>

std::string product_home_page() {
    return std::string(kProductScheme) + "://main.php?version=" + kProductVersion;
}

std::string product_version_page() {
    return std::string(kProductScheme) + "://version.php?version=" + kProductVersion;
}

std::string product_manual_page() {
    return std::string(kProductScheme) + "://DOC/doc.html";
}

std::string product_bug_report_page() {
    return std::string(kProductScheme) + "://bug_rapport.php?clef=" + kProductVersion;
}

std::string product_about_page() {
    return std::string(kProductScheme) + "://about.html";
}

std::string search_engine_home_page() {
    return std::string(kSearchEngineAddress) + "/";
}

std::string translation_home_page() {
    return std::string(kTranslationAddress) + "/?hl=fr&tab=wT";
}

namespace {

bool ends_with_nocase(std::string_view text, std::string_view suffix) {
    if (text.size() < suffix.size()) return false;
    std::string_view tail = text.substr(text.size() - suffix.size());
    for (size_t i = 0; i < suffix.size(); ++i)
        if (g_ascii_tolower(tail[i]) != g_ascii_tolower(suffix[i])) return false;
    return true;
}

// Decodes %XX escapes. An escaped "/" would let one segment hide a path step
// from the ".." check, and an escaped NUL would cut the file name short, so
// both refuse the whole address, as do malformed escapes.
std::optional<std::string> unescape_path(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\0') return std::nullopt;
        if (c != '%') {
            out += c;
            continue;
        }
        if (i + 2 >= text.size()) return std::nullopt;
        int hi = g_ascii_xdigit_value(text[i + 1]);
        int lo = g_ascii_xdigit_value(text[i + 2]);
        if (hi < 0 || lo < 0) return std::nullopt;
        char decoded = static_cast<char>(hi * 16 + lo);
        if (decoded == '\0' || decoded == '/') return std::nullopt;
        out += decoded;
        i += 2;
    }
    return out;
}

} // namespace

std::string product_page_mime(std::string_view file_name) {
    static const struct {
        const char* suffix;
        const char* mime;
    } table[] = {
        {".html", "text/html"},     {".htm", "text/html"},  {".css", "text/css"},
        {".js", "text/javascript"}, {".png", "image/png"},  {".jpg", "image/jpeg"},
        {".jpeg", "image/jpeg"},    {".gif", "image/gif"},  {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},   {".txt", "text/plain"},
    };
    for (const auto& entry : table)
        if (ends_with_nocase(file_name, entry.suffix)) return entry.mime;
    return "application/octet-stream";
}

bool is_product_page_address(std::string_view uri) {
    const std::string prefix = std::string(kProductScheme) + "://";
    if (uri.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i)
        if (g_ascii_tolower(uri[i]) != prefix[i]) return false;
    return true;
}

std::optional<ProductPageFile> product_page_file(std::string_view uri, std::string_view www_dir) {
    if (!is_product_page_address(uri)) return std::nullopt;
    std::string_view rest = uri.substr(std::string_view(kProductScheme).size() + 3);
    rest = rest.substr(0, rest.find_first_of("?#"));
    if (rest.empty() || rest.front() == '/') return std::nullopt;

    auto decoded = unescape_path(rest);
    if (!decoded) return std::nullopt;

    std::vector<std::string> segments;
    std::string_view path = *decoded;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string_view::npos) slash = path.size();
        std::string_view segment = path.substr(start, slash - start);
        if (segment == "..") return std::nullopt;
        bool last = slash == path.size();
        if (last && (segment.empty() || segment == ".")) return std::nullopt; // a folder
        if (!segment.empty() && segment != ".") segments.emplace_back(segment);
        start = slash + 1;
    }
    if (segments.empty()) return std::nullopt;

    std::string& name = segments.back();
    if (ends_with_nocase(name, ".php")) name.replace(name.size() - 4, 4, ".html");

    std::string file(www_dir);
    while (!file.empty() && file.back() == '/')
        file.pop_back();
    for (const auto& segment : segments)
        file += "/" + segment;
    return ProductPageFile{file, product_page_mime(name)};
}
