#include "shell/data_paths.h"

#include <glib.h>

namespace {
std::string from_env(const char* name, const char* fallback) {
    const char* v = g_getenv(name);
    std::string out = v && *v ? v : fallback;
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    return out;
}
} // namespace

std::string data_dir() { return from_env("ORVANE_DATADIR", ORVANE_DATADIR_DEFAULT); }
std::string locale_dir() { return from_env("ORVANE_LOCALEDIR", ORVANE_LOCALEDIR_DEFAULT); }

std::string pixmap_path(std::string_view name) {
    return data_dir() + "/pixmaps/" + std::string(name);
}

std::string word_file_path(std::string_view name) {
    return data_dir() + "/doc/" + std::string(name);
}
