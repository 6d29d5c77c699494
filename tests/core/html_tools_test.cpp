// The Html menu's text rules: what each entry writes, where the cursor goes,
// and the scans of the files a page refers to.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <chrono>

#include "shell/lines.h"
#include "support/temp_home.h"
#include "tools/html_scan.h"
#include "tools/html_tools.h"

namespace {

struct EditCase {
    const char* what;
    HtmlEdit edit;
    std::string text;
    bool replaces;
    std::optional<long> cursor;
};

TEST(HtmlEdits, WrapOrInsertThePairWithTheCursorAtComputedPlaces) {
    const EditCase cases[] = {
        {"Gras, nothing selected", html_wrap_tag("b", std::nullopt), "<b></b>", false, 3},
        {"Gras on abc", html_wrap_tag("b", "abc"), "<b>abc</b>", true, std::nullopt},
        {"an empty selection is none", html_wrap_tag("h6", ""), "<h6></h6>", false, 4},
        {"Centrer", html_align("center", "x"), "<div align=\"center\">x</div>", true, {}},
        {"Justifier, nothing selected", html_align("justify", std::nullopt),
         "<div align=\"justify\"></div>", false, 21},
        // The cursor lands in the empty address even when the text holds quotes.
        {"Lien on site", html_link("site"), "<a href=\"\">site</a>", true, 9},
        {"Lien on a quote", html_link("say \"hi\""), "<a href=\"\">say \"hi\"</a>", true, 9},
        {"Lien, nothing selected", html_link(std::nullopt), "<a href=\"\"></a>", false, 11},
        // The cursor goes after the selection, counted in characters.
        {"Image", html_image("été \"1\".png"), "<img src=\"été &quot;1&quot;.png\">", true, 31},
        {"Image, nothing selected", html_image(std::nullopt), "<img src=\"\">", false, 10},
        {"div with id", html_div_with_id("x\"y"), "<div id=\"\">\nx\"y\n</div>", true, 9},
        {"div with id, nothing selected", html_div_with_id(std::nullopt), "<div id=\"\"></div>",
         false, 11},
        {"Retour chariot, xhtml_mode 1", html_line_break(1), "<br />", false, {}},
        {"Retour chariot, xhtml_mode 0", html_line_break(0), "<br>", false, {}},
        {"Espace", html_space(), "&nbsp;", false, {}},
        {"Lien autour, https kept",
         html_link_around("https://x.org/a?b=\"c\""),
         "<a href=\"https://x.org/a?b=&quot;c&quot;\">https://x.org/a?b=\"c\"</a>",
         true,
         {}},
        {"Lien autour, other scheme",
         html_link_around("sftp://h/p"),
         "<a href=\"sftp://h/p\">sftp://h/p</a>",
         true,
         {}},
        {"Lien autour, no scheme",
         html_link_around("ftp.gnu.org"),
         "<a href=\"ftp://ftp.gnu.org\">ftp.gnu.org</a>",
         true,
         {}},
        {"Lien autour, no scheme before ://",
         html_link_around("x ://y"),
         "<a href=\"http://x ://y\">x ://y</a>",
         true,
         {}},
    };
    for (const EditCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.edit.text, c.text);
        EXPECT_EQ(c.edit.replaces_selection, c.replaces);
        EXPECT_EQ(c.edit.cursor, c.cursor);
    }
}

