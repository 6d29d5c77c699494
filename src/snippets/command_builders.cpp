#include "snippets/command_builders.h"

#include <glib.h>
#include <glib/gi18n-lib.h>

#include <algorithm>
#include <vector>

#include "shell/commands.h"

namespace {

// Double quotes keep a word whole unless it holds one of these: the shell's own
// " $ ` \, and "!", which an interactive shell reads as a history reference.
constexpr std::string_view kNotInDoubleQuotes = "\"$`\\!";

bool holds_any(std::string_view text, std::string_view chars) {
    return text.find_first_of(chars) != std::string_view::npos;
}

bool all_digits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return g_ascii_isdigit(c); });
}

// A file operand: a name starting with "-" would read as an option, and "./"
// before it names the same file (an absolute name never starts with "-").
std::string file_word(std::string_view file) {
    if (file.empty()) return {};
    if (file.front() == '-') return shell_word("./" + std::string(file));
    return shell_word(file);
}

std::string optional_word(std::string_view text) {
    return text.empty() ? std::string() : shell_word(text);
}

// The segments of a file name without empty and "." ones, so that "a.txt",
// "./a.txt" and "a//a.txt"'s forms compare as the same name.
std::vector<std::string_view> name_segments(std::string_view name) {
    std::vector<std::string_view> segments;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t slash = name.find('/', start);
        if (slash == std::string_view::npos) slash = name.size();
        const std::string_view segment = name.substr(start, slash - start);
        if (!segment.empty() && segment != ".") segments.push_back(segment);
        start = slash + 1;
    }
    return segments;
}

// The shell empties a redirection's file before the command reads its input.
bool same_file_name(std::string_view a, std::string_view b) {
    if (a.empty() || b.empty()) return false;
    return (a.front() == '/') == (b.front() == '/') && name_segments(a) == name_segments(b);
}

std::string redirection(bool redirect, std::string_view file) {
    return redirect ? " > " + optional_word(file) : std::string();
}

std::string same_file_message() {
    return _("Le fichier de redirection est le fichier lu : la commande le viderait avant de "
             "le lire. Choisissez un autre fichier de redirection.");
}

BuiltCommand with_comment(const char* comment, std::string command) {
    BuiltCommand built;
    built.text = std::string(comment) + "\n" + command;
    built.command = std::move(command);
    return built;
}

BuiltCommand refused(std::string message) {
    BuiltCommand built;
    built.error = std::move(message);
    return built;
}

// A regular expression between "/" delimiters: the delimiter and a line feed are
// escaped, and a backslash at the end cannot escape the closing delimiter.
std::string sed_pattern(std::string_view word) {
    std::string out;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i];
        if (c == '\\' && i + 1 < word.size() && word[i + 1] != '\n') {
            out += c;
            out += word[++i];
        } else if (c == '\\') {
            out += "\\\\";
        } else if (c == '/') {
            out += "\\/";
        } else if (c == '\n') {
            out += "\\n";
        } else {
            out += c;
        }
    }
    return out;
}

// A replacement written as typed: "/", "&" and "\" lose their meaning to sed.
std::string sed_replacement(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '\\' || c == '&' || c == '/')
            out += std::string("\\") + c;
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

bool sed_line(std::string_view text) {
    return all_digits(text) || text == "$";
}

} // namespace

BuiltCommand build_grep(const GrepFields& f) {
    if (f.redirect && same_file_name(f.redirection_file, f.file))
        return refused(same_file_message());
    std::string command = "grep";
    if (f.ignore_case) command += " -i";
    if (f.whole_word) command += " -w";
    if (f.invert) command += " -v";
    command += ' ';
    if (!f.word.empty() && f.word.front() == '-') command += "-e ";
    command += optional_word(f.word) + " " + file_word(f.file);
    command += redirection(f.redirect, f.redirection_file);
    return with_comment(_("# Commande Grep (Find dans un fichier)"), std::move(command));
}

