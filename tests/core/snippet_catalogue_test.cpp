// The snippet catalogue and the help trees' rules: shape of the trees, keys and
// their actions, fixed fragments, the shell tests run for real, row parsing,
// the search rule, the chooser, and that every text reaches the translators.
#include <gtest/gtest.h>

#include <cstring>
#include <glib.h>
#include <glib/gstdio.h>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "shell/commands.h"
#include "shell/gobj.h"
#include "snippets/help_trees.h"
#include "snippets/script_headers.h"
#include "snippets/snippet_catalogue.h"
#include "support/temp_home.h"

namespace {

const std::set<std::string_view> kPerlLibraryTags = {"lib_dbi", "lib_mime", "lib_URI",
                                                     "lib_LWP", "lib_net",  "lib_socket"};

TEST(SnippetCatalogue, NineTreesOf207ItemsUnder38Headings) {
    struct Count {
        std::string_view tree;
        int headings, items;
    };
    const std::vector<Count> expected = {
        {"php", 7, 40},        {"css", 6, 27},     {"term", 1, 12},
        {"javascript", 4, 20}, {"htaccess", 1, 7}, {"bash", 6, 28},
        {"perl", 9, 51},       {"mysql", 1, 4},    {"html", 3, 18}};
    ASSERT_EQ(snippet_tree_names().size(), expected.size());
    std::size_t rows = 0;
    int headings = 0, items = 0;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Count& c = expected[i];
        EXPECT_EQ(snippet_tree_names()[i], c.tree);
        auto tree = snippet_tree_rows(c.tree);
        ASSERT_FALSE(tree.empty()) << c.tree;
        EXPECT_TRUE(tree.front().heading) << c.tree;
        EXPECT_EQ(tree.data(), snippet_catalogue().data() + rows) << c.tree;
        int h = 0, n = 0;
        for (const SnippetRow& row : tree) {
            if (row.heading) ++h;
            if (!row.key.empty()) ++n; // "TABLEAU" is neither
        }
        EXPECT_EQ(h, c.headings) << c.tree;
        EXPECT_EQ(n, c.items) << c.tree;
        rows += tree.size();
        headings += h;
        items += n;
    }
    EXPECT_EQ(rows, snippet_catalogue().size()); // the trees cover the table, one after another
    EXPECT_EQ(headings, 38);
    EXPECT_EQ(items, 207);
    EXPECT_TRUE(snippet_tree_rows("ruby").empty());
    EXPECT_TRUE(snippet_tree_rows("").empty());
    EXPECT_STREQ(snippet_tree_rows("perl")[4].title, "TABLEAU");
}

TEST(SnippetCatalogue, EveryKeyIsUniqueAndLeadsToAnAction) {
    std::set<std::string_view> keys;
    for (const SnippetRow& row : snippet_catalogue()) {
        const std::string_view title = row.title;
        SCOPED_TRACE(title);
        if (row.heading || title == "TABLEAU") {
            EXPECT_TRUE(row.key.empty());
            EXPECT_EQ(row.action, SnippetAction::none);
            continue;
        }
        EXPECT_EQ(row.key, title.substr(0, title.find(')')));
        EXPECT_TRUE(keys.insert(row.key).second) << "duplicate key";
        EXPECT_EQ(snippet_find(row.key), &row);
        const HelpRowParts parts = help_row_parse(title);
        EXPECT_EQ(parts.key, row.key);
        EXPECT_TRUE(parts.tag == row.tree ||
                    (row.tree == "perl" && kPerlLibraryTags.count(parts.tag)))
            << parts.tag;
        switch (row.action) {
        case SnippetAction::insert_text:
            EXPECT_FALSE(std::string_view(row.text).empty());
            EXPECT_EQ(row.operation, SnippetOperation::none);
            break;
        case SnippetAction::run_operation:
            EXPECT_NE(row.operation, SnippetOperation::none);
            break;
        case SnippetAction::type_in_terminal:
            EXPECT_EQ(row.tree, "term");
            break;
        case SnippetAction::none:
            ADD_FAILURE() << "an item without action";
            break;
        }
    }
    for (const char* nothing : {"", "TABLEAU", "2 Instructions", "9.9 (perl", "2.1 (php) IF"})
        EXPECT_EQ(snippet_find(nothing), nullptr) << nothing;
}