TEST(HtmlComment, FollowsTheFileNameSuffixInAnyCase) {
    struct Case {
        const char* name;
        std::optional<std::string> with_selection;
        std::optional<std::string> without;
    };
    const Case cases[] = {
        {"/w/page.HTML", "<!-- S -->", "<!-- -->"},
        {"a.xhtml", "<!-- S -->", "<!-- -->"},
        {"/w/style.CSS", "/*S*/", "/* */"},
        {"x.c++", "/*S*/", "/* */"},
        {"x.php", "/*S*/", "/* */"},
        {"unit.pas", "{S}", "{ }"},
        {"notes.txt", std::nullopt, std::nullopt},
        {"/w/dir.css/Makefile", std::nullopt, std::nullopt},
        {"noname_1", std::nullopt, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto with = html_comment(c.name, "S");
        const auto without = html_comment(c.name, std::nullopt);
        ASSERT_EQ(with.has_value(), c.with_selection.has_value());
        ASSERT_EQ(without.has_value(), c.without.has_value());
        if (!with) continue;
        EXPECT_EQ(with->text, *c.with_selection);
        EXPECT_TRUE(with->replaces_selection);
        EXPECT_EQ(without->text, *c.without);
        EXPECT_FALSE(without->replaces_selection);
    }
}

TEST(HtmlColor, FormatsTheHighBytesAndFillsTheTemplateOnce) {
    EXPECT_EQ(html_color_text(0xffff, 0x80ff, 0x0100), "#ff8001");
    EXPECT_EQ(html_color_text(0, 0x00ff, 0), "#000000");
    const std::string templ = "<span style=\"color:@color;\">@text</span>";
    HtmlEdit e = html_color(templ, "#ff0000", "a @color @text");
    EXPECT_EQ(e.text, "<span style=\"color:#ff0000;\">a @color @text</span>");
    EXPECT_TRUE(e.replaces_selection);
    e = html_color(templ, "#ff0000", std::nullopt);
    EXPECT_EQ(e.text, "#ff0000");
    EXPECT_FALSE(e.replaces_selection);
    // Without "@text" the selection is kept and the filled template goes in at the cursor.
    e = html_color("<font color=\"@color\">", "#00ff00", "keep me");
    EXPECT_EQ(e.text, "<font color=\"#00ff00\">");
    EXPECT_FALSE(e.replaces_selection);
}

TEST(HtmlText, StripsTagsAndEscapesSpecialCharacters) {
    const std::pair<const char*, const char*> strips[] = {
        {"<b>bold</b> a < b", "bold a < b"},
        {"<p>x &QUOT; y</p>", "x \" y"},
        // An entity inside a tag is part of the tag.
        {"<a title=\"&quot;\">t</a>", "t"},
        {"a <<b>c", "a <c"},
        {"x <", "x <"},
        {"1 <2 and 3> 4", "1  4"},
        {"<>gone> kept", "gone> kept"},
        {"a > b", "a > b"},
        {"&quot", "&quot"},
    };
    for (const auto& [in, out] : strips)
        EXPECT_EQ(html_strip_tags(in), out) << in;
    EXPECT_EQ(html_escape_special("a&b<c>'d\"é"), "a&amp;b&lt;c&gt;&#39;d&quot;é");
}

TEST(HtmlText, DoctypesAndCharacterReferences) {
    ASSERT_EQ(html_doctype_labels().size(), 7u);
    EXPECT_EQ(html_doctype("HTML 4.1 Strict"),
              "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\" "
              "\"http://www.w3.org/TR/html4/strict.dtd\">");
    EXPECT_EQ(html_doctype("XHTML 1.0 Transitional"),
              "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\" "
              "\"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">");
    EXPECT_EQ(html_doctype("WML 1.1"), "<?xml version=\"1.0\"?> \n<!DOCTYPE wml PUBLIC "
                                       "\"-//WAPFORUM//DTD WML 1.1//EN\" "
                                       "\"http://www.wapforum.org/DTD/wml_1.1.xml\">");
    for (const std::string& label : html_doctype_labels())
        EXPECT_TRUE(html_doctype(label)) << label;
    EXPECT_FALSE(html_doctype("HTML 5"));

    const std::vector<std::string> labels = html_character_reference_labels();
    ASSERT_EQ(labels.size(), 30u);
    for (std::size_t i = 1; i < labels.size(); ++i)
        EXPECT_LE(g_utf8_collate(labels[i - 1].c_str(), labels[i].c_str()), 0) << labels[i];
    EXPECT_EQ(html_character_reference("&"), "&#38;");
    EXPECT_EQ(html_character_reference("espace insécable"), "&#160;");
    EXPECT_EQ(html_character_reference("symbole de l'euro"), "&#8364;");
    EXPECT_FALSE(html_character_reference("nothing"));
}

TEST(HtmlTable, ReadsRowsAndCellsAndCapsHugeCounts) {
    EXPECT_EQ(html_table("2~2").text,
              "<table>\n<tr>\n<td></td>\n<td></td>\n</tr>\n<tr>\n<td></td>\n"
              "<td></td>\n</tr>\n</table>");
    EXPECT_EQ(html_table("3").text,
              "<table>\n<tr>\n<td></td>\n</tr>\n<tr>\n<td></td>\n</tr>\n<tr>\n<td></td>\n</tr>\n"
              "</table>");
    EXPECT_EQ(html_table("0").text, "<table>\n</table>");
    EXPECT_EQ(html_table("-4~3").text, "<table>\n</table>");
    EXPECT_EQ(html_table("1~0").text, "<table>\n<tr>\n</tr>\n</table>");
    EXPECT_EQ(html_table("rows").text, "<table>\n</table>"); // no digits read as 0
    EXPECT_EQ(html_table("~2").text, html_table("1~2").text);
    EXPECT_EQ(html_table("").text, html_table("1~1").text);
    EXPECT_EQ(html_table(" 2x~1~9").text, html_table("2~1").text);
    EXPECT_FALSE(html_table("1000~100").capped);

    const auto start = std::chrono::steady_clock::now();
    const HtmlTable huge = html_table("100000~99999999999999999999");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_TRUE(huge.capped);
    EXPECT_EQ(huge.text, html_table("1000~100").text);
    EXPECT_EQ(lines_copy_nonempty(text_to_lines(huge.text)).size(), 2u + 1000u * 102u);
}

// Runs a body from another working folder and comes back.
class FromElsewhere : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = g_get_current_dir();
        ASSERT_EQ(g_mkdir(elsewhere().c_str(), 0700), 0);
        ASSERT_EQ(chdir(elsewhere().c_str()), 0);
        site_ = home_.file("my site");
        g_mkdir_with_parents((site_ + "/img").c_str(), 0700);
        g_mkdir(home_.file("shared").c_str(), 0700);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(saved_), 0);
        g_free(saved_);
    }
    std::string elsewhere() const { return home_.file("elsewhere"); }
    std::string at(const std::string& relative) const { return site_ + "/" + relative; }

    TempHome home_;
    gchar* saved_ = nullptr;
    std::string site_;
};

