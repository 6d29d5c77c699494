#include "shell/lines.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/gobj.h"

Lines text_to_lines(std::string_view text) {
    return text_to_lines_max(text, static_cast<std::size_t>(-1));
}

Lines text_to_lines_max(std::string_view text, std::size_t max) {
    Lines out;
    if (text.empty() || max == 0) return out;
    std::size_t start = 0;
    while (out.size() < max) {
        std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return out;
}

Lines text_to_lines_uncommented(std::string_view text) {
    Lines all = text_to_lines(text);
    std::erase_if(all, [](const std::string& s) { return !s.empty() && s[0] == '#'; });
    return all;
}

Lines text_to_marked_items(std::string_view text, std::string_view separator) {
    Lines out;
    if (text.empty()) return out;
    auto take = [&out](std::string_view piece) {
        std::size_t i = 0;
        while (i < piece.size() && g_ascii_isspace(piece[i])) ++i;
        if (i < piece.size() && piece[i] == '+') out.emplace_back(piece.substr(i + 1));
    };
    if (separator.empty()) {
        take(text);
        return out;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(separator, start);
        if (at == std::string_view::npos) {
            take(text.substr(start));
            break;
        }
        take(text.substr(start, at - start));
        start = at + separator.size();
    }
    return out;
}

Lines lines_copy_nonempty(const Lines& list) {
    Lines out;
    for (const auto& s : list)
        if (!s.empty()) out.push_back(s);
    return out;
}

void lines_prepend_int(Lines& list, std::string_view key, long n) {
    std::string line(key);
    line += '=';
    line += std::to_string(n);
    list.insert(list.begin(), std::move(line));
}

void lines_prepend_bool(Lines& list, std::string_view key, bool flag) {
    lines_prepend_int(list, key, flag ? 1 : 0);
}

void lines_prepend_str(Lines& list, std::string_view key, std::string_view value) {
    std::string line(key);
    line += '=';
    line += value;
    list.insert(list.begin(), std::move(line));
}

namespace {
std::string collate_key(std::string_view s) {
    GCharPtr key(g_utf8_collate_key(s.data(), static_cast<gssize>(s.size())));
    return key.get();
}
} // namespace

bool utf8_collate_equal(std::string_view a, std::string_view b) {
    if (a == b) return true;
    return collate_key(a) == collate_key(b);
}

void lines_push_limited(Lines& list, std::string_view text, std::size_t max) {
    // An empty list becomes a one-element list whatever the bound.
    if (list.empty()) {
        list.emplace_back(text);
        return;
    }
    if (auto at = lines_find_collate(list, text)) list.erase(list.begin() + *at);
    list.insert(list.begin(), std::string(text));
    if (list.size() >= max) list.pop_back();
}

void lines_prepend_limited(Lines& list, std::string_view text, std::size_t max) {
    list.insert(list.begin(), std::string(text));
    if (list.size() >= max && !list.empty()) list.pop_back();
}

std::optional<std::size_t> lines_find_exact(const Lines& list, std::string_view text) {
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == text) return i;
    return std::nullopt;
}

std::optional<std::size_t> lines_find_collate(const Lines& list, std::string_view text) {
    // Compute the wanted key once; the whole list is scanned and the last match wins.
    const std::string wanted = collate_key(text);
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == text || collate_key(list[i]) == wanted) found = i;
    return found;
}

std::optional<std::size_t> lines_find_containing(const Lines& list, std::string_view pattern) {
    std::optional<std::size_t> found;
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].find(pattern) != std::string::npos) found = i;
    return found;
}

Lines lines_filter_absent(const Lines& list, std::string_view text) {
    Lines out;
    for (const auto& s : list)
        if (text.find(s) == std::string_view::npos) out.push_back(s);
    return out;
}

Lines lines_filter_present(const Lines& list, std::string_view text) {
    Lines out;
    for (const auto& s : list)
        if (text.find(s) != std::string_view::npos) out.push_back(s);
    return out;
}

namespace {
std::string join(const Lines& list, char sep) {
    std::string out;
    std::size_t total = 0;
    for (const auto& s : list) total += s.size() + 1;
    out.reserve(total);
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i) out += sep;
        out += list[i];
    }
    return out;
}
} // namespace

std::string lines_to_text(const Lines& list) { return join(list, '\n'); }
std::string lines_to_words(const Lines& list) { return join(list, ' '); }

void lines_sort(Lines& list) {
    std::vector<std::pair<std::string, std::string>> keyed;
    keyed.reserve(list.size());
    for (auto& s : list) keyed.emplace_back(collate_key(s), std::move(s));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < list.size(); ++i) list[i] = std::move(keyed[i].second);
}

std::optional<std::string> file_read_all(const std::string& path) {
    gchar* contents = nullptr;
    gsize length = 0;
    if (!g_file_get_contents(path.c_str(), &contents, &length, nullptr)) return std::nullopt;
    GCharPtr owned(contents);
    return std::string(contents, length);
}

std::optional<Lines> file_to_lines(const std::string& path) {
    if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) return std::nullopt;
    auto text = file_read_all(path);
    if (!text) return std::nullopt;
    return text_to_lines(*text);
}

