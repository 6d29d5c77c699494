// The symbol list: rows, marks, line ends, bounds, charsets and include names.
#include <glib.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/symbol_scan.h"

namespace {

using K = SymbolKind;
using Rows = std::vector<SymbolRow>;

const SymbolRow kFirst{K::suspect, "", 0};

Rows rows_after_first(const SymbolScan& scan) {
    EXPECT_FALSE(scan.rows.empty());
    if (scan.rows.empty()) return {};
    EXPECT_EQ(scan.rows.front(), kFirst);
    return Rows(scan.rows.begin() + 1, scan.rows.end());
}

std::string with_line_ends(const std::string& lf_text, const std::string& end) {
    std::string out;
    for (char c : lf_text)
        out += c == '\n' ? end : std::string(1, c);
    return out;
}

TEST(SymbolScan, ExampleFileGivesItsRowsInLineOrder) {
    auto scan = symbol_scan("<?php\n"
                            "include \"a.php\";\n"
                            "function f($x)\n"
                            "{\n"
                            "$v = $_GET['id'];\n"
                            "}\n",
                            "/w/t.php");
    EXPECT_EQ(rows_after_first(scan), (Rows{{K::include, "a.php", 2},
                                            {K::declaration, " f($x)", 3},
                                            {K::form_variable, "v = $_GET['id'", 5}}));
    EXPECT_TRUE(scan.marked_lines.empty());
    EXPECT_EQ(symbol_scan("", "/w/t.php").rows, Rows{kFirst});
}

// One line per case, scanned alone; `marked` says whether the line is marked.
struct LineCase {
    const char* path;
    const char* line;
    Rows rows;
    bool marked;
};

TEST(SymbolScan, LineRules) {
    const std::vector<LineCase> cases = {
        // The text after the first occurrence of the keyword, not after the last.
        {"a.php",
         "function get_function_name($a)",
         {{K::declaration, " get_function_name($a)", 1}},
         false},
        {"a.pl", "sub subscribe {", {{K::declaration, " subscribe {", 1}}, false},
        {"a.pl", "sub handler {", {{K::declaration, " handler {", 1}}, false},
        // Keywords are whole words, and a "$" makes them variable names.
        {"a.php", "$subtotal = 3", {}, true},
        {"a.pl", "$sub = 1", {}, true},
        {"a.php", "functional($x)", {{K::suspect, "functional($x)", 1}}, true},
        {"a.php", "$included = \"x\";", {}, false},
        {"a.php", "$_GETTER['x']", {}, true},
        // Modifiers before "function" still declare.
        {"a.php", "public static function render()", {{K::declaration, " render()", 1}}, false},
        {"a.js", "async function load(url) {", {{K::declaration, " load(url) {", 1}}, false},
        {"a.js", "export default function main() {", {{K::declaration, " main() {", 1}}, false},
        {"a.php", "public $function = f()", {{K::suspect, "public $function = f()", 1}}, true},
        // Includes: double quotes only; one quote gives the rest of the line.
        {"a.php", "require_once(\"lib.php\");", {{K::include, "lib.php", 1}}, false},
        {"a.c", "#include \"x.h\"", {{K::include, "x.h", 1}}, false},
        {"a.php", "include 'lib.php';", {}, false},
        {"a.php", "include \"half.php);", {{K::include, "half.php);", 1}}, false},
        {"a.php",
         "  $x = $_POST['k'] . $_REQUEST['r'];",
         {{K::form_variable, "x = $_POST['k'", 1}},
         false},
        // Suspects: a plain line ending in ')'; control lines are not.
        {"a.php", "foo($a)", {{K::suspect, "foo($a)", 1}}, true},
        {"a.php", "if ($a)", {}, false},
        {"a.php", "} elseif ($a)", {}, false},
        {"a.php", "} else if ($a)", {}, false},
        {"a.php", "switch ($x)", {}, false},
        {"a.php", "} catch (Exception $e)", {}, false},
        {"a.pl", "} elsif ($x)", {}, false},
        {"a.pl", "until ($done)", {}, false},
        {"a.c", "for (i = 0; i < n; i++)", {}, false},
        {"a.c", "print_r($a)", {{K::suspect, "print_r($a)", 1}}, true},
        // Comments are exempt before the suspect rule.
        {"a.php", "// call foo()", {}, false},
        {"a.pl", "# see run()", {}, false},
        {"a.c", " * uses bar()", {}, false},
        // Marks without a row.
        {"a.php", "$x = 1", {}, true},
        {"a.php", "$x = 1;", {}, false},
        {"a.php", "} else {", {}, false},
        {"a.php", "else", {}, false},
        {"a.php", "print $x", {}, false},
        {"a.php", "<?php", {}, false},
        {"a.c", "case 1:", {}, false},
        {"a.c", "default:", {}, false},
        {"a.h", "int x", {}, true},
        // Only the four file types are checked, by their exact extension.
        {"a.html", "foo($a)", {}, false},
        {"a.txt", "function f()", {{K::declaration, " f()", 1}}, false},
        {"/w/x.h/file", "foo($a)", {}, false},
        {"a.phps", "foo($a)", {}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + ": " + c.line);
        auto scan = symbol_scan(c.line + std::string("\n"), c.path);
        EXPECT_EQ(rows_after_first(scan), c.rows);
        EXPECT_EQ(scan.marked_lines, c.marked ? std::vector<int>{1} : std::vector<int>{});
        // A last line without its line end counts like any other.
        auto unended = symbol_scan(c.line, c.path);
        EXPECT_EQ(unended.rows, scan.rows);
        EXPECT_EQ(unended.marked_lines, scan.marked_lines);
    }
}

TEST(SymbolScan, CrLfCrAndLfFilesGiveTheSameRowsAndMarks) {
    const std::string lf = "<?php\n"
                           "include \"a.php\n"
                           "\n"
                           "function f($x)\n"
                           "$v = $_GET['id']\n"
                           "foo($a)\n"
                           "$x = 1\n"
                           "sub s {\n";
    auto expected = symbol_scan(lf, "t.php");
    EXPECT_EQ(rows_after_first(expected), (Rows{{K::include, "a.php", 2},
                                                {K::declaration, " f($x)", 4},
                                                {K::form_variable, "v = $_GET['id'", 5},
                                                {K::suspect, "foo($a)", 6},
                                                {K::declaration, " s {", 8}}));
    EXPECT_EQ(expected.marked_lines, (std::vector<int>{6, 7}));
    for (const char* end : {"\r\n", "\r"}) {
        auto scan = symbol_scan(with_line_ends(lf, end), "t.php");
        EXPECT_EQ(scan.rows, expected.rows) << "line end " << (end[1] ? "CRLF" : "CR");
        EXPECT_EQ(scan.marked_lines, expected.marked_lines);
    }
    // Two CRs are two line ends.
    EXPECT_EQ(symbol_scan("{\r\rfoo()\r", "t.php").marked_lines, std::vector<int>{3});
}

TEST(SymbolScan, TextsStopAt999BytesOnACharacterBoundary) {
    std::string name;
    for (int i = 0; i < 700; ++i)
        name += "\xc3\xa9"; // é
    for (const char* prefix : {"function ", "include \"", "$a = $_GET['"}) {
        auto scan = symbol_scan(prefix + name + "\n", "a.php");
        ASSERT_EQ(scan.rows.size(), 2u) << prefix;
        const auto& text = scan.rows[1].text;
        EXPECT_LE(text.size(), 999u);
        EXPECT_GE(text.size(), 997u);
        EXPECT_TRUE(g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr));
    }
    auto suspect = symbol_scan("f(" + std::string(5000, 'x') + ")\n", "a.php");
    ASSERT_EQ(suspect.rows.size(), 2u);
    EXPECT_EQ(suspect.rows[1].text, "f(" + std::string(997, 'x'));
}

