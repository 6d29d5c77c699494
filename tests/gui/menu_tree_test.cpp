// The real menu bar of the built window, walked entry by entry against the menu
// tree as the user reads it: labels in order, accelerators, detach items,
// separators and nested menus. The expected tree is written here as an outline
// independent of the table the builder reads, so a slip in either shows up.
#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "gui/support/gui_fixture.h"
#include "shell/gobj.h"
#include "shell/ui/menu.h"

namespace {

// One line per entry, two spaces of indentation per level:
//   "~"            the detach (tear-off) item a menu begins with
//   "-"            a separator
//   "Label"        an item; "Label  [Ctrl+Shift+Z]" with its accelerator
//   "Label >"      a submenu whose entries follow, one level deeper
//   "Label >*"     a submenu filled at run time, compared by its label only
const char* const kMenuTree = R"(
Fichier >
  ~
  Nouveau  [Ctrl+N]
  Crapbook  [Alt+M]
  Ajouter un marque page
  Doc Gen
  -
  Ouvrir  [Ctrl+O]
  Dérniers fichiers ouvert
  Ouvrir different fichiers >
    Ouvrir un snippet
    Ouvrir un template
    Ouvrir un fichier de session
  -
  Fichier recents >*
  Marque page >*
  Sessions >*
  Templates >*
  -
  Sauvegarder  [Ctrl+S]
  Sauvegarder sous
  Sauvegarder different fichiers >
    Sauvegarder session
    Sauvegarder sous un template
    Sauvegarder sous un snippet
    Sauvegarder version  [Alt+S]
    Backup
    Revenir à la sauvegarde
  -
  Manager le fichier de configuration >
    Fichier autoremplacement
    File autocomp
    Configuration principale
    Charsets configuration
    Configuration du Menu utilisateur
    Fichier de marque page
    Fichier de configuration todo liste
    Fichier de configuration MyAdmin  [Alt+N]
    Recharger MyAdmin  [Alt+H]
  Preferences
  -
  Fermer le fichier encours  [Alt+Q]
  Quiter Orvane
Editer >
  ~
  Indent
  Undindent
  -
  Copier
  Copier tous le contenu du fichier
  Couper
  Coller
  Echanger avec le presse papier
  Supprimer
  -
  Couper et nouveau fichier
  Copier et nouveau fichier
  Coller et nouveau fichier
  Ajouter au Crapbook  [Ctrl+E]
  -
  Tout séléctionner  [Ctrl+A]
  Supprimer la ligne  [Ctrl+Y]
  -
  Annuler action  [Ctrl+Z]
  Refaire action  [Ctrl+Shift+Z]
Rechercher >
  ~
  BookMark  [Alt+B]
  Rechercher et remplacer fenêtre
  Rechercher (le texte en zone de commande)  [Ctrl+F]
  Rechercher avec case insensitive (le texte en zone de commande)  [Ctrl+Shift+F]
  Rechercher suivant (le texte en zone de commande)  [F3]
  Rechercher suivant avec case insensitive (le texte en zone de commande)  [Shift+F3]
  Aller à la ligne  [Alt+G]
  Tout remplacer (Ligne de commande TEXTE_RECHERCHE~TEXTE_REMPLACEMENT)  [F1]
  Scan lien HTML local (HREF)
  Scan d'image HTML (SRC)  [Shift+F7]
Fonctions >
  ~
  Insert un chemin de fichier PATH
  Analyser de texte UNIversal >
    ~
    UNITAZ avec trie abc
    UNITAZ avec trie par compte
    UNITAZ avec trie abc avec case insensitive
    UNITAZ avec trie par compte case insensitive
    UNITAZ plaine
    Extraire des mots
  -
  Snippets >*
  Menu utilisateur >*
  -
  Inserer >
    ~
    Date/Time
    Dump menu
  Caractères >
    ~
    Majuscule  [Ctrl+Up]
    Minuscule  [Ctrl+Down]
    Majuscule sur la première lettre de chaque mot
  Nombres >
    ~
    Arabe à Roman
    Hexadécimal au format décimal
    Binaire en décimal
    Compteur
  Format >
    ~
    Tuez le formatage  [Alt+D]
    Tuez le formatage sur chaque ligne
    Envelopper première à la position
    Envelopper sur les espaces à la position
    Tuez les espaces au début de chaque ligne
    Tuez espaces à la fin de chaque ligne
  Trier >
    ~
    Trier les lignes
    Trier les lignes en longueur
    Trier les lignes avec case insensetive
    Inverser l'ordre des lignes
  Chaîne >
    ~
    Inerser
    Supprimer les lignes vides
    Tuez les doublons
    Numeroter les lignes
    Shuffle lines
    Convertir des tabulations en espaces
    Convertir des espaces en tabulations
    Appliquer un modèle à chaque ligne en séléction (sur la ligne de commande Ex: %s<br>)  [Alt+E]
  Filtrer >
    ~
    Tuez les lignes qui contiennent une expression
    Tuez toutes les lignes sauf une phrase
    Tuez toutes les lignes < N caractères
    Tuez toutes les lignes > N caractères
  Fin de ligne >
    CR/LF to LF
    LF to CR/LF
  Recherche avec google du texte en séléction dans l'onglet MyAdmin  [F8]
  Traduction avec google du texte en séléction dans l'onglet MyAdmin FR vers EN  [F6]
  Traduction avec google du texte en séléction dans l'onglet MyAdmin EN vers FR  [F7]
Html >
  ~
  HTML outils >
    ~
    Template de base
    Tableau de base  [Ctrl+Shift+T]
    Supprimer les balises HTML de la séléction
    Lien autour de la séléction
    Convertir les caractères spéciaux
    Afficher le poids du document
  Inserer un DOCTYPE >
    ~
    HTML 4.1 Transitional
    HTML 4.1 Strict
    HTML 4.1 Frameset
    XHTML 1.0 Strict
    XHTML 1.0 Transitional
    XHTML 1.0 Frameset
    WML 1.1
  Caractères spéciaux HTML >*
  -
  Gras  [Ctrl+Alt+B]
  Italique  [Alt+I]
  Souligner
  -
  Commenter  [Alt+/]
  Paragraphe  [Alt+P]
  Lien  [Alt+L]
  Couleur  [Alt+C]
  Image
  Retour chariot  [Ctrl+Return]
  Espace  [Ctrl+Shift+space]
  -
  Eléments de tableau >
    ~
    table
    tr
    td
  H >
    ~
    h1
    h2
    h3
    h4
    h5
    h6
  Aligner >
    ~
    Centrer
    Gauche
    Droite
    Justifier
Projets >
  ~
  Nouveau projet
  Ouvrir un projet
  Sauvegarder le projet
  Sauvegarder le projet sous
  Propriété du projet
  Make  [Shift+F11]
  Executer  [Shift+F12]
  Monter un serveur en SFTP (SSH)  [Shift+F9]
  Monter un serveur FTP (FTPFS)
  Démonter le dérnier serveur monté en SFTP/FTP  [Shift+F10]
Onglets >*
Navigateurs >
  ~
  Opera
  Konqueror
  Firefox
  Mozilla
  Galeon
  Dillo
  Elinks
  Links
  Lynx
  Epiphany
Navigation >
  ~
  Scan des liens dans la page
  Liens >*
  Aller au début du bloque {  [Alt+Left]
  Aller à la fin du bloque }  [Alt+Right]
  Aller à un onglet récent
  Aller à l'onglet suivant  [Ctrl+Page_Up]
  Allez à l'onglet précédent  [Ctrl+Page_Down]
  Aller au premier onglet
  Aller au dérnier onglet
  Aller à la séléction
  Focus sur la ligne de commande  [Ctrl+W]
  Reload Mini Web  [Ctrl+R]
  Focus et chargement de la page courante dans l'onglet Mini Web  [Ctrl+D]
  Focus sur le texte  [Ctrl+B]
  Ouvrir au cursor
  Editer au cursor
Vue >
  ~
  Co >*
  Coloration syntaxique >
    none
    HTML
    JAVASCRIPT
    XML
    CSS
    PHP
    PERL
    BASH Script
    C
    C++
    gettext PO file
    Python
    Ruby
    JAVA
  Rafraichir la coloration syntaxique  [F5]
  Retour à la ligne  [Alt+W]
  Afficher les images dans le texte
  Switcher entre header/source  [Ctrl+H]
  Themes >
    Theme Classic (Default)
    Theme Cobalt
    Theme Kate
    Theme Oblivion
    Theme Tango
Aide >
  ~
  Vérifiez votre version de Orvane IDE
  Lire le manuel/documentation de Orvane IDE
  Envoyer un rapport de bug
  A-propos de Orvane IDE
  -
)";

