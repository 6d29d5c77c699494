#include "tools/project_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gi18n-lib.h>

#include "shell/gobj.h"
#include "shell/lines.h"

namespace {
constexpr std::size_t kMaxProjectFile = 1024 * 1024;

std::optional<std::string> field(const KeyTable& table, const std::string& key,
                                 std::optional<std::string> missing) {
    auto it = table.find(key);
    if (it == table.end()) return missing;
    if (it->second.empty()) return std::nullopt;
    return it->second;
}

void add_line(std::string& out, std::string_view prefix, const std::optional<std::string>& value) {
    if (!value) return;
    out += prefix;
    out += *value;
}

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) close(fd);
    }
};
} // namespace

Project project_new() {
    Project p;
    p.project_name = "noname";
    return p;
}

Project project_from_table(const KeyTable& table, const std::string& path) {
    Project p;
    p.project_name = field(table, "project_name", "noname");
    p.project_file_name = path;
    p.dir_makefile = field(table, "dir_makefile", "noname");
    p.dir_source = field(table, "dir_source", "noname");
    p.file_executable = field(table, "file_executable", "noname");
    return p;
}

std::string project_file_text(const Project& p) {
    std::string out;
    auto line = [&](std::string_view key, const std::optional<std::string>& value) {
        if (!value) return;
        out += key;
        out += '=';
        out += *value;
        out += '\n';
    };
    line("dir_source", p.dir_source);
    line("dir_makefile", p.dir_makefile);
    line("project_file_name", p.project_file_name);
    line("project_name", p.project_name);
    line("file_executable", p.file_executable);
    return out;
}

ProjectRead project_read(const std::string& path) {
    ProjectRead r;
    RegularFileRead read = read_regular_file(path, kMaxProjectFile);
    switch (read.problem) {
    case RegularFileRead::unreadable:
        r.problem = ProjectRead::unreadable;
        r.reason = g_strerror(read.error);
        return r;
    case RegularFileRead::not_a_file:
        r.problem = ProjectRead::not_a_file;
        return r;
    case RegularFileRead::too_large:
        r.problem = ProjectRead::too_large;
        return r;
    case RegularFileRead::none:
        break;
    }
    r.bytes = std::move(read.bytes);
    r.project = project_from_table(parse_key_text(r.bytes), path);
    return r;
}

WriteResult project_write(const Project& project, const std::string& path) {
    for (const auto* value :
         {&project.dir_source, &project.dir_makefile, &project.project_file_name,
          &project.project_name, &project.file_executable})
        if (*value && value->value().find_first_of("\r\n") != std::string::npos)
            return {false, _("Un champ du projet contient un saut de ligne")};
    return write_file_safely(path, project_file_text(project));
}

std::string locale_text_to_utf8(std::string_view bytes) {
    gsize written = 0;
    GCharPtr converted(g_locale_to_utf8(bytes.data(), static_cast<gssize>(bytes.size()), nullptr,
                                        &written, nullptr));
    if (converted) return std::string(converted.get(), written);
    GCharPtr valid(g_utf8_make_valid(bytes.data(), static_cast<gssize>(bytes.size())));
    return valid.get();
}

std::string project_log_opened_text(std::string_view path, std::string_view file_bytes) {
    std::string out = "   FICHIER PROJET : ";
    out += path;
    out += "\n\n";
    out += std::string(96, '_');
    out += "\n\n";
    out += locale_text_to_utf8(file_bytes);
    return out;
}

std::string project_log_fields_text(const Project& p) {
    std::string out = "\n\n";
    add_line(out, "\nfile_executable=", p.file_executable);
    add_line(out, "\nproject_name=", p.project_name);
    add_line(out, "\ndir_makefile=", p.dir_makefile);
    add_line(out, "\ndir_source=", p.dir_source);
    return out;
}

std::string project_log_saved_text(std::string_view path, const Project& project) {
    std::string out = "\nProeject file name :\n";
    out += path;
    out += "\n\n";
    out += project_log_fields_text(project);
    return out;
}

std::optional<std::string> project_make_dir(const Project& p) {
    if (!p.dir_makefile || !g_file_test(p.dir_makefile->c_str(), G_FILE_TEST_IS_DIR))
        return std::nullopt;
    return p.dir_makefile;
}

std::optional<std::vector<std::string>> project_run_argv(const Project& p) {
    if (!p.dir_source || !p.file_executable) return std::nullopt;
    return std::vector<std::string>{*p.dir_source + *p.file_executable};
}

bool make_line_is_error(std::string_view line) {
    std::vector<std::string_view> pieces;
    for (std::size_t start = 0;;) {
        auto colon = line.find(':', start);
        pieces.push_back(
            line.substr(start, colon == std::string_view::npos ? colon : colon - start));
        if (colon == std::string_view::npos) break;
        start = colon + 1;
    }
    auto says_error = [](std::string_view piece) {
        return piece.find("error") != std::string_view::npos ||
               piece.find("warning") != std::string_view::npos;
    };
    if (pieces.size() < 3 || pieces[0].empty() || pieces[1].empty()) return false;
    if (says_error(pieces[2])) return true;
    const bool column =
        !pieces[2].empty() && pieces[2].find_first_not_of("0123456789") == std::string_view::npos;
    return column && pieces.size() > 3 && says_error(pieces[3]);
}
