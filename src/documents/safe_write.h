// Writing a whole file without ever destroying what it held: the bytes go to a
// temporary file beside the target, which is flushed to disk and then renamed
// over it. The target's permission bits are kept; a symbolic link is written
// through to its target and stays a link.
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
