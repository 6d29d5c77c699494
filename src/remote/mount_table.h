// Which folders are mount points, read from the kernel's table of the program's
// own mounts (/proc/self/mountinfo), and the state of one mount folder.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct MountEntry {
    std::string point;  // the folder, escapes ("\040" for a blank) decoded
    std::string fstype; // "fuse.sshfs", "fuse.rclone", "ext4", ...
    std::string source;
};

// Parses the text of a mountinfo file; malformed lines are skipped.
std::vector<MountEntry> parse_mountinfo(std::string_view text);

// Reads /proc/self/mountinfo (or `path`), bounded in size; empty when unreadable.
std::vector<MountEntry> read_mount_table(const std::string& path = "/proc/self/mountinfo");

enum class FolderState {
    Absent,  // nothing at that path
    Plain,   // a folder (or other file) that is not a mount point
    Mounted, // a live mount point
    Dead,    // a mount point whose FUSE server is gone ("Transport endpoint is not connected")
};

// True when the kernel lists `folder` as a mount point. Never touches the folder,
// so a server that stopped answering cannot hold the caller.
bool is_mount_point(const std::string& folder);

// The folder's state. Telling a live mount from a dead one means asking the
// mount itself, which waits when its server hangs (at most the tool's keep-alive
// bound): the main loop uses folder_state_async.
FolderState folder_state(const std::string& folder);
// The same, asked from a worker thread when the folder is a mount point; `done`
// runs on the main loop of the default context.
void folder_state_async(const std::string& folder, std::function<void(FolderState)> done);

// True when `folder` is a mount point in `entries`; compares the folder with its
// parent resolved, as the kernel lists mount points.
bool is_mount_point_in(const std::vector<MountEntry>& entries, const std::string& folder);
