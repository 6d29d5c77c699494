#include "documents/safe_write.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <glib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/gobj.h"

std::string write_target_of(const std::string& path) {
    std::string current = path;
    // A loop of links ends the walk; the write then fails on the link itself.
    for (int hops = 0; hops < 40; ++hops) {
        GCharPtr target(g_file_read_link(current.c_str(), nullptr));
        if (!target) return current;
        if (g_path_is_absolute(target.get())) {
            current = target.get();
        } else {
            GCharPtr folder(g_path_get_dirname(current.c_str()));
            GCharPtr joined(g_build_filename(folder.get(), target.get(), nullptr));
            current = joined.get();
        }
    }
    return current;
}

namespace {
WriteResult failure(int err) { return {false, g_strerror(err)}; }

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}
} // namespace

WriteResult write_file_safely(const std::string& path, std::string_view bytes) {
    const std::string target = write_target_of(path);
    GCharPtr folder(g_path_get_dirname(target.c_str()));
    GCharPtr base(g_path_get_basename(target.c_str()));

    struct stat st {};
    const bool existed = ::stat(target.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) return failure(EISDIR);
    // A file we may not write stays as it is, even when its folder would allow a rename.
    if (existed && ::access(target.c_str(), W_OK) != 0) return failure(errno);

    std::string temp = std::string(folder.get()) + "/." + base.get() + ".XXXXXX";
    int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) return failure(errno);

    // A file size limit must surface as a failed write, not end the program.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGXFSZ, &ignore, &previous);
    bool written = write_all(fd, bytes);
    int err = errno;
    sigaction(SIGXFSZ, &previous, nullptr);

    if (written && ::fsync(fd) != 0) {
        written = false;
        err = errno;
    }
    mode_t mode = existed ? (st.st_mode & 07777) : (0666 & ~[] {
        mode_t mask = ::umask(0);
        ::umask(mask);
        return mask;
    }());
    if (written && ::fchmod(fd, mode) != 0) {
        written = false;
        err = errno;
    }
    if (existed && written) {
        // Keeps the owner where allowed (root editing another user's file); elsewhere
        // the file simply stays ours.
        [[maybe_unused]] int kept = ::fchown(fd, st.st_uid, st.st_gid);
    }
    if (::close(fd) != 0 && written) {
        written = false;
        err = errno;
    }
    if (!written || ::rename(temp.c_str(), target.c_str()) != 0) {
        if (written) err = errno;
        ::unlink(temp.c_str());
        return failure(err);
    }
    return {true, {}};
}