enum class Kind { item, separator, detach, submenu, dynamic };

struct Accel {
    guint key = 0;
    GdkModifierType mods{};
    bool operator==(const Accel& o) const { return key == o.key && mods == o.mods; }
};

struct Node {
    Kind kind = Kind::item;
    std::string label;
    std::optional<Accel> accel;
    std::vector<Node> children;
};

std::string describe(const Node& n) {
    switch (n.kind) {
    case Kind::separator:
        return "<separator>";
    case Kind::detach:
        return "<detach>";
    case Kind::submenu:
        return n.label + " >";
    case Kind::dynamic:
        return n.label + " >*";
    case Kind::item:
        break;
    }
    if (!n.accel) return n.label;
    GCharPtr name(gtk_accelerator_name(n.accel->key, n.accel->mods));
    return n.label + "  [" + name.get() + "]";
}

// "Ctrl+Shift+Z", "Alt+/", "F3": the notation of the written tree.
Accel parse_accel(const std::string& text) {
    Accel a;
    std::stringstream parts(text);
    std::string part;
    std::vector<std::string> tokens;
    while (std::getline(parts, part, '+'))
        tokens.push_back(part);
    int mods = 0;
    for (std::size_t i = 0; i + 1 < tokens.size(); ++i) {
        if (tokens[i] == "Ctrl") mods |= GDK_CONTROL_MASK;
        else if (tokens[i] == "Shift") mods |= GDK_SHIFT_MASK;
        else if (tokens[i] == "Alt") mods |= GDK_MOD1_MASK;
        else ADD_FAILURE() << "unknown modifier in " << text;
    }
    const std::string key = tokens.empty() ? "" : tokens.back();
    a.key = key == "/" ? GDK_KEY_slash : gdk_keyval_from_name(key.c_str());
    // Letters are case-insensitive in the written tree.
    a.key = gdk_keyval_to_lower(a.key);
    EXPECT_NE(a.key, 0u) << "unknown key in " << text;
    a.mods = GdkModifierType(mods);
    return a;
}

