// What the editor's save runs after writing one of the program's own files.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "shell/config_dir.h"

enum class ConfigFile { rc, hotkeys, user_menu, zuda_bookmarks, autoreplace, iconv_rc, bmx };

// Which of the program's files `path` is, compared with the paths of the last load.
std::optional<ConfigFile> config_file_of(const ConfigPaths& paths, const std::string& path);

// The log line the reload writes (kind normal), or none.
std::optional<std::string> reload_log_line(ConfigFile file, const std::string& path);

// Later subsystems fill the reactions; an empty one does nothing.
void reload_hook_set(ConfigFile file, std::function<void()> reaction);

// Runs the reaction for `path` when it is one of the program's files and returns
// the log line to write; none for any other file or for a file without a line.
std::optional<std::string> reload_hook_run(const std::string& path);
