#include "support/temp_home.h"

#include <cstdlib>
#include <fstream>
#include <glib.h>
#include <sstream>
#include <stdexcept>

TempHome::TempHome() {
    gchar* dir = g_dir_make_tmp("orvane-test-XXXXXX", nullptr);
    if (!dir) throw std::runtime_error("cannot make a temporary folder");
    path_ = dir;
    g_free(dir);
    if (const char* home = std::getenv("HOME")) {
        had_home_ = true;
        saved_home_ = home;
    }
    setenv("HOME", path_.c_str(), 1);
}

TempHome::~TempHome() {
    if (had_home_)
        setenv("HOME", saved_home_.c_str(), 1);
    else
        unsetenv("HOME");
    gchar* argv[] = {const_cast<gchar*>("rm"), const_cast<gchar*>("-rf"),
                     const_cast<gchar*>(path_.c_str()), nullptr};
    g_spawn_sync(nullptr, argv, nullptr, G_SPAWN_SEARCH_PATH, nullptr, nullptr, nullptr, nullptr,
                 nullptr, nullptr);
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void write_file(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}
