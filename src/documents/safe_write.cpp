#include "documents/safe_write.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <glib.h>
#include <optional>
#include <sys/stat.h>
#include <sys/xattr.h>
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
WriteResult failure(int err) {
    return {false, g_strerror(err)};
}

// A file size limit must surface as a failed write, not end the program.
class FileSizeSignalIgnored {
  public:
    FileSizeSignalIgnored() {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigaction(SIGXFSZ, &ignore, &previous_);
    }
    ~FileSizeSignalIgnored() { sigaction(SIGXFSZ, &previous_, nullptr); }
    FileSizeSignalIgnored(const FileSizeSignalIgnored&) = delete;
    FileSizeSignalIgnored& operator=(const FileSizeSignalIgnored&) = delete;

  private:
    struct sigaction previous_ {};
};

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

mode_t default_mode() {
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The names of the file's extended attributes, each ending in a NUL; none when
// they cannot be listed.
std::optional<std::string> attribute_names(const char* path) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        ssize_t size = ::listxattr(path, nullptr, 0);
        if (size < 0) {
            // A file system that cannot list attributes (ENOTSUP, or EIO from
            // an FTP mount) keeps none either: there are none to lose.
            if (errno != ERANGE) return std::string();
            continue;
        }
        std::string names(static_cast<std::size_t>(size), '\0');
        size = ::listxattr(path, names.data(), names.size());
        if (size >= 0) {
            names.resize(static_cast<std::size_t>(size));
            return names;
        }
        // The list grew meanwhile: ask for its size again.
        if (errno != ERANGE) return std::nullopt;
    }
    return std::nullopt;
}

bool copy_attribute(const char* from, const char* name, int to) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        ssize_t size = ::getxattr(from, name, nullptr, 0);
        if (size < 0) return false;
        std::string value(static_cast<std::size_t>(size), '\0');
        size = ::getxattr(from, name, value.data(), value.size());
        if (size >= 0)
            return ::fsetxattr(to, name, value.data(), static_cast<std::size_t>(size), 0) == 0;
        if (errno != ERANGE) return false;
    }
    return false;
}

// Gives the temporary file the original's owner, group, permission bits and
// extended attributes (ACLs are among them). False when the owner, the group or
// an attribute cannot be had, so that renaming it over the original would
// change whose file it is or what it carries. The permission bits are carried
// where the file system keeps them: one that sets its own (an FTP mount) gives
// every file the server's bits whichever way it is written.
bool take_on_identity(int fd, const std::string& original, const struct stat& was) {
    // Only root may give a file away; anyone may pass it to a group of their
    // own. Whether it worked is read back below.
    [[maybe_unused]] int owned = ::fchown(fd, was.st_uid, was.st_gid);
    // After the owner: a change of owner clears the set-id bits.
    [[maybe_unused]] int moded = ::fchmod(fd, was.st_mode & 07777);
    auto names = attribute_names(original.c_str());
    if (!names) return false;
    for (std::size_t at = 0; at < names->size();) {
        const char* name = names->c_str() + at;
        if (!copy_attribute(original.c_str(), name, fd)) return false;
        at += std::strlen(name) + 1;
    }
    struct stat now {};
    if (::fstat(fd, &now) != 0) return false;
    return now.st_uid == was.st_uid && now.st_gid == was.st_gid;
}

// Overwrites the file where it is. Its new size is reserved before any byte
// changes, so that a full disk, a quota or a size limit leaves it as it was.
WriteResult write_in_place(const std::string& target, std::string_view bytes) {
    int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return failure(errno);
    auto fail = [fd](int err) {
        ::close(fd);
        return failure(err);
    };
    struct stat st {};
    if (::fstat(fd, &st) != 0) return fail(errno);
    if (!S_ISREG(st.st_mode)) return fail(EINVAL);
    const auto size = static_cast<off_t>(bytes.size());
    if (size > st.st_size) {
        if (int err = ::posix_fallocate(fd, 0, size); err != 0) {
            // Whatever the attempt added past the old end goes again.
            struct stat now {};
            if (::fstat(fd, &now) == 0 && now.st_size != st.st_size) {
                [[maybe_unused]] int cut = ::ftruncate(fd, st.st_size);
            }
            return fail(err);
        }
    }
    if (::lseek(fd, 0, SEEK_SET) != 0 || !write_all(fd, bytes) || ::ftruncate(fd, size) != 0 ||
        ::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) return failure(errno);
    return {true, {}};
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

    FileSizeSignalIgnored size_limit_reported;
    // A new file in place of one with other names would part it from them.
    if (existed && st.st_nlink > 1) return write_in_place(target, bytes);

    std::string temp = std::string(folder.get()) + "/." + base.get() + ".XXXXXX";
    int fd = g_mkstemp_full(temp.data(), O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        const int err = errno;
        // A folder we may not write, holding a file we may.
        if (existed && (err == EACCES || err == EPERM)) return write_in_place(target, bytes);
        return failure(err);
    }

    bool written = write_all(fd, bytes);
    int err = errno;
    // After the bytes: writing clears the set-id bits of a file.
    if (written && existed && !take_on_identity(fd, target, st)) {
        ::close(fd);
        ::unlink(temp.c_str());
        return write_in_place(target, bytes);
    }
    if (written && !existed && ::fchmod(fd, default_mode()) != 0) {
        written = false;
        err = errno;
    }
    if (written && ::fsync(fd) != 0) {
        written = false;
        err = errno;
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