std::vector<Node> parse_outline(const char* outline) {
    std::vector<Node> roots;
    std::vector<std::vector<Node>*> levels{&roots};
    std::stringstream in(outline);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty()) continue;
        std::size_t indent = line.find_first_not_of(' ');
        std::size_t depth = indent / 2;
        EXPECT_LT(depth, levels.size()) << "badly indented: " << line;
        if (depth >= levels.size()) continue;
        levels.resize(depth + 1);
        std::string text = line.substr(indent);
        Node n;
        auto ends_with = [&text](const std::string& s) {
            return text.size() >= s.size() && text.compare(text.size() - s.size(), s.size(), s) == 0;
        };
        if (text == "~") {
            n.kind = Kind::detach;
        } else if (text == "-") {
            n.kind = Kind::separator;
        } else if (ends_with(" >*")) {
            n.kind = Kind::dynamic;
            n.label = text.substr(0, text.size() - 3);
        } else if (ends_with(" >")) {
            n.kind = Kind::submenu;
            n.label = text.substr(0, text.size() - 2);
        } else {
            std::size_t open = text.rfind("  [");
            if (ends_with("]") && open != std::string::npos) {
                n.accel = parse_accel(text.substr(open + 3, text.size() - open - 4));
                text.resize(open);
            }
            n.label = text;
        }
        levels.back()->push_back(std::move(n));
        if (levels.back()->back().kind == Kind::submenu)
            levels.push_back(&levels.back()->back().children);
    }
    return roots;
}

