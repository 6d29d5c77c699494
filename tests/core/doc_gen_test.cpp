// The documentation generator: the page byte for byte, entry kinds by file
// type, escaping, line ends and the size limit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/doc_gen.h"

namespace {

const std::string kHead =
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
    "\"http://www.w3.org/TR/1999/REC-html401-19991224/loose.dtd\">\n"
    "<html>\n<head>\n"
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
    "<title></title>\n"
    "<style type=\"text/css\">\n"
    "div#content a {\n    color: #3465a4;\n    text-decoration: none;\n}\n\n"
    "div#content a:hover {\n    text-decoration: underline;\n}\n\n"
    "div#content {\n    clear: both;\n    padding: 1em;\n    margin: 1em;\n}\n\n"
    "div.table-of-contents {\n    border: 1px dotted #888;\n    background: #f0f0f0;\n"
    "    margin: 1em 1em 1em 1em;\n    font-size: 85%;\n    width: 750px;\n}\n\n"
    "div.table-of-contents p.table-of-contents-heading {\n    font-weight: bold;\n"
    "    margin: 0.5em 1em;\n}\n\n"
    "div.table-of-contents ol {\n    margin: 1em 0.5em 1em 1em;\n    padding: 0;\n}\n\n"
    "div.table-of-contents ol li {\n    margin: 0;\n    padding: 0;\n    margin-left: 1em;\n}\n\n"
    "div.table-of-contents ol ol {\n    margin: 0.5em 0.5em 0.5em 1em;\n    padding: 0;\n}\n\n"
    "hr {\n    border: 1;\n    width: 80%;\n    color: gray;\n    background-color: gray;\n}\n\n"
    "body {\n    font-family: Abel, sans-serif;\n    font-size: 10pt;\n}\n\n"
    "h1 {\n    font-family: Abel, sans-serif;\n    font-size: 15pt;\n}\n"
    "</style></head><body>\n\n"
    "\n\n<a name=\"top\"></a>\n\n"
    "      <div id=\"content\"><img src=\"https://orvane.org/images/orvane_start.png\">\n"
    "        <div class=\"table-of-contents\">\n"
    "    <p class=\"table-of-contents-heading\">Documentation</p>\n"
    "      <ol>\n"
    "        <li><a href=\"#Introduction\">Introduction</a>\n"
    "        <ol>\n\n";

const std::string kIntroduction = "\n\n        </ol>\n        </li>\n\n  </div>\n\n\t\t  <br>\n"
                                  "        <a name=\"Introduction\"></a>\n"
                                  "        <h1>Introduction</h1>\n"
                                  "        <p>\n"
                                  "\t\t\tAutor :      <br>\n"
                                  "\t\t\tEmail :       <br>File :  \n";

const std::string kSummary = "\t\t\t\n<br><br>\n\t\t\tSummary :<br><br>\n\n\t\t\t</p>\n\n";

const std::string kFooter =
    "<hr>\n<a href=\"https://orvane.org\">Orvane</a>\n      </div>\n</body>\n</html>\n";

std::string section(const std::string& anchor, const std::string& colour,
                    const std::string& title) {
    return "<hr><a href=\"#top\">Top page</a>\n        <a name=\"" + anchor + "\"></a>\n        " +
           (colour.empty() ? "<h1>" : "<h1 style=\"color:" + colour + ";\">") + title +
           "</h1>\n                <div class=\"table-of-contents\" style=\"width:90%;\">\n"
           "    <p class=\"table-of-contents-heading\">Summary</p>\n\n"
           "Your text here<br><br> \n\n\t\t\t</div>\n\n";
}

// The titles of the table of contents, in order.
std::vector<std::string> titles(const std::string& html) {
    std::vector<std::string> out;
    for (std::size_t pos = html.find("<li"); pos != std::string::npos;
         pos = html.find("<li", pos + 1)) {
        auto open = html.find("\">", html.find("<a href=", pos)) + 2;
        auto close = html.find("</a>", open);
        out.push_back(html.substr(open, close - open));
    }
    out.erase(out.begin()); // "Introduction"
    return out;
}

std::vector<std::string> titles_of(const std::string& text, const std::string& path) {
    return titles(generate_documentation(text, path).html);
}

TEST(DocGen, ExamplePageByteForByte) {
    auto doc = generate_documentation("include \"lib.php\";\n"
                                      "function f($a)\n"
                                      "$x = $_POST['k'];\n",
                                      "/home/u/site/t.php");
    const std::string toc =
        "<li style=\"color:#a427f2;\"><a href=\"#Include file : lib.php\">Include file : "
        "lib.php</a></li>\n"
        "<li><a href=\"#Function :  f($a)\">Function :  f($a)</a></li>\n"
        "<li style=\"color:#2e8b71;\"><a href=\"#Variable : x = $_POST['k']\">Variable : x = "
        "$_POST['k']</a></li>\n";
    const std::string sections =
        section("Include file : lib.php", "#a427f2", "Include file : lib.php") +
        section("Function :  f($a)", "", "Function :  f($a)") +
        section("Variable : x = $_POST['k']", "#2e8b71", "Variable : x = $_POST['k']");
    EXPECT_EQ(doc.html,
              kHead + toc + kIntroduction + "/home/u/site/t.php" + kSummary + sections + kFooter);
    EXPECT_TRUE(doc.log_lines.empty());
}

TEST(DocGen, EmptyFileGivesTheFrameWithThePath) {
    auto doc = generate_documentation("", "/srv/a&b/<x>.sh");
    EXPECT_EQ(doc.html, kHead + kIntroduction + "/srv/a&amp;b/&lt;x&gt;.sh" + kSummary + kFooter);
}

TEST(DocGen, TitlesAreEscapedInAttributesAndCarryNoMarkup) {
    auto html = generate_documentation("if ($a < $b && $c == \"<x>\")\n", "t.c").html;
    const std::string title = "Instruction : if ($a / $b && $c == \"/x/\")";
    const std::string anchor = "Instruction : if ($a / $b &amp;&amp; $c == &quot;/x/&quot;)";
    EXPECT_NE(html.find("<li style=\"color:#a52a44;\"><a href=\"#" + anchor + "\">" + title +
                        "</a></li>\n"),
              std::string::npos);
    EXPECT_NE(html.find(section(anchor, "#a52a44", title)), std::string::npos);
}

struct KindsCase {
    const char* path;
    const char* text;
    std::vector<std::string> titles;
};

TEST(DocGen, EntryKindsByFileType) {
    const std::vector<KindsCase> cases = {
        {"a.pl",
         "use strict;\nuse Mouse;\nsub run {\nsub subscribe {\n$subject = 1;\n",
         {"Module :  strict;", "Module :  Mouse;", "Function :  run {", "Function :  subscribe {"}},
        // Foreign kinds start nothing, and the rest of the file is still read.
        {"a.php",
         "use App\\Model;\n$subject = 1;\nsub x {\n# c\nfunction g()\n",
         {"Function :  g()"}},
        {"a.php",
         "public static function render() {\n$y = $_GET['a'] . $_GET['b'];\n$z = $_POST;\n",
         {"Function :  render() {", "Variable : y = $_GET['a']", "Variable : z = $_POST;"}},
        {"a.pl", "$x = $_GET{'a'};\nrequire \"lib.pl\";\n", {"Include file : lib.pl"}},
        {"a.js",
         "while (x) {\nforeach\nunless (y)\nexit;\nexiting();\n",
         {"Instruction : while (x) {", "Instruction : unless (y)", "Instruction : exit;"}},
        // Comments: ".pl" and ".sh" only, once more than two spaces were read
        // since the last comment; a '#' elsewhere is an ordinary byte.
        {"a.sh",
         "#!/bin/sh\n# clean the build tree\n#x y z\nrm -f x  # gone for good\n",
         {"Comment : # clean the build tree", "Comment : rm -f x  # gone for good"}},
        {"a.pl", "use strict; # comment\n", {"Module :  strict; # comment"}},
        {"a.c", "#include \"a.h\"\n# define  X  1\n", {"Include file : a.h"}},
        {"a.html", "$x = $_GET['a'];\nsub s {\n", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(titles_of(c.text, c.path), c.titles) << c.path << ": " << c.text;
}

TEST(DocGen, CrLfAndCrFilesGiveTheLfPage) {
    const std::string lf = "#!/bin/sh\n# remove the old files now\nif [ -d x ]\n";
    auto expected = generate_documentation(lf, "/a/t.sh").html;
    EXPECT_EQ(titles(expected), (std::vector<std::string>{"Comment : # remove the old files now",
                                                          "Instruction : if [ -d x ]"}));
    for (const char* end : {"\r\n", "\r"}) {
        std::string text;
        for (char c : lf)
            text += c == '\n' ? std::string(end) : std::string(1, c);
        EXPECT_EQ(generate_documentation(text, "/a/t.sh").html, expected);
    }
}

TEST(DocGen, SizeLimitDropsWholeEntriesFromTheFirstThatDoesNotFit) {
    std::string text;
    for (int i = 0; i < 2000; ++i)
        text += "function f" + std::to_string(i) + "()\n";
    auto doc = generate_documentation(text, "/a/t.php");
    auto found = titles(doc.html);
    ASSERT_GT(found.size(), 100u);
    ASSERT_LT(found.size(), 2000u);
    for (std::size_t i = 0; i < found.size(); ++i)
        ASSERT_EQ(found[i], "Function :  f" + std::to_string(i) + "()");
    auto sections = doc.html.substr(doc.html.find("</p>\n\n<hr>") + 6);
    EXPECT_LE(sections.size() - kFooter.size(), kDocGenPartLimit);
    ASSERT_EQ(doc.log_lines.size(), 1u);
    EXPECT_NE(doc.log_lines[0].find(std::to_string(2000 - found.size())), std::string::npos);
    EXPECT_TRUE(doc.html.ends_with(kFooter));
}

TEST(DocGen, PreviewBaseIsTheSourceFolder) {
    EXPECT_EQ(documentation_base_uri("/home/u/my site/t.php"), "file:///home/u/my%20site/");
    EXPECT_EQ(documentation_base_uri("noname_1"), "");
}

} // namespace
