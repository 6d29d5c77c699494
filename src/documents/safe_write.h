// Writing a whole file without ever destroying what it held: the bytes go to a
// temporary file beside the target, which is flushed to disk and then renamed
// over it. The target's permission bits, owner, group and extended attributes
// (ACLs among them) are kept; a symbolic link is written through to its target
// and stays a link.
//
// Where the replacement cannot be the same file as the one it replaces — a file
// with other hard links, an owner or group the temporary file cannot be given,
// attributes that cannot be copied, or a folder the user may not write holding
// a file the user may — the file is written in place instead: its new size is
// reserved first, so that a full disk or a size limit fails before any byte
// changes, then the bytes are written from the start, the rest cut off and the
// file flushed to disk.
#pragma once

#include <string>
#include <string_view>

struct WriteResult {
    bool ok = false;
    std::string error; // the system's reason when !ok
};

WriteResult write_file_safely(const std::string& path, std::string_view bytes);

// The file a write to `path` really changes: the end of its chain of symbolic
// links (relative targets taken against each link's own folder), or `path` itself.
std::string write_target_of(const std::string& path);