// The visible accelerator the item's "activate" carries, if any.
std::optional<Accel> item_accel(GtkWidget* item) {
    std::optional<Accel> result;
    GList* closures = gtk_widget_list_accel_closures(item);
    for (GList* l = closures; l && !result; l = l->next) {
        auto* closure = static_cast<GClosure*>(l->data);
        GtkAccelGroup* group = gtk_accel_group_from_accel_closure(closure);
        GtkAccelKey* key = gtk_accel_group_find(
            group, [](GtkAccelKey*, GClosure* c, gpointer data) -> gboolean { return c == data; },
            closure);
        if (key && (key->accel_flags & GTK_ACCEL_VISIBLE))
            result = Accel{gdk_keyval_to_lower(key->accel_key), key->accel_mods};
    }
    g_list_free(closures);
    return result;
}

std::string name_of(GtkWidget* w) {
    const char* name = gtk_widget_get_name(w);
    return name ? name : "";
}

// Reads a menu shell as the user sees it. Naming faults are collected in
// `problems`: items carry their label as widget name, the rest "-x-".
std::vector<Node> read_menu(GtkWidget* shell, const std::string& path,
                            std::vector<std::string>& problems) {
    std::vector<Node> nodes;
    GList* children = gtk_container_get_children(GTK_CONTAINER(shell));
    for (GList* l = children; l; l = l->next) {
        GtkWidget* w = GTK_WIDGET(l->data);
        if (!gtk_widget_get_visible(w) || !GTK_IS_MENU_ITEM(w)) continue;
        Node n;
        G_GNUC_BEGIN_IGNORE_DEPRECATIONS
        const bool tearoff = GTK_IS_TEAROFF_MENU_ITEM(w);
        G_GNUC_END_IGNORE_DEPRECATIONS
        const char* label = gtk_menu_item_get_label(GTK_MENU_ITEM(w));
        GtkWidget* sub = gtk_menu_item_get_submenu(GTK_MENU_ITEM(w));
        if (tearoff) {
            n.kind = Kind::detach;
            if (name_of(w) != "-x-") problems.push_back(path + ": detach item named " + name_of(w));
        } else if (!label || !*label) {
            n.kind = Kind::separator;
            if (name_of(w) != "-x-") problems.push_back(path + ": separator named " + name_of(w));
            if (gtk_widget_get_sensitive(w)) problems.push_back(path + ": sensitive separator");
        } else {
            n.label = label;
            n.accel = item_accel(w);
            if (name_of(w) != n.label)
                problems.push_back(path + " > " + n.label + ": widget name " + name_of(w));
            if (sub) {
                n.kind = Kind::submenu;
                if (name_of(sub) != "-x-")
                    problems.push_back(path + " > " + n.label + ": submenu named " + name_of(sub));
                n.children = read_menu(sub, path + " > " + n.label, problems);
            }
        }
        nodes.push_back(std::move(n));
    }
    g_list_free(children);
    return nodes;
}

