// The grep, sed, awk, scp and case helpers: from the fields and check boxes of a
// dialog to the text written into the script. Nothing is run. Every field lands
// in the command as one shell word: bare when it is made only of letters,
// digits, non-ASCII and `_@%+=:,./-`, quoted otherwise; an empty field stays empty.
#pragma once

#include <string>
#include <string_view>

// What a dialog's apply button writes: `text` is the comment line, a line feed
// and the command (the case statement has no comment); `command` is the command
// alone. When `error` is set nothing is written: the dialog shows the message and
// stays open.
struct BuiltCommand {
    std::string text;
    std::string command;
    std::string error;
    bool ok() const { return error.empty(); }
};

struct GrepFields {
    bool ignore_case = false; // "Indifférence Maj/Min": -i
    bool whole_word = false;  // "Mot complet": -w
    bool invert = false;      // "Inverser la sortie": -v
    bool redirect = false;    // "Redirection"
    std::string file;         // "Fichier"
    std::string word;         // "Mot recherché"; one starting with "-" gets -e
    std::string redirection_file;
};
BuiltCommand build_grep(const GrepFields& f);

// awk -F "SEP" '{print $COL}' FILE: the separator goes in single quotes instead
// when it holds " $ ` \ or !.
struct AwkFields {
    std::string separator; // "Separateur"
    std::string column;    // "Colonne": digits or NF
    std::string file;
    bool redirect = true; // "Redirection", checked when the dialog opens
    std::string redirection_file;
};
BuiltCommand build_awk(const AwkFields& f);

// The steps on make one script, joined by ";", in double quotes, or in single ones
// when it holds " $ ` \ or ! : sed "s/a/b/g;1,5d" f.txt, sed '2,$d' f.txt.
struct SedFields {
    bool substitute = false;        // "Substitution": s/word/replacement/occurrence
    std::string replacement;        // "Remplacer par "
    std::string occurrence;         // "N° Occurence (g = toutes)": a number, g, p, i, I, m, M
    bool delete_lines = false;      // "Supprimer les lignes": first,lastd
    std::string first_line;         // "de ": a number or $
    std::string last_line;          // " à ": a number or $
    bool delete_word_lines = false; // "Supprimer les lignes avec le mot recherché": /word/d
    bool invert_deletion = false;   // "Inversser la suppression": /word/!d
    bool print = false;             // "Afiche le resultat sur la sortie standare": p
    bool line_numbers = false;      // "Donne le numero des lignes": =
    bool redirect = false;          // "Fichier de redirection"
    std::string file;               // "Fichier"
    std::string word;               // "Mot recherché"
    std::string redirection_file;
};
BuiltCommand build_sed(const SedFields& f);

struct ScpFields {
    std::string user;        // "Utilisateur : "; no "user@" when empty
    std::string host;        // "IP Host :"; an IPv6 address is written in brackets
    std::string source;      // "Fichier source sur le host distant : "
    std::string destination; // "Fichier destination : "
};
BuiltCommand build_scp(const ScpFields& f);

// A case statement on "$1" with `options` branches (0 to 100).
BuiltCommand build_case(int options);

// Where the text goes: when the cursor is not at the start of a line, the text
// starts on a new one.
std::string command_insertion(std::string_view text, bool cursor_at_line_start);

// "Insert un chemin de fichier PATH": the normal-kind log line, and the title of
// the file chooser whose chosen file's absolute path is inserted at the cursor.
std::string path_prompt_log_text();
std::string path_chooser_title();
