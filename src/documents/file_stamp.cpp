#include "documents/file_stamp.h"

#include <sys/stat.h>

std::optional<FileStamp> file_stamp_of(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    FileStamp s;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.mtime_sec = st.st_mtim.tv_sec;
    s.mtime_nsec = st.st_mtim.tv_nsec;
    s.inode = st.st_ino;
    s.device = st.st_dev;
    return s;
}

bool file_changed_since(const std::string& path, const std::optional<FileStamp>& known) {
    if (!known) return false;
    auto now = file_stamp_of(path);
    return !now || *now != *known;
}