TEST(SnippetCatalogue, ItemsThatRunAnOperationOrTypeIntoTheTerminal) {
    using Op = SnippetOperation;
    const std::map<std::string_view, Op> operations = {
        {"1.1 (bash", Op::bash_header},
        {"1.1 (perl", Op::perl_header},
        {"1.1 (php", Op::php_header},
        {"1.1 (html", Op::html_skeleton},
        {"1.2 (html", Op::comment},
        {"1.3 (php", Op::comment},
        {"1.1 (css", Op::comment},
        {"1.3 (html", Op::html_table},
        {"1.4 (html", Op::link_around_selection},
        {"1.7 (html", Op::image_around_selection},
        {"1.8 (html", Op::div_around_selection},
        {"2.4 (bash", Op::case_builder},
        {"4.1 (bash", Op::grep_builder},
        {"4.2 (bash", Op::awk_builder},
        {"4.3 (bash", Op::sed_builder},
        {"4.4 (bash", Op::scp_builder},
    };
    const std::set<std::string_view> terminal = {
        "1.1 (term", "1.2 (term", "1.3 (term", "1.4 (term", "1.5 (term", "1.6 (term",
        "1.7 (term", "1.8 (term", "1.9 (term", "2.0 (term", "2.1 (term", "2.2 (term"};
    for (const SnippetRow& row : snippet_catalogue()) {
        if (row.key.empty()) continue;
        SCOPED_TRACE(row.title);
        auto op = operations.find(row.key);
        EXPECT_EQ(row.action == SnippetAction::run_operation, op != operations.end());
        if (op != operations.end()) {
            EXPECT_EQ(row.operation, op->second);
        }
        EXPECT_EQ(row.action == SnippetAction::type_in_terminal, terminal.count(row.key) == 1);
    }
    // The table maker reads "rows~columns" from the command entry; the title says so.
    EXPECT_STREQ(snippet_find("1.3 (html")->title,
                 "1.3 (html) : Tableau [Option CMD : \"{NBR_TR}~{NBR_TD}\"]");
}

