// The per-user configuration directory $HOME/.orvane/ and the configuration load.
#pragma once

#include <string>

struct ConfigPaths {
    std::string home;           // $HOME, no trailing slash
    std::string dir;            // $HOME/.orvane/
    std::string rc, ui, hotkeys, autoreplace, user_menu, theme, todo, myadmin, sftp, ftp;
    std::string iconv_rc, recent, bmx, crapbook, autocomp, gl_famous, zuda_history,
        zuda_bookmarks;
    std::string todo_dir, sessions_dir, templates_dir, snippets_dir; // each ends with '/'
    std::string temp_file;      // <tmp>/orvane_temp
};

ConfigPaths config_paths_for(const std::string& home, const std::string& tmp_dir);

// The paths of the last configuration load.
const ConfigPaths& config_paths();

// Creates the directory (mode 0700) with templates/, sessions/ and todo/ when it is
// missing, then writes each default file that does not exist. The working
// directory is never changed.
void ensure_config_dir(const ConfigPaths& paths);

// The default contents, byte for byte.
extern const char* const kDefaultRc;
extern const char* const kDefaultHotkeys;
extern const char* const kDefaultAutoreplace;
extern const char* const kDefaultTheme;
extern const char* const kDefaultUserMenu;
std::string default_todo_text();
std::string default_myadmin_text();

// First line of orvane_theme (at most 99 bytes); "classic" when unreadable.
std::string read_theme_name(const std::string& path);

// The display-free part of the configuration load: computes the paths from
// $HOME, creates what is missing, reads orvane_rc into the settings and rebuilds
// the charset lists. The GUI re-applies colours afterwards.
void config_load();

// The configuration copy kept by the preferences: orvane_rc <-> orvane_rc.bak.
bool config_save_copy(const ConfigPaths& paths);
bool config_restore_copy(const ConfigPaths& paths);
// Deletes orvane_rc so the next load writes the default again; false when it could not.
bool config_delete_rc(const ConfigPaths& paths);