std::optional<Lines> file_to_lines_max(const std::string& path, std::size_t max) {
    auto text = file_read_all(path);
    if (!text) return std::nullopt;
    return text_to_lines_max(*text, max);
}

namespace {
struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool write_all(std::FILE* f, std::string_view text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), f) == text.size();
}

bool write_file(const std::string& path, const char* mode, std::string_view text) {
    FilePtr f(std::fopen(path.c_str(), mode));
    if (!f) return false;
    bool ok = write_all(f.get(), text);
    return std::fclose(f.release()) == 0 && ok;
}
} // namespace

bool lines_to_file(const Lines& list, const std::string& path) {
    std::string text;
    for (const auto& s : list) {
        text += s;
        text += '\n';
    }
    return write_file(path, "wb", text);
}

bool string_to_file(const std::string& path, std::string_view text) {
    return write_file(path, "wb", text);
}

bool string_append_to_file(const std::string& path, std::string_view text) {
    return write_file(path, "ab", text);
}

bool file_copy(const std::string& source, const std::string& destination) {
    FilePtr in(std::fopen(source.c_str(), "rb"));
    if (!in) return false;
    FilePtr out(std::fopen(destination.c_str(), "wb"));
    if (!out) return false;
    std::vector<char> chunk(65535);
    for (;;) {
        std::size_t n = std::fread(chunk.data(), 1, chunk.size(), in.get());
        if (n > 0 && std::fwrite(chunk.data(), 1, n, out.get()) != n) return false;
        if (n < chunk.size()) {
            if (std::ferror(in.get())) return false;
            break;
        }
    }
    return std::fclose(out.release()) == 0;
}

std::string replace_all(std::string_view text, std::string_view pattern,
                        std::string_view replacement) {
    if (pattern.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (;;) {
        std::size_t at = text.find(pattern, start);
        if (at == std::string_view::npos) break;
        out.append(text.substr(start, at - start));
        out.append(replacement);
        start = at + pattern.size();
    }
    out.append(text.substr(start));
    return out;
}

std::string fill_template(std::string_view templ, std::string_view text) {
    if (templ.find("%s") == std::string_view::npos) return std::string(templ);
    return replace_all(templ, "%s", text);
}

namespace {

// True when `text` holds "scheme://" for any scheme (a letter, then letters,
// digits, "+", "-" or "."), as in "https://x" or "sftp://host".
bool holds_scheme(std::string_view text) {
    for (std::size_t at = text.find("://"); at != std::string_view::npos;
         at = text.find("://", at + 1)) {
        std::size_t start = at;
        while (start > 0 &&
               (g_ascii_isalnum(text[start - 1]) ||
                std::string_view("+-.").find(text[start - 1]) != std::string_view::npos))
            --start;
        while (start < at && !g_ascii_isalpha(text[start]))
            ++start;
        if (start < at) return true;
    }
    return false;
}

} // namespace

std::string text_to_link(std::string_view text) {
    const std::string t(text);
    // A quote in the address would end the attribute early.
    const std::string address = replace_all(text, "\"", "&quot;");
    if (holds_scheme(text) || text.find("mailto:") != std::string_view::npos)
        return "<a href=\"" + address + "\">" + t + "</a>";
    const char* scheme = text.find("ftp.") != std::string_view::npos ? "ftp://"
                         : text.find('@') != std::string_view::npos  ? "mailto:"
                                                                     : "http://";
    return std::string("<a href=\"") + scheme + address + "\">" + t + "</a>";
}

RegularFileRead read_regular_file(const std::string& path, std::size_t max_bytes) {
    RegularFileRead r;
    auto fail = [&r](RegularFileRead::Problem problem, int error = 0) {
        r.problem = problem;
        r.error = error;
        r.bytes.clear();
        return r;
    };
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail(RegularFileRead::unreadable, errno);
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(RegularFileRead::unreadable, errno);
    if (!S_ISREG(st.st_mode)) return fail(RegularFileRead::not_a_file);
    if (static_cast<std::uintmax_t>(st.st_size) > max_bytes) return fail(RegularFileRead::too_large);
    std::string& bytes = r.bytes;
    bytes.assign(static_cast<std::size_t>(st.st_size), '\0');
    std::size_t got = 0;
    for (;;) {
        // The file may have grown since fstat: read on to its end, within the bound.
        if (got == bytes.size()) {
            if (bytes.size() >= max_bytes + 1) return fail(RegularFileRead::too_large);
            bytes.resize(std::min(max_bytes + 1, std::max<std::size_t>(bytes.size() * 2, 4096)));
        }
        ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return fail(RegularFileRead::unreadable, errno);
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    if (got > max_bytes) return fail(RegularFileRead::too_large);
    bytes.resize(got);
    return r;
}

std::optional<std::string> file_read_regular(const std::string& path, std::size_t max_bytes) {
    RegularFileRead r = read_regular_file(path, max_bytes);
    if (r.problem != RegularFileRead::none) return std::nullopt;
    return std::move(r.bytes);
}
