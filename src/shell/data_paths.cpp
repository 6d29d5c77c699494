#include "shell/data_paths.h"

#include <glib.h>

#include "shell/gobj.h"

namespace {
std::string trimmed(std::string out) {
    while (out.size() > 1 && out.back() == '/')
        out.pop_back();
    return out;
}

// An installed program finds its data beside its own prefix, so that one build
// serves /usr/local (cmake --install) and /usr (the package) alike; anything
// else (a build folder, tests) falls back to the configured place.
std::string installed_place(const char* from_bin, const char* configured) {
    GCharPtr exe(g_file_read_link("/proc/self/exe", nullptr));
    if (exe) {
        GCharPtr bin(g_path_get_dirname(exe.get()));
        GCharPtr base(g_path_get_basename(bin.get()));
        if (g_strcmp0(base.get(), "bin") == 0) {
            GCharPtr joined(g_build_filename(bin.get(), from_bin, nullptr));
            GCharPtr canonical(g_canonicalize_filename(joined.get(), nullptr));
            if (g_file_test(canonical.get(), G_FILE_TEST_IS_DIR)) return canonical.get();
        }
    }
    return configured;
}

std::string from_env(const char* name, const std::string& fallback) {
    const char* v = g_getenv(name);
    return trimmed(v && *v ? v : fallback);
}
} // namespace

std::string data_dir() {
    static const std::string installed =
        installed_place(ORVANE_DATADIR_FROM_BIN, ORVANE_DATADIR_DEFAULT);
    return from_env("ORVANE_DATADIR", installed);
}

std::string locale_dir() {
    static const std::string installed =
        installed_place(ORVANE_LOCALEDIR_FROM_BIN, ORVANE_LOCALEDIR_DEFAULT);
    return from_env("ORVANE_LOCALEDIR", installed);
}

std::string pixmap_path(std::string_view name) {
    return data_dir() + "/pixmaps/" + std::string(name);
}

std::string word_file_path(std::string_view name) {
    return data_dir() + "/doc/" + std::string(name);
}