// Compares one menu level; every difference becomes one line of `diffs`.
void compare(const std::vector<Node>& want, const std::vector<Node>& got, const std::string& path,
             std::vector<std::string>& diffs) {
    std::size_t n = std::max(want.size(), got.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::string where = path + " #" + std::to_string(i);
        if (i >= got.size()) {
            diffs.push_back(where + ": missing " + describe(want[i]));
            continue;
        }
        if (i >= want.size()) {
            diffs.push_back(where + ": unexpected " + describe(got[i]));
            continue;
        }
        const Node& w = want[i];
        const Node& g = got[i];
        const bool want_sub = w.kind == Kind::submenu || w.kind == Kind::dynamic;
        const bool kinds_match = want_sub ? g.kind == Kind::submenu : w.kind == g.kind;
        if (!kinds_match || w.label != g.label || w.accel != g.accel) {
            diffs.push_back(where + ": expected " + describe(w) + ", found " +
                            (g.kind == Kind::submenu && w.kind == Kind::dynamic
                                 ? g.label + " >*"
                                 : describe(g)));
            // Once the order is off, the rest of this menu says nothing new.
            if (w.label != g.label) return;
            continue;
        }
        if (w.kind == Kind::submenu) compare(w.children, g.children, path + " > " + w.label, diffs);
    }
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += l + "\n";
    return out;
}

using MenuTreeTest = GuiTest;

TEST_F(MenuTreeTest, MenuBarMatchesTheWrittenTreeEntryByEntry) {
    const std::vector<Node> want = parse_outline(kMenuTree);
    ASSERT_EQ(want.size(), 11u);

    GtkWidget* bar = menu_bar();
    ASSERT_NE(bar, nullptr);
    ASSERT_TRUE(gtk_widget_is_ancestor(bar, window()));
    std::vector<std::string> problems;
    const std::vector<Node> got = read_menu(bar, "menubar1", problems);

    std::vector<std::string> diffs;
    compare(want, got, "menubar1", diffs);
    EXPECT_TRUE(diffs.empty()) << joined(diffs);
    EXPECT_TRUE(problems.empty()) << joined(problems);
}

TEST_F(MenuTreeTest, OutlineReaderTellsEveryKindOfDifference) {
    // The comparison itself must notice what it is meant to notice.
    const auto want = parse_outline("A >\n  ~\n  B  [Ctrl+Shift+B]\n  -\n  C >\n    D\n  E >*\n");
    ASSERT_EQ(want.size(), 1u);
    ASSERT_EQ(want[0].children.size(), 5u);
    EXPECT_EQ(want[0].children[1].accel,
              (Accel{GDK_KEY_b, GdkModifierType(GDK_CONTROL_MASK | GDK_SHIFT_MASK)}));

    auto differences = [&want](const char* outline) {
        std::vector<std::string> diffs;
        auto got = parse_outline(outline);
        // What the reader makes of a real menu: filled menus are plain submenus.
        for (auto& top : got)
            for (auto& child : top.children)
                if (child.kind == Kind::dynamic) child.kind = Kind::submenu;
        compare(want, got, "bar", diffs);
        return diffs.size();
    };
    EXPECT_EQ(differences("A >\n  ~\n  B  [Ctrl+Shift+B]\n  -\n  C >\n    D\n  E >\n    x\n"), 0u);
    EXPECT_EQ(differences("A >\n  B  [Ctrl+Shift+B]\n  -\n  C >\n    D\n  E >\n"), 1u);
    EXPECT_EQ(differences("A >\n  ~\n  B  [Ctrl+B]\n  -\n  C >\n    D\n  E >\n"), 1u);
    EXPECT_EQ(differences("A >\n  ~\n  B  [Ctrl+Shift+B]\n  C >\n    D\n  E >\n"), 1u);
    EXPECT_EQ(differences("A >\n  ~\n  B  [Ctrl+Shift+B]\n  -\n  C >\n    d\n  E >\n"), 1u);
    EXPECT_EQ(differences("A >\n  ~\n  B  [Ctrl+Shift+B]\n  -\n  C >\n    D\n  E >\n  F\n"), 1u);
}

} // namespace
