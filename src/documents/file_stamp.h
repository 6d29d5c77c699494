// What a file was when a program last read or wrote it: enough to tell, before
// writing, that someone else changed it meanwhile (another program, another tab
// of the same file, a synchronised or mounted folder).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t mtime_sec = 0;
    std::int64_t mtime_nsec = 0;
    std::uint64_t inode = 0;
    std::uint64_t device = 0;
    bool operator==(const FileStamp&) const = default;
};

// The stamp of the file `path` names (symbolic links followed); none when it
// does not exist or cannot be examined.
std::optional<FileStamp> file_stamp_of(const std::string& path);

// True when the file is no longer what `known` describes: its size,
// modification time (to the nanosecond) or inode differ, or it is gone. A file
// we never read (no stamp) has nothing to compare with and counts as unchanged.
bool file_changed_since(const std::string& path, const std::optional<FileStamp>& known);