TEST_F(FromElsewhere, LinkScanListsEachExistingRegularFileOnce) {
    for (const char* name : {"index.html", "a b.html", "b.html", "img/pic.png", "q.html", "c.html"})
        write_file(at(name), "x");
    write_file(home_.file("shared/s.css"), "x");
    write_file(elsewhere() + "/b.html", "x"); // a relative value must not find this
    g_mkdir(at("folder.html").c_str(), 0700);
    const std::string page = at("index.html");
    const std::string text =
        "<a href=\"a%20b.html#top\">A</a> <A HREF='b.html?x=1'>B</A> <a href=\"\">e</a>"
        "<a href=\"missing.html\"> <a href=\"folder.html\"> <a href=\"http://q.html\">"
        "<a href=\"./a b.html\"> <link href = \"../shared/s.css\"> <a data-href=\"c.html\">"
        "<a href=\"#only\"> <a href=\"index.html\"> <a href=\"" +
        at("q.html") + "\"> <img src=\"img/pic.png\"> <a href=\"c.html";
    EXPECT_EQ(html_links_menu(page, text, HtmlScanKind::links),
              (std::vector<std::string>{page, at("a b.html"), at("b.html"),
                                        home_.file("shared/s.css"), at("q.html")}));
    EXPECT_EQ(html_links_menu(page, text, HtmlScanKind::images),
              (std::vector<std::string>{page, at("img/pic.png")}));
    // A page without a folder (not saved yet) resolves only absolute values.
    EXPECT_EQ(html_links_menu("noname_1", text, HtmlScanKind::links),
              (std::vector<std::string>{"noname_1", at("q.html")}));
}

TEST_F(FromElsewhere, PageWeightCountsEachPictureOnceBesideThePage) {
    const std::string page = at("index.html");
    EXPECT_FALSE(html_page_weight("", page)); // no file yet
    write_file(page, std::string(2048, 'x'));
    std::optional<PageWeight> w = html_page_weight("no pictures", page);
    ASSERT_TRUE(w);
    PageWeightLines lines = html_page_weight_lines(*w, page);
    EXPECT_TRUE(lines.files.empty());
    EXPECT_EQ(lines.page, page + " = 2 Kb");
    EXPECT_EQ(lines.total, "Total weight for " + page + " is 2 Kb");

    write_file(at("img/a.png"), std::string(3000, 'x'));
    g_mkdir((elsewhere() + "/img").c_str(), 0700);
    write_file(elsewhere() + "/img/a.png", "");
    // A sparse picture over 4 GiB: sizes do not wrap around.
    const std::string big = at("img/big %d.gif");
    const int fd = g_open(big.c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);
    close(fd);
    w = html_page_weight("<img src=\"img/a.png\"><IMG SRC='img/big%20%25d.gif'>"
                         "<img src=\"./img/a.png\"><img src=\"img/none.png\">",
                         page);
    ASSERT_TRUE(w);
    ASSERT_EQ(w->files.size(), 2u);
    EXPECT_EQ(w->total, 2048u + 3000u + (5ULL << 30));
    lines = html_page_weight_lines(*w, page);
    EXPECT_EQ(lines.files,
              (std::vector<std::string>{at("img/a.png") + " = 2 Kb", big + " = 5242880 Kb"}));
    EXPECT_EQ(lines.total, "Total weight for " + page + " is 5242884 Kb");
}

} // namespace
