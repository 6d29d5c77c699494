#include "remote/remote_history.h"

#include <cerrno>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "documents/safe_write.h"
#include "shell/gobj.h"
#include "shell/lines.h"

namespace {
constexpr std::size_t kHistoryMax = 1024 * 1024;

bool fail(std::string* error, int err) {
    if (error) *error = g_strerror(err);
    return false;
}

// Writes `bytes` as the whole new content of `path`, readable by its owner only.
bool write_private(const std::string& path, std::string_view bytes, std::string* error) {
    const std::string target = write_target_of(path);
    GCharPtr folder(g_path_get_dirname(target.c_str()));
    GCharPtr base(g_path_get_basename(target.c_str()));
    std::string temp = std::string(folder.get()) + "/." + base.get() + ".XXXXXX";
    int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return fail(error, errno);
    bool ok = true;
    int err = 0;
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            err = n < 0 ? errno : EIO;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    if (ok && (::fchmod(fd, 0600) != 0 || ::fsync(fd) != 0)) {
        ok = false;
        err = errno;
    }
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(error, err);
    }
    return true;
}

std::vector<std::string_view> split_at_blanks(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t blank = line.find(' ', start);
        fields.push_back(
            line.substr(start, blank == std::string_view::npos ? line.npos : blank - start));
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    return fields;
}
} // namespace

std::vector<std::string> history_lines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos;
         lf = text.find('\n', start)) {
        lines.emplace_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return lines;
}

HistoryRow parse_history_line(std::string_view line) {
    auto fields = split_at_blanks(line);
    HistoryRow row;
    row.host = std::string(fields[0]);
    if (fields.size() > 1) row.user = std::string(fields[1]);
    if (fields.size() > 2) row.third = std::string(fields[2]);
    return row;
}

std::string ftp_row_label(const HistoryRow& row) {
    return row.host + " " + row.user;
}

std::string sftp_row_label(const HistoryRow& row) {
    return row.host + " " + row.user + " " + row.third;
}

std::string ftp_history_line(std::string_view host, std::string_view user) {
    return std::string(host) + " " + std::string(user) + " \n";
}

std::string sftp_history_line(std::string_view host, std::string_view user, std::string_view path) {
    return std::string(host) + " " + std::string(user) + " " + std::string(path) + " \n";
}

std::optional<std::string> read_history_file(const std::string& path) {
    return file_read_regular(path, kHistoryMax);
}

bool append_history_line(const std::string& path, std::string_view line, std::string* error) {
    std::string text;
    if (g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) {
        auto old = read_history_file(path);
        // A file we cannot read whole is left alone rather than replaced by one line.
        if (!old)
            return fail(error, g_file_test(path.c_str(), G_FILE_TEST_IS_REGULAR) ? EFBIG : EINVAL);
        text = std::move(*old);
    }
    // A last line without its line feed would swallow the new one.
    if (!text.empty() && text.back() != '\n') text += '\n';
    text += line;
    return write_private(path, text, error);
}

bool clear_history_file(const std::string& path, std::string* error) {
    return write_private(path, "", error);
}
