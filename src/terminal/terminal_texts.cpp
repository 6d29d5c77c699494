#include "terminal/terminal_texts.h"

#include <array>

#include <glib/gi18n-lib.h>

namespace {
constexpr std::array<TerminalCommandItem, 12> kItems = {{
    {"1.1 (term", N_("Utilisation du disque"), "df -h\n"},
    {"1.2 (term", N_("Aspiration de site web WGET"), "wget -r -k -E -np http://www.example.com/"},
    {"1.3 (term", N_("RM sur un grand nombre de fichiers"),
     "find /path/dir/ -name \"name_file*\" -exec rm {} \\;"},
    {"1.4 (term", N_("FIND trouver un fichier par son nom"),
     "find /path/dir/ -name \"name_file*\""},
    {"1.5 (term", N_("SCREEN Lancer un screen ou le récupérer"), "screen -x -R\n"},
    {"1.6 (term", N_("WC Nombre de lignes pour sortie ou fichier"), "wc -l"},
    {"1.7 (term", N_("WGET récupération de page web"),
     "wget 'http://www.example.com/index.html' -O /path/dir/file.html"},
    {"1.8 (term", N_("Lister les fichiers et répertoire en couleur"), "ls -l --color | more\n"},
    {"1.9 (term", N_("NICE Lancer un script ou commande lourde avec une priorité basse"),
     "nice -n 19 ./script"},
    {"2.0 (term", N_("Compression avec tar.gz"), "tar -zcvf file.tar.gz /path/dir_or_file"},
    {"2.1 (term", N_("Décompression avec tar.gz"), "tar -zxvf file.tar.gz"},
    {"2.2 (term", N_(" Différence entre deux fichiers"), "diff file1 file2"},
}};
} // namespace

std::span<const TerminalCommandItem> terminal_command_items() {
    return kItems;
}

const TerminalCommandItem* terminal_command_item(std::string_view key) {
    for (const auto& item : kItems)
        if (item.key == key) return &item;
    return nullptr;
}