TEST(SnippetCatalogue, FixedFragments) {
    const std::map<std::string_view, std::string> texts = {
        {"1.2 (php", "echo \"\";\n\n"},
        {"2.1 (php", "if ()\n{\n\n}\n\n"},
        {"2.1 (perl", "if ()\n{\n\n}\n\n"},
        {"2.2 (php", "if ()\n{\n\n}\nelse\n{\n\n}\n\n"},
        {"2.3 (perl", "if ()\n{\n\n}\nelse\n{\n\n}\n\n"},
        {"2.3 (php", "while ()\n{\n\n}\n\n"},
        {"2.4 (perl", "while ()\n{\n\n}\n\n"},
        {"2.5 (perl", "while (1)\n{\n\n}\n\n"},
        {"1.7 (perl", "foreach $element (@tableau)\n{\n\n}\n\n"},
        {"2.6 (perl", "foreach $element (@tableau)\n{\n\n}\n\n"},
        {"5.1 (php",
         "$dbhost=\"ip_host_name\";\n$dblogin=\"login\";\n$dbpassword=\"password\";\n"
         "$dbname=\"nom_de_base\";\n\n$db=mysqli_connect($dbhost,$dblogin,$dbpassword);\n"
         "mysqli_select_db($db,$dbname);\n\nmysqli_set_charset($db,\"utf8\");\n\n"},
        {"1.6 (php", "$now = date(\"Y-m-d H:i:s\");\n\n"},
        {"1.2 (bash", "# Affichage sur la sortie standare\necho \"\"\n"},
        {"1.3 (bash", "\n#\n#\n#\n"},
        {"1.4 (bash", " &"},
        {"2.1 (bash", "# Instruction si...\nif\nthen\n\nfi\n"},
        {"2.3 (bash", "# Boucle \nwhile\ndo\n\ndone\n"},
        {"3.1 (bash", " && "},
        {"3.2 (bash", " || "},
        {"5.1 (bash", " > /dev/null"},
        {"5.5 (bash", " > /fichier 2>&1"},
        {"6.1 (bash", " [ -e fichier ]"},
        {"6.7 (bash", " [ \"variable1\" = \"variable2\" ]"},
        {"6.8 (bash", " [ \"chiffre1\" -eq \"chiffre2\" ]"},
        {"1.2 (perl", "print \" \";\n\n"},
        {"1.1 (mysql", "SELECT groupe_attribut FROM table WHERE condition"},
        {"1.1 (htaccess", "AddDefaultCharset utf-8\n"},
        {"1.2 (htaccess", "Require all denied\n"},
        {"1.4 (htaccess", std::string("ErrorDocument 403 ") + kProductAddress +
                              "\nErrorDocument 404 " + kProductAddress + "\n"},
        {"1.6 (htaccess", "RewriteRule ^source.html$  destination.php?id=1  [L]\n"},
        {"1.2 (css", "body\n{\n\n}\n"},
        {"2.1 (css", "background: #FFF;\n"},
        {"1.1 (javascript", "<script type=\"text/javascript\">\n\n\n</script>\n"},
        {"3.3 (javascript", "onClick=\"\" "},
        {"3.6 (javascript", "onMouseOver=\"\" "},
        {"2.1 (html", "width=\"\" "},
        {"1.9 (html", "style=\"\" "},
        {"8.5 (lib_net", "$ftp->cwd(\"$dir\");\n"},
        {"8.6 (lib_net", "$ftp->delete(\"$file\");\n"},
    };
    for (const auto& [key, text] : texts) {
        const SnippetRow* row = snippet_find(key);
        ASSERT_NE(row, nullptr) << key;
        EXPECT_EQ(snippet_text(*row), text) << key;
    }
    for (const SnippetRow& row : snippet_tree_rows("php")) {
        EXPECT_EQ(std::string_view(row.text).find("mysql_"), std::string_view::npos) << row.title;
    }
}

// Placeholders replaced by values, the fragment run as the condition of an if.
TEST(SnippetCatalogue, ShellTestsWorkInSh) {
    TempHome home;
    const std::string dir = home.path();
    write_file(dir + "/fichier", "x");
    ASSERT_EQ(g_mkdir(home.file("repertoire").c_str(), 0700), 0);
    struct Case {
        std::string_view key;
        std::map<std::string, std::string> values;
        int status; // 0 true, 1 false; 2 would be sh refusing the test
    };
    const std::vector<Case> cases = {
        {"6.1 (bash", {}, 0},
        {"6.1 (bash", {{"fichier", "absent"}}, 1},
        {"6.2 (bash", {}, 0},
        {"6.2 (bash", {{"repertoire", "fichier"}}, 1},
        {"6.4 (bash", {}, 0},
        {"6.5 (bash", {}, 0},
        {"6.6 (bash", {}, 1},
        {"6.6 (bash", {{"fichier", "/bin/sh"}}, 0},
        {"6.7 (bash", {{"variable1", "abc"}, {"variable2", "abc"}}, 0},
        {"6.7 (bash", {{"variable1", "abc"}, {"variable2", "abd"}}, 1},
        {"6.7 (bash", {{"variable1", "07"}, {"variable2", "7"}}, 1},
        {"6.8 (bash", {{"chiffre1", "7"}, {"chiffre2", "7"}}, 0},
        {"6.8 (bash", {{"chiffre1", "07"}, {"chiffre2", "7"}}, 0},
        {"6.8 (bash", {{"chiffre1", "7"}, {"chiffre2", "8"}}, 1},
    };
    for (const Case& c : cases) {
        std::string fragment = snippet_text(*snippet_find(c.key));
        for (const auto& [placeholder, value] : c.values) {
            const std::size_t at = fragment.find(placeholder);
            ASSERT_NE(at, std::string::npos) << c.key << " " << placeholder;
            fragment.replace(at, placeholder.size(), value);
        }
        const std::string command = "cd " + shell_quote(dir) + " && if" + fragment +
                                    "; then exit 0; else exit $?; fi 2>/dev/null";
        EXPECT_EQ(run_shell_sync(command), c.status) << command;
    }
}

