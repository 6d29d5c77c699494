// Projects: the record of the one loaded project, its key file, the texts the
// project log shows, and what make and run start.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "documents/safe_write.h"
#include "shell/key_file.h"

// An unset field is none; a field that is set is never empty.
struct Project {
    std::optional<std::string> project_name;
    std::optional<std::string> project_file_name;
    std::optional<std::string> dir_makefile;
    std::optional<std::string> dir_source;
    std::optional<std::string> file_executable;
    bool operator==(const Project&) const = default;
};

// A new project: named "noname", nothing else set.
Project project_new();

// The project file opened from `path`: project_name, dir_makefile, dir_source
// and file_executable default to "noname" when the file lacks them; an empty
// value leaves the field unset; the project file name is `path` whatever the
// file says.
Project project_from_table(const KeyTable& table, const std::string& path);

// The file's text: dir_source, dir_makefile, project_file_name, project_name,
// file_executable, each "key=value" and LF, unset fields left out.
std::string project_file_text(const Project& project);

// Reading a project file: a regular file of at most 1 MiB, opened without
// blocking. On success `bytes` holds the file as read.
struct ProjectRead {
    enum Problem { none, unreadable, not_a_file, too_large } problem = none;
    std::string reason; // the system's reason for `unreadable`
    Project project;
    std::string bytes;
};
ProjectRead project_read(const std::string& path);

// Writes project_file_text to `path` without destroying the old file on failure.
// A field holding a line feed cannot be written (it would become another key).
WriteResult project_write(const Project& project, const std::string& path);

// Outside text in the locale's charset, converted whole to valid UTF-8.
std::string locale_text_to_utf8(std::string_view bytes);

// Project log texts. After the log picture of a loaded project: "   FICHIER
// PROJET : ", the path, two LF, 96 underscores, two LF, the file's content.
std::string project_log_opened_text(std::string_view path, std::string_view file_bytes);
// The field listing of the properties window: two LF, then "\nfile_executable=",
// "\nproject_name=", "\ndir_makefile=", "\ndir_source=" each with its value;
// unset fields add nothing.
std::string project_log_fields_text(const Project& project);
// After a save as: "\nProeject file name :\n", the path, two LF, the listing.
std::string project_log_saved_text(std::string_view path, const Project& project);

// The folder make runs in: the makefile directory, when it is set and is a folder.
std::optional<std::string> project_make_dir(const Project& project);

// The program the project's run starts, as an argument vector: the source
// directory immediately followed by the target executable, one path however
// many blanks it holds. None when either field is unset.
std::optional<std::vector<std::string>> project_run_argv(const Project& project);

// A line of make's output that reads as a compiler error or warning:
// "file:line: error …" or "file:line:column: warning …" (the piece after the
// line, or after the column, contains "error" or "warning").
bool make_line_is_error(std::string_view line);
