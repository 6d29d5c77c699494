#include "tools/external_tools.h"

#include <glib.h>

#include "shell/commands.h"
#include "shell/gobj.h"

std::string devhelp_command(std::string_view text) {
    return "devhelp -s " + shell_word(text) + " &";
}

std::optional<std::string> gimp_command(std::string_view address) {
    if (address.starts_with('-')) return std::nullopt;
    return "gimp " + shell_word(address) + " &";
}

std::optional<std::string> browser_template(const Settings& s, std::string_view item) {
    const std::pair<const char*, const std::string*> browsers[] = {
        {"opera", &s.opera},
        {"firefox", &s.firefox},
        {"mozilla", &s.mozilla},
        {"konqueror", &s.konqueror},
        {"galeon", &s.galeon},
        {"dillo", &s.dillo},
        {"elinks", &s.elinks},
        {"links", &s.links},
        {"lynx", &s.lynx},
        {"epiphany", &s.epiphany},
        {"Other browser", &s.other_browser}};
    const std::string name(item);
    for (const auto& [key, templ] : browsers)
        if (g_ascii_strcasecmp(name.c_str(), key) == 0) return *templ;
    return std::nullopt;
}

std::string browser_command(std::string_view templ, std::string_view file_name) {
    return shell_fill_command(templ, file_name);
}

std::optional<std::string> command_program(std::string_view command) {
    constexpr std::string_view blanks = " \t\n";
    constexpr std::string_view ends = " \t\n;&|<>()";
    for (std::size_t i = command.find_first_not_of(blanks); i != std::string_view::npos;
         i = command.find_first_not_of(blanks, i)) {
        auto end = command.find_first_of(ends, i);
        std::string_view word = command.substr(i, end == std::string_view::npos ? end : end - i);
        if (word.empty() || word.find_first_of("'\"\\$`%*?[~{#") != std::string_view::npos)
            return std::nullopt;
        auto eq = word.find('=');
        const bool assignment = eq != std::string_view::npos && eq > 0 &&
                                !g_ascii_isdigit(word[0]) &&
                                word.substr(0, eq).find_first_not_of(
                                    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"
                                    "0123456789_") == std::string_view::npos;
        if (!assignment) return std::string(word);
        i = end;
    }
    return std::nullopt;
}

bool program_on_path(std::string_view program) {
    const std::string name(program);
    if (name.empty()) return false;
    if (name.find('/') != std::string::npos)
        return g_file_test(name.c_str(), G_FILE_TEST_IS_REGULAR) &&
               g_file_test(name.c_str(), G_FILE_TEST_IS_EXECUTABLE);
    GCharPtr found(g_find_program_in_path(name.c_str()));
    return found != nullptr;
}