TEST(HelpTrees, ARowSplitsIntoKeyTagAndRest) {
    struct Case {
        std::string_view text, key, tag, rest;
        std::optional<std::string> search;
    };
    const std::vector<Case> cases = {
        {"2.1 (php) IF", "2.1 (php", "php", " IF", "php IF"},
        {"1.2 (css) : Style pour balise body", "1.2 (css", "css", " : Style pour balise body",
         "css : Style pour balise body"},
        {"9.9 (perl) FOO bar", "9.9 (perl", "perl", " FOO bar", "perl FOO bar"},
        {"5.1 (lib_dbi) CONNEXION : x (a)", "5.1 (lib_dbi", "lib_dbi", " CONNEXION : x (a)",
         "lib_dbi CONNEXION : x (a)"},
        {"TABLEAU", "TABLEAU", "", "", std::nullopt},
        {"2 Instructions", "2 Instructions", "", "", std::nullopt},
        {"1.1 (php)", "1.1 (php", "php", "", std::nullopt},
        {"a) b", "a", "", " b", std::nullopt},
        {"", "", "", "", std::nullopt},
    };
    for (const Case& c : cases) {
        const HelpRowParts parts = help_row_parse(c.text);
        EXPECT_EQ(parts.key, c.key) << c.text;
        EXPECT_EQ(parts.tag, c.tag) << c.text;
        EXPECT_EQ(parts.rest, c.rest) << c.text;
        EXPECT_EQ(help_row_web_search(c.text), c.search) << c.text;
    }
}