TEST(SymbolScan, KeywordsAreNotLookedForPastTheLimitOfALongLine) {
    // A minified line: keywords and form variables far into it start nothing,
    // and the lines after it keep their numbers.
    const std::string minified =
        "var a=1;" + std::string(1500, 'a') + " function f(x){return $_GET['a'];} sub s {\n";
    auto scan = symbol_scan(minified + "function g()\n", "app.js");
    EXPECT_EQ(rows_after_first(scan), (Rows{{K::declaration, " g()", 2}}));
    auto near = symbol_scan("$x = " + std::string(900, ' ') + "$_GET['a'];\n", "a.php");
    EXPECT_EQ(near.rows.size(), 2u);
}

TEST(SymbolScan, Latin1FileIsDecodedWithThePageCharset) {
    const std::string bytes = "function caf\xe9($cr\xe8me)\n"
                              "include \"d\xe9j\xe0.php\";\n";
    auto text = scan_text_from_bytes(bytes, "ISO-8859-1");
    EXPECT_EQ(rows_after_first(symbol_scan(text, "a.php")),
              (Rows{{K::declaration, " caf\xc3\xa9($cr\xc3\xa8me)", 1},
                    {K::include, "d\xc3\xa9j\xc3\xa0.php", 2}}));
    // A file changed on disk so that it no longer decodes still gives valid text.
    auto broken = scan_text_from_bytes(std::string("f(\xe9\0)\n", 6), "UTF-8");
    EXPECT_TRUE(g_utf8_validate(broken.data(), static_cast<gssize>(broken.size()), nullptr));
    EXPECT_EQ(rows_after_first(symbol_scan(broken, "a.php")).size(), 1u);
}

TEST(IncludeFilePaths, NamesResolveAgainstTheDocumentFolderOnceEach) {
    const std::string text = "<?php\n"
                             "include \"a.php\";\n"
                             "require_once(\"../lib/b.php\");\n"
                             "require_once __DIR__ . \"/c.php\";\n"
                             "include \"\";\n"
                             "include \"/\";\n"
                             "include 'single.php';\n"
                             "include \"a.php\";\n"
                             "require \"sub/d.php\";\n";
    EXPECT_EQ(
        include_file_paths(text, "/w/p/index.php"),
        (std::vector<std::string>{"/w/p/a.php", "/w/lib/b.php", "/w/p/c.php", "/w/p/sub/d.php"}));
    EXPECT_TRUE(include_file_paths("", "/w/p/index.php").empty());
}

} // namespace
