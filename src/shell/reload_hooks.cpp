#include "shell/reload_hooks.h"

#include <array>

namespace {
std::array<std::function<void()>, 7>& reactions() {
    static std::array<std::function<void()>, 7> r;
    return r;
}
} // namespace

std::optional<ConfigFile> config_file_of(const ConfigPaths& p, const std::string& path) {
    if (path == p.rc) return ConfigFile::rc;
    if (path == p.hotkeys) return ConfigFile::hotkeys;
    if (path == p.user_menu) return ConfigFile::user_menu;
    if (path == p.zuda_bookmarks) return ConfigFile::zuda_bookmarks;
    if (path == p.autoreplace) return ConfigFile::autoreplace;
    if (path == p.iconv_rc) return ConfigFile::iconv_rc;
    if (path == p.bmx) return ConfigFile::bmx;
    return std::nullopt;
}

std::optional<std::string> reload_log_line(ConfigFile file, const std::string& path) {
    switch (file) {
    case ConfigFile::rc: return std::string("config reloaded");
    case ConfigFile::hotkeys: return std::string("hotkeys reloaded");
    case ConfigFile::user_menu: return std::string("user menu reloaded");
    case ConfigFile::zuda_bookmarks: return std::string("zuda bookmarks reloaded");
    case ConfigFile::autoreplace: return std::nullopt;
    case ConfigFile::iconv_rc:
    case ConfigFile::bmx: return path + " reloaded";
    }
    return std::nullopt;
}

void reload_hook_set(ConfigFile file, std::function<void()> reaction) {
    reactions()[static_cast<std::size_t>(file)] = std::move(reaction);
}

std::optional<std::string> reload_hook_run(const std::string& path) {
    auto file = config_file_of(config_paths(), path);
    if (!file) return std::nullopt;
    if (auto& reaction = reactions()[static_cast<std::size_t>(*file)]) reaction();
    return reload_log_line(*file, path);
}