TEST(HelpTrees, SearchMatchesPiecesAtWordStarts) {
    const std::string_view fputs = "3.3 (php) FPUTS : écrire dans un fichier";
    struct Case {
        std::string_view row, typed;
        bool matches;
    };
    const std::vector<Case> cases = {
        {fputs, "php fich", true},
        {fputs, "hier", false},
        {fputs, "PHP FICH", true},
        {fputs, "fputs ÉCRIRE", true}, // case folded beyond ASCII
        {fputs, "crire", false},       // an accented letter is a letter
        {fputs, "3.3", true},
        {fputs, "3 fich", true},    // "3" after the "." of "3.3"
        {fputs, "php  fich", true}, // two blanks: an empty piece matches
        {fputs, "php perl", false},
        {fputs, "", true},
        // every occurrence is tried: "ab" inside "cab" does not hide the word "ab"
        {"cab ab", "ab", true},
        {"cab", "ab", false},
        {"2.1 (php) IF", "(php", true},
        {"<b>gras</b> & x", "gras", true}, // markup is plain text, never parsed
        {"<b>gras</b> & x", "<b>", true},
        {"a & b", "&", true},
        {"1.2 (css) : Style pour balise body", "style balise", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(help_search_matches(c.row, c.typed), c.matches)
            << "\"" << c.row << "\" / \"" << c.typed << "\"";
}

TEST(HelpTrees, ChooserRowsOpenTheirLanguageOnly) {
    std::vector<std::pair<std::string, std::vector<std::string>>> shown;
    for (const HelpCategory& category : help_chooser_categories()) {
        shown.push_back({category.title, {}});
        for (const HelpLanguage& language : category.languages) {
            shown.back().second.push_back(language.row);
            EXPECT_FALSE(snippet_tree_rows(language.tree).empty()) << language.tree;
        }
    }
    const std::vector<std::pair<std::string, std::vector<std::string>>> expected = {
        {"Langages interprétés", {"[BASH]", "[PERL]", "[PHP]"}},
        {"Base de données", {"[MYSQL]"}},
        {"Web mise en page", {"[HTML]", "[CSS]", "[JAVASCRIPT/JQUERY]", "[HTACCESS]"}},
    };
    EXPECT_EQ(shown, expected);

    const HelpLanguage* css = help_language_for_row("[CSS]");
    ASSERT_NE(css, nullptr);
    EXPECT_STREQ(css->window_title, "Aide CSS");
    EXPECT_STREQ(css->tree, "css");
    EXPECT_STREQ(help_language_for_row("[JAVASCRIPT/JQUERY]")->window_title,
                 "Aide Javascript Jquery");
    for (const char* other : {"[css]", "[CSS] ", "Base de données", "", "[TERM]"})
        EXPECT_EQ(help_language_for_row(other), nullptr) << other;
}

TEST(HelpTrees, DivAroundTheSelectionPutsTheCursorInsideTheId) {
    // A quote inside the selection must not move the cursor there.
    for (const char* selection : {"texte", "<a href=\"x\">lien</a>", "l'été"}) {
        const SnippetInsertion div = snippet_div_around(selection);
        EXPECT_EQ(div.text, std::string("<div id=\"\">\n") + selection + "\n</div>");
        EXPECT_EQ(div.text.substr(0, div.cursor), "<div id=\"");
    }
    const SnippetInsertion empty = snippet_div_around("");
    EXPECT_EQ(empty.text, "<div id=\"\"></div>");
    EXPECT_EQ(empty.text.substr(0, empty.cursor), "<div id=\"\">");
}

// Every title and every translated fragment is found by xgettext as it is run
// to build po/orvane.pot, byte for byte.
TEST(HelpTrees, EveryTextIsMarkedForTranslation) {
    if (!GCharPtr(g_find_program_in_path("xgettext")) ||
        !GCharPtr(g_find_program_in_path("msgexec")))
        GTEST_SKIP() << "gettext tools are missing";
    std::string source = __FILE__;
    source = source.substr(0, source.rfind("tests/core/")) + "src/snippets/";
    TempHome home;
    const std::string messages = home.file("messages");
    const std::string command =
        "xgettext --language=C++ --from-code=UTF-8 --keyword=_ --keyword=N_ -o - " +
        shell_quote(source + "snippet_catalogue.cpp") + " " + shell_quote(source + "help_trees.h") +
        " " + shell_quote(source + "help_trees.cpp") + " | msgen - | msgexec -i - 0 > " +
        shell_quote(messages);
    ASSERT_EQ(run_shell_sync(command), 0);
    const std::string output = read_file(messages);
    std::set<std::string> msgids;
    // msgexec's "0" writes each message followed by a NUL byte.
    for (std::size_t start = 0, end; (end = output.find('\0', start)) != std::string::npos;
         start = end + 1)
        msgids.insert(output.substr(start, end - start));
    ASSERT_GT(msgids.size(), 200u);

    std::vector<std::string> wanted;
    for (const SnippetRow& row : snippet_catalogue()) {
        wanted.push_back(row.title);
        if (row.translate) wanted.push_back(row.text);
    }
    for (const HelpCategory& category : help_chooser_categories()) {
        wanted.push_back(category.title);
        for (const HelpLanguage& language : category.languages)
            wanted.push_back(language.window_title);
    }
    for (const char* fixed :
         {kHelpChooserColumnTitle, kHelpTreeColumnTitle, kHelpNeedsDocument, kTerminalHelpTitle})
        wanted.push_back(fixed);
    for (const std::string& text : wanted)
        EXPECT_TRUE(msgids.count(text)) << text;
}

} // namespace
