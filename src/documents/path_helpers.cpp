#include "documents/path_helpers.h"

#include <glib.h>

#include <algorithm>

#include "shell/gobj.h"

namespace {

bool removable_segment(std::string_view segment) {
    return !segment.empty() && segment != "." && segment != "..";
}

std::string two_digits(int n) {
    std::string text = std::to_string(n);
    return text.size() < 2 ? "0" + text : text;
}

int wrapped(int n, int count) {
    return ((n % count) + count) % count;
}

} // namespace

std::string normalise_path(std::string_view path) {
    constexpr std::string_view up = "/../";
    std::string s(path);
    std::size_t from = 0;
    for (std::size_t p; (p = s.find(up, from)) != std::string::npos;) {
        if (p + up.size() == s.size()) break;
        const std::size_t q = p == 0 ? std::string::npos : s.rfind('/', p - 1);
        if (q == std::string::npos || q == 0 || !removable_segment(s.substr(q + 1, p - q - 1))) {
            from = p + 1;
            continue;
        }
        // "/seg/.." goes; the "/" that followed ".." joins what was before "/seg".
        s.erase(q, p + 3 - q);
        from = q;
    }
    return s;
}

std::string resolve_path(std::string_view path, std::string_view folder) {
    if (!path.empty() && path.front() == '/') return normalise_path(path);
    std::string base;
    if (folder.empty()) {
        GCharPtr cwd(g_get_current_dir());
        base = cwd.get();
    } else {
        base = folder;
    }
    if (base.empty() || base.back() != '/') base += '/';
    base += path;
    return normalise_path(base);
}

std::string relative_path(std::string_view document_path, std::string_view target) {
    std::string t = normalise_path(target);
    if (document_path.empty()) return t;
    const std::string d = normalise_path(document_path);
    const bool d_absolute = !d.empty() && d.front() == '/';
    const bool t_absolute = !t.empty() && t.front() == '/';
    if (d_absolute != t_absolute) return t;

    auto folder_length = [](const std::string& s) {
        const std::size_t slash = s.rfind('/');
        return slash == std::string::npos ? std::size_t{0} : slash + 1;
    };
    const std::size_t limit = std::min(folder_length(d), folder_length(t));
    std::size_t n = 0;
    while (n < limit && d[n] == t[n])
        ++n;
    // The prefix may end inside a segment (/a/bc/ against /a/b/): back to its last "/".
    const std::size_t slash = d.rfind('/', n == 0 ? 0 : n - 1);
    const std::size_t common = (n == 0 || slash == std::string::npos) ? 0 : slash + 1;

    // Empty and "." segments ("a//b", "a/./b") are no folder to climb out of; a ".."
    // that normalising kept cannot be climbed back over, so the target stays whole.
    std::size_t levels = 0;
    const std::string_view rest = std::string_view(d).substr(common, folder_length(d) - common);
    for (std::size_t start = 0; start < rest.size();) {
        const std::size_t end = std::min(rest.find('/', start), rest.size());
        const std::string_view segment = rest.substr(start, end - start);
        if (segment == "..") return t;
        if (!segment.empty() && segment != ".") ++levels;
        start = end + 1;
    }
    // The rest of the target must not start with "/" ("x//y" against "x/"): that
    // would turn it into an absolute path naming another file.
    std::string_view tail = std::string_view(t).substr(common);
    while (!tail.empty() && tail.front() == '/')
        tail.remove_prefix(1);

    std::string result;
    for (std::size_t i = 0; i < levels; ++i)
        result += "../";
    result += tail;
    return result;
}

std::optional<std::string> to_filesystem_encoding(std::string_view utf8_path) {
    if (utf8_path.find('\0') != std::string_view::npos) return std::nullopt;
    gsize written = 0;
    GCharPtr converted(g_filename_from_utf8(utf8_path.data(), static_cast<gssize>(utf8_path.size()),
                                            nullptr, &written, nullptr));
    if (!converted) return std::nullopt;
    return std::string(converted.get(), written);
}

std::optional<std::string> to_utf8_path(std::string_view filesystem_path) {
    if (filesystem_path.find('\0') != std::string_view::npos) return std::nullopt;
    gsize written = 0;
    GCharPtr converted(g_filename_to_utf8(filesystem_path.data(),
                                          static_cast<gssize>(filesystem_path.size()), nullptr,
                                          &written, nullptr));
    if (!converted) return std::nullopt;
    return std::string(converted.get(), written);
}

std::string ctime_text(const std::tm& when) {
    static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::string day = std::to_string(when.tm_mday);
    if (day.size() < 3) day.insert(0, 3 - day.size(), ' ');
    return std::string(days[wrapped(when.tm_wday, 7)]) + " " + months[wrapped(when.tm_mon, 12)] +
           day + " " + two_digits(when.tm_hour) + ":" + two_digits(when.tm_min) + ":" +
           two_digits(when.tm_sec) + " " + std::to_string(1900L + when.tm_year);
}

std::string version_file_path(std::string_view path, const std::tm& when) {
    std::string stamp = ctime_text(when);
    std::replace_if(
        stamp.begin(), stamp.end(), [](char c) { return c == ':' || c == ' '; }, '_');
    const std::string whole(path);
    GCharPtr folder(g_path_get_dirname(whole.c_str()));
    GCharPtr base(g_path_get_basename(whole.c_str()));
    std::string result = folder.get();
    if (result.empty() || result.back() != '/') result += '/';
    return result + stamp + "_" + base.get();
}

std::string version_file_path(std::string_view path, std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return version_file_path(path, local);
}
