// Where a download from a web view is saved: into the file panel's folder, under
// the base name of the server's suggestion, never over an existing file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The base name of a suggested file name (the text after its last "/" or "\",
// cut at a NUL byte); "download" when that is empty or starts with "." (".",
// "..", hidden names), so that a download never leaves its folder or hides.
std::string download_file_name(std::string_view suggested);

enum class DownloadRefusal {
    none,      // save to `path`
    no_folder, // no folder is chosen in the file panel
    exists,    // something already carries that name in the folder
};
struct DownloadDestination {
    DownloadRefusal refusal = DownloadRefusal::none;
    std::string path; // the file to create (also set for `exists`)
};
// The destination in `folder` of a download suggested as `suggested`. Anything
// at the path counts as existing, a dangling symbolic link included.
DownloadDestination download_destination(const std::optional<std::string>& folder,
                                         std::string_view suggested);
