#include <gtest/gtest.h>

#include "web/product_pages.h"

#include <string>

namespace {

const std::string kWww = "/opt/orvane/www";

std::string served_path(const std::string& uri) {
    auto file = product_page_file(uri, kWww);
    return file ? file->path : "<refused>";
}

} // namespace

TEST(ProductPages, AddressesCarryTheVersionAndFixedPaths) {
    EXPECT_EQ(product_home_page(), "orvane://main.php?version=1.6.4");
    EXPECT_EQ(product_version_page(), "orvane://version.php?version=1.6.4");
    EXPECT_EQ(product_manual_page(), "orvane://DOC/doc.html");
    EXPECT_EQ(product_bug_report_page(), "orvane://bug_rapport.php?clef=1.6.4");
    // Every product address must resolve to a page that the scheme serves.
    for (const auto& uri : {product_home_page(), product_version_page(), product_manual_page(),
                            product_bug_report_page(), product_about_page()})
        EXPECT_NE(served_path(uri), "<refused>") << uri;
}

TEST(ProductPages, ServiceAddressesLeaveRoomForTheCallersSuffix) {
    EXPECT_EQ(translation_home_page(), std::string(kTranslationAddress) + "/?hl=fr&tab=wT");
    EXPECT_EQ(search_engine_home_page(), std::string(kSearchEngineAddress) + "/");
    EXPECT_NE(std::string(kSearchEngineAddress).back(), '/');
    EXPECT_EQ(std::string(kSearchEngineAddress).rfind("https://", 0), 0u);
    EXPECT_EQ(std::string(kTranslationAddress).rfind("https://", 0), 0u);
}

TEST(ProductPages, ResolvesPagesUnderTheWwwFolder) {
    struct Case {
        const char* uri;
        const char* path;
        const char* mime;
    } cases[] = {
        {"orvane://main.php?version=1.6.4", "/opt/orvane/www/main.html", "text/html"},
        {"orvane://main.php", "/opt/orvane/www/main.html", "text/html"},
        {"orvane://DOC/doc.html", "/opt/orvane/www/DOC/doc.html", "text/html"},
        {"orvane://DOC/doc.html#ligne", "/opt/orvane/www/DOC/doc.html", "text/html"},
        {"orvane://bug_rapport.php?clef=1.6.4#x", "/opt/orvane/www/bug_rapport.html", "text/html"},
        {"orvane://style.css", "/opt/orvane/www/style.css", "text/css"},
        {"ORVANE://Logo.PNG", "/opt/orvane/www/Logo.PNG", "image/png"},
        {"orvane://DOC/./doc.html", "/opt/orvane/www/DOC/doc.html", "text/html"},
        {"orvane://DOC//doc.html", "/opt/orvane/www/DOC/doc.html", "text/html"},
        {"orvane://mon%20fichier.txt", "/opt/orvane/www/mon fichier.txt", "text/plain"},
        {"orvane://DOC/page.PHP", "/opt/orvane/www/DOC/page.html", "text/html"},
        // Only the name's suffix is rewritten, not a ".php" inside a folder name.
        {"orvane://a.php/b.js", "/opt/orvane/www/a.php/b.js", "text/javascript"},
        {"orvane://data.bin", "/opt/orvane/www/data.bin", "application/octet-stream"},
        // A ".." inside a name is not a path step.
        {"orvane://a..b.html", "/opt/orvane/www/a..b.html", "text/html"},
        // The query is not part of the lookup, even when it looks like a path.
        {"orvane://main.php?f=../../etc/passwd", "/opt/orvane/www/main.html", "text/html"},
    };
    for (const auto& c : cases) {
        auto file = product_page_file(c.uri, kWww);
        ASSERT_TRUE(file) << c.uri;
        EXPECT_EQ(file->path, c.path) << c.uri;
        EXPECT_EQ(file->mime, c.mime) << c.uri;
    }
}

TEST(ProductPages, TrailingSlashOfTheFolderIsIgnored) {
    auto file = product_page_file("orvane://main.php", "/srv/www///");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->path, "/srv/www/main.html");
}

TEST(ProductPages, RefusesAddressesThatLeaveTheFolderOrNameNoFile) {
    const char* refused[] = {
        "orvane://../etc/passwd",
        "orvane://DOC/../../etc/passwd",
        "orvane://DOC/..",
        "orvane://%2e%2e/etc/passwd",
        "orvane://DOC/%2E%2E/%2e%2e/etc/passwd",
        "orvane://..%2f..%2fetc%2fpasswd",
        "orvane://DOC%2Fdoc.html",
        "orvane:///etc/passwd",
        "orvane:////etc/passwd",
        "orvane://main.html%00.png",
        "orvane://main%zz.html",
        "orvane://main.html%2",
        "orvane://main.html%",
        "orvane://",
        "orvane://?version=1.6.4",
        "orvane://#top",
        "orvane://DOC/",
        "orvane://DOC/.",
        "orvane://.",
        "orvane:main.php",
        "orvan://main.php",
        "file:///etc/passwd",
        "http://orvane/main.php",
        "",
    };
    for (const char* uri : refused)
        EXPECT_EQ(served_path(uri), "<refused>") << uri;
    EXPECT_EQ(served_path(std::string("orvane://ma\0in.html", 19)), "<refused>");
}

TEST(ProductPages, TellsProductAddressesFromRemoteOnes) {
    EXPECT_TRUE(is_product_page_address(product_home_page()));
    EXPECT_TRUE(is_product_page_address("Orvane://DOC/doc.html"));
    EXPECT_FALSE(is_product_page_address(search_engine_home_page()));
    EXPECT_FALSE(is_product_page_address(translation_home_page()));
    EXPECT_FALSE(is_product_page_address("orvane:main.php"));
    EXPECT_FALSE(is_product_page_address("https://orvane://x"));
    EXPECT_FALSE(is_product_page_address(""));
}

TEST(ProductPages, MimeFromSuffix) {
    EXPECT_EQ(product_page_mime("doc.HTML"), "text/html");
    EXPECT_EQ(product_page_mime("a.htm"), "text/html");
    EXPECT_EQ(product_page_mime("x.svg"), "image/svg+xml");
    EXPECT_EQ(product_page_mime("photo.jpeg"), "image/jpeg");
    EXPECT_EQ(product_page_mime("html"), "application/octet-stream");
    EXPECT_EQ(product_page_mime(""), "application/octet-stream");
}