BuiltCommand build_awk(const AwkFields& f) {
    if (f.column != "NF" && !all_digits(f.column))
        return refused(_("La colonne est un numéro (1, 2, 3…) ou NF pour la dernière."));
    if (f.redirect && same_file_name(f.redirection_file, f.file))
        return refused(same_file_message());
    const std::string separator = holds_any(f.separator, kNotInDoubleQuotes)
                                      ? shell_quote(f.separator)
                                      : "\"" + f.separator + "\"";
    std::string command =
        "awk -F " + separator + " '{print $" + f.column + "}' " + file_word(f.file);
    command += redirection(f.redirect, f.redirection_file);
    return with_comment(_("# Commande Awk (decoupage de fichier par colonne)"), std::move(command));
}

BuiltCommand build_sed(const SedFields& f) {
    std::vector<std::string> steps;
    if (f.substitute) {
        if (!std::all_of(f.occurrence.begin(), f.occurrence.end(), [](char c) {
                return g_ascii_isdigit(c) ||
                       std::string_view("gpiImM").find(c) != std::string_view::npos;
            }))
            return refused(_("L'occurrence est un numéro ou g pour toutes."));
        steps.push_back("s/" + sed_pattern(f.word) + "/" + sed_replacement(f.replacement) + "/" +
                        f.occurrence);
    }
    if (f.delete_lines) {
        if (!sed_line(f.first_line) || !sed_line(f.last_line))
            return refused(_("Les lignes à supprimer sont des numéros de ligne ou $ pour la "
                             "dernière."));
        steps.push_back(f.first_line + "," + f.last_line + "d");
    }
    if (f.delete_word_lines) {
        const std::string word = f.word.empty() ? std::string(_(" tampon_mot")) : f.word;
        steps.push_back("/" + sed_pattern(word) + "/" + (f.invert_deletion ? "!" : "") + "d");
    }
    if (f.print) steps.push_back("p");
    if (f.line_numbers) steps.push_back("=");
    if (f.redirect && same_file_name(f.redirection_file, f.file))
        return refused(same_file_message());

    std::string script;
    for (const std::string& step : steps)
        script += (script.empty() ? "" : ";") + step;
    const std::string quoted =
        holds_any(script, kNotInDoubleQuotes) ? shell_quote(script) : "\"" + script + "\"";
    std::string command = "sed " + quoted + " " + file_word(f.file);
    command += redirection(f.redirect, f.redirection_file);
    return with_comment(_("# Commande Sed (decoupage de fichier)"), std::move(command));
}

BuiltCommand build_scp(const ScpFields& f) {
    // ssh would take "-oProxyCommand=…" for an option and run it.
    if ((!f.user.empty() && f.user.front() == '-') || (!f.host.empty() && f.host.front() == '-'))
        return refused(_("L'utilisateur et l'hôte ne commencent pas par « - »."));
    std::string host = f.host;
    if (host.find(':') != std::string::npos && host.front() != '[') host = "[" + host + "]";
    const std::string remote = (f.user.empty() ? "" : f.user + "@") + host + ":" + f.source;
    std::string command = "scp " + shell_word(remote) + " " + file_word(f.destination);
    BuiltCommand built = with_comment(_("# Copie de fichier avec SCP"), command);
    built.text = "\n" + built.text;
    return built;
}

BuiltCommand build_case(int options) {
    options = std::clamp(options, 0, 100);
    std::string text = "case \"$1\" in\n";
    const std::string block = _("\noption)\n#inserer ici le script pour cette option\n\n;;");
    for (int i = 0; i < options; ++i)
        text += block;
    text += "\nesac\n";
    BuiltCommand built;
    built.text = text;
    built.command = std::move(text);
    return built;
}

std::string command_insertion(std::string_view text, bool cursor_at_line_start) {
    if (cursor_at_line_start || (!text.empty() && text.front() == '\n')) return std::string(text);
    return "\n" + std::string(text);
}

std::string path_prompt_log_text() {
    return _("[Séléctionnez un  PATH] pour inserer dans le fichier");
}

std::string path_chooser_title() {
    return _("Sélectionnez un fichier");
}
