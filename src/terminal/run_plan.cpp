#include "terminal/run_plan.h"

#include "shell/commands.h"

namespace {
// A folder or file operand: one starting with "-" would be read as an option.
std::string operand_word(std::string_view path) {
    if (path.starts_with('-')) return shell_word("./" + std::string(path));
    return shell_word(path);
}

// A program named by its path: without a "/" the shell would look it up on PATH.
std::string command_word(std::string_view path) {
    if (path.find('/') == std::string_view::npos) return shell_word("./" + std::string(path));
    return shell_word(path);
}
} // namespace

bool typable(std::string_view text) {
    for (unsigned char c : text)
        if (c < 0x20 || c == 0x7f) return false;
    return true;
}

RunPlan run_plan(std::string_view file_name, const Project* project) {
    RunPlan plan;
    auto dot = file_name.rfind('.');
    std::string_view ext = dot == std::string_view::npos ? "" : file_name.substr(dot);
    if (ext == ".sh" || ext == ".pl") {
        if (!typable(file_name)) return {RunPlan::untypable, {}};
        return {RunPlan::script, command_word(file_name) + "\n"};
    }
    if (ext != ".c" && ext != ".h") return plan;
    if (!project || !project->dir_makefile || !project->dir_source || !project->file_executable)
        return {RunPlan::no_project, {}};
    const Project& p = *project;
    if (!typable(*p.dir_makefile) || !typable(*p.dir_source) || !typable(*p.file_executable))
        return {RunPlan::untypable, {}};
    plan.outcome = RunPlan::project;
    plan.typed = "cd " + operand_word(*p.dir_makefile) + "\nmake\ncd " +
                 operand_word(*p.dir_source) + "\n" + shell_word("./" + *p.file_executable) + "\n";
    return plan;
}

std::string chmod_command(std::string_view path) {
    return "chmod u+x " + operand_word(path);
}

std::optional<std::string> ssh_typed_line(std::string_view host, std::string_view user) {
    if (host.empty() || host.starts_with('-') || user.starts_with('-')) return std::nullopt;
    if (!typable(host) || !typable(user)) return std::nullopt;
    std::string target =
        user.empty() ? std::string(host) : std::string(user) + "@" + std::string(host);
    return "ssh " + shell_word(target) + "\n";
}
