#include "tools/html_scan.h"

#include <glib.h>
#include <glib/gi18n-lib.h>
#include <sys/stat.h>

#include <algorithm>

#include "documents/path_helpers.h"
#include "shell/gobj.h"
#include "shell/message_format.h"

namespace {

bool attribute_name_char(char c) {
    return g_ascii_isalnum(c) || c == '-' || c == '_' || c == ':' || c == '.';
}

// Each quoted value of attribute `name` (any case), in page order.
std::vector<std::string_view> attribute_values(std::string_view text, std::string_view name) {
    std::vector<std::string_view> values;
    const std::size_t n = text.size();
    std::size_t from = 0;
    while (from + name.size() <= n) {
        std::size_t at = from;
        while (at + name.size() <= n &&
               g_ascii_strncasecmp(text.data() + at, name.data(), name.size()) != 0)
            ++at;
        if (at + name.size() > n) break;
        from = at + 1;
        if (at > 0 && attribute_name_char(text[at - 1])) continue;
        std::size_t i = at + name.size();
        while (i < n && g_ascii_isspace(text[i]))
            ++i;
        if (i >= n || text[i] != '=') continue;
        ++i;
        while (i < n && g_ascii_isspace(text[i]))
            ++i;
        if (i >= n || (text[i] != '"' && text[i] != '\'')) continue;
        const std::size_t close = text.find(text[i], i + 1);
        if (close == std::string_view::npos) continue;
        values.push_back(text.substr(i + 1, close - i - 1));
        from = close + 1;
    }
    return values;
}

int hex_value(char c) {
    return g_ascii_isxdigit(c) ? g_ascii_xdigit_value(c) : -1;
}

// The file path an address names, or none: the address without "?query" and
// "#fragment", without a file:// prefix, with its %-escapes decoded.
std::optional<std::string> address_path(std::string_view value) {
    while (!value.empty() && g_ascii_isspace(value.front()))
        value.remove_prefix(1);
    while (!value.empty() && g_ascii_isspace(value.back()))
        value.remove_suffix(1);
    value = value.substr(0, value.find_first_of("?#"));
    if (value.empty()) return std::nullopt;
    if (value.size() >= 7 && g_ascii_strncasecmp(value.data(), "file://", 7) == 0) {
        value.remove_prefix(7);
        if (value.empty() || value.front() != '/') return std::nullopt; // names another host
    } else {
        if (value.substr(0, 2) == "//") return std::nullopt;
        const std::size_t colon = value.find(':');
        if (colon != std::string_view::npos && colon > 0 && g_ascii_isalpha(value[0]) &&
            std::all_of(value.begin(), value.begin() + colon, [](char c) {
                return g_ascii_isalnum(c) || c == '+' || c == '-' || c == '.';
            }))
            return std::nullopt; // http:, mailto:, javascript: …
    }
    std::string path;
    path.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '%' && i + 2 < value.size() && hex_value(value[i + 1]) >= 0 &&
            hex_value(value[i + 2]) >= 0) {
            const char c =
                static_cast<char>(hex_value(value[i + 1]) * 16 + hex_value(value[i + 2]));
            if (c == '\0') return std::nullopt;
            path += c;
            i += 2;
        } else {
            path += value[i];
        }
    }
    return path;
}

bool absolute(std::string_view path) {
    return !path.empty() && path.front() == '/';
}

// The size of a regular file, or none (missing, a folder, a device…).
std::optional<std::uint64_t> regular_file_size(const std::string& utf8_path) {
    const std::optional<std::string> local = to_filesystem_encoding(utf8_path);
    if (!local) return std::nullopt;
    struct stat st {};
    if (::stat(local->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

// `path` resolved against `folder`, without empty and "." segments, so that
// "./a.png" and "a.png" name one file.
std::string tidy_path(std::string_view path, std::string_view folder) {
    const std::string resolved = resolve_path(path, folder);
    std::string out;
    std::size_t start = 0;
    while (start <= resolved.size()) {
        std::size_t slash = resolved.find('/', start);
        if (slash == std::string::npos) slash = resolved.size();
        const std::string_view segment = std::string_view(resolved).substr(start, slash - start);
        if (!segment.empty() && segment != ".") {
            out += '/';
            out += segment;
        }
        start = slash + 1;
    }
    return normalise_path(out);
}

std::string folder_of(std::string_view document_path) {
    if (!absolute(document_path)) return {};
    GCharPtr dir(g_path_get_dirname(std::string(document_path).c_str()));
    return dir.get();
}

} // namespace

std::vector<std::string> html_scan_files(std::string_view text, std::string_view folder,
                                         HtmlScanKind kind) {
    std::vector<std::string> files;
    const std::string_view name = kind == HtmlScanKind::links ? "href" : "src";
    for (std::string_view value : attribute_values(text, name)) {
        const std::optional<std::string> path = address_path(value);
        if (!path) continue;
        if (!absolute(*path) && !absolute(folder)) continue;
        const std::string resolved = tidy_path(*path, folder);
        if (std::find(files.begin(), files.end(), resolved) != files.end()) continue;
        if (regular_file_size(resolved)) files.push_back(resolved);
    }
    return files;
}

std::vector<std::string> html_links_menu(std::string_view document_path, std::string_view text,
                                         HtmlScanKind kind) {
    std::vector<std::string> items{std::string(document_path)};
    const std::string own = absolute(document_path) ? tidy_path(document_path, {}) : "";
    for (std::string& file : html_scan_files(text, folder_of(document_path), kind))
        if (file != own) items.push_back(std::move(file));
    return items;
}

std::optional<PageWeight> html_page_weight(std::string_view text, std::string_view document_path) {
    const std::optional<std::uint64_t> page_size = regular_file_size(std::string(document_path));
    if (!page_size) return std::nullopt;
    PageWeight weight;
    weight.page_size = *page_size;
    weight.total = *page_size;
    const std::string own = absolute(document_path) ? tidy_path(document_path, {}) : "";
    for (std::string& file :
         html_scan_files(text, folder_of(document_path), HtmlScanKind::images)) {
        if (file == own) continue;
        const std::optional<std::uint64_t> size = regular_file_size(file);
        if (!size) continue;
        weight.total += *size;
        weight.files.push_back({std::move(file), *size});
    }
    return weight;
}

PageWeightLines html_page_weight_lines(const PageWeight& weight, std::string_view document_path) {
    auto line = [](const char* format, std::string_view path, std::uint64_t bytes) {
        return format_with_text(format_with_number(format, static_cast<long>(bytes / 1024)), path);
    };
    PageWeightLines lines;
    for (const PageWeightFile& file : weight.files)
        lines.files.push_back(line(_("%s = %d Kb"), file.path, file.size));
    lines.page = line(_("%s = %d Kb"), document_path, weight.page_size);
    lines.total = line(_("Total weight for %s is %d Kb"), document_path, weight.total);
    return lines;
}

std::string html_link_scan_advice() {
    return _("Maintenant, regardez dans le menu Navigation->Liens.");
}

std::string html_image_scan_advice() {
    return _("Maintenant, regardez dans le menu Navigation->Liens");
}
