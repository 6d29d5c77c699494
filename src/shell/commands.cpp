#include "shell/commands.h"

#include <glib.h>
#include <sys/wait.h>

#include "shell/gobj.h"
#include "shell/lines.h"

namespace {
CommandRecorder& recorder() {
    static CommandRecorder r;
    return r;
}
} // namespace

std::string shell_quote(std::string_view word) {
    std::string out = "'";
    for (char c : word) {
        if (c == '\'')
            out += "'\\''";
        else
            out += c;
    }
    out += '\'';
    return out;
}

std::string shell_word(std::string_view word) {
    if (word.empty()) return "''";
    for (unsigned char c : word) {
        bool bare =
            (c >= 0x80) || g_ascii_isalnum(c) ||
            std::string_view("_@%+=:,./-").find(static_cast<char>(c)) != std::string_view::npos;
        if (!bare) return shell_quote(word);
    }
    return std::string(word);
}

std::string shell_command(std::string_view program, std::initializer_list<std::string_view> args) {
    std::string out(program);
    for (auto a : args) {
        out += ' ';
        out += shell_quote(a);
    }
    return out;
}

std::string shell_fill_template(std::string_view templ, std::string_view arg) {
    return fill_template(templ, shell_quote(arg));
}

void set_command_recorder(CommandRecorder r) {
    recorder() = std::move(r);
}

int run_shell_sync(const std::string& command) {
    if (recorder()) return recorder()(command, true);
    const gchar* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    gint status = 0;
    if (!g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_CHILD_INHERITS_STDIN,
                      nullptr, nullptr, nullptr, nullptr, &status, nullptr))
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool run_shell_async(const std::string& command) {
    if (recorder()) return recorder()(command, false) == 0;
    const gchar* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
    return g_spawn_async(nullptr, const_cast<gchar**>(argv), nullptr, G_SPAWN_DEFAULT, nullptr,
                         nullptr, nullptr, nullptr);
}
