#include "web/download_rules.h"

#include <glib/gstdio.h>

std::string download_file_name(std::string_view suggested) {
    suggested = suggested.substr(0, suggested.find('\0'));
    const std::size_t slash = suggested.find_last_of("/\\");
    if (slash != std::string_view::npos) suggested.remove_prefix(slash + 1);
    if (suggested.empty() || suggested.front() == '.') return "download";
    return std::string(suggested);
}

DownloadDestination download_destination(const std::optional<std::string>& folder,
                                         std::string_view suggested) {
    DownloadDestination out;
    if (!folder || folder->empty()) {
        out.refusal = DownloadRefusal::no_folder;
        return out;
    }
    out.path = *folder;
    if (out.path.back() != '/') out.path += '/';
    out.path += download_file_name(suggested);
    GStatBuf st;
    if (g_lstat(out.path.c_str(), &st) == 0) out.refusal = DownloadRefusal::exists;
    return out;
}
