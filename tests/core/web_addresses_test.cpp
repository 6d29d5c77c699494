// The addresses built for the web views and the rules read back out of them:
// encoded queries, file addresses, the picture buttons and downloads' names.
#include <gtest/gtest.h>

#include <glib.h>
#include <glib/gstdio.h>
#include <unistd.h>

#include <set>

#include "shell/gobj.h"
#include "support/stub_sandbox.h"
#include "tools/external_tools.h"
#include "web/download_rules.h"
#include "web/product_pages.h"
#include "web/web_addresses.h"

namespace {

std::string decoded(std::string_view encoded) {
    GCharPtr text(g_uri_unescape_segment(encoded.data(), encoded.data() + encoded.size(), nullptr));
    return text ? text.get() : "<bad escape>";
}

} // namespace

TEST(WebAddresses, QueryTextArrivesWholeAndEndsTheAddress) {
    EXPECT_EQ(web_search_address("a b&c#d"),
              std::string(kSearchEngineAddress) + "/?q=a%20b%26c%23d");
    const std::string texts[] = {
        "a b&c#d", "été?x=1/2+3;", "100%", std::string("nul\0byte", 8), "\xff\xfe", ""};
    for (const auto& text : texts) {
        for (const std::string& address :
             {web_search_address(text),
              translation_address(text, TranslationDirection::french_to_english),
              translation_address(text, TranslationDirection::english_to_french)}) {
            const std::size_t eq = address.rfind('=');
            ASSERT_NE(eq, std::string::npos) << address;
            const std::string value = address.substr(eq + 1);
            EXPECT_EQ(value.find_first_of("&#? +/;="), std::string::npos) << address;
            if (text.find('\0') == std::string::npos) {
                EXPECT_EQ(decoded(value), text) << address;
            }
        }
    }
    EXPECT_EQ(percent_encode(std::string("a\0b", 3)), "a%00b");
    EXPECT_NE(translation_address("x", TranslationDirection::french_to_english).find("sl=fr&tl=en"),
              std::string::npos);
    EXPECT_NE(translation_address("x", TranslationDirection::english_to_french).find("sl=en&tl=fr"),
              std::string::npos);
}

TEST(WebAddresses, FileAddressesRoundTripThroughThePictureName) {
    const struct {
        std::string path;
        std::string address;
    } cases[] = {
        {"/tmp/C#/a.html", "file:///tmp/C%23/a.html"},
        {"/tmp/a b.png", "file:///tmp/a%20b.png"},
        {"/tmp/100%/é?.png", "file:///tmp/100%25/%C3%A9%3F.png"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(file_address(c.path), c.address);
        EXPECT_EQ(picture_address_name(c.address), c.path);
    }
    EXPECT_EQ(file_address("relative/a.html"), std::nullopt);
    EXPECT_EQ(file_address("noname_1"), std::nullopt);
    // Other schemes keep the text between the first "://" and a second one.
    EXPECT_EQ(picture_address_name("http://host/a.png"), "host/a.png");
    EXPECT_EQ(picture_address_name("a://b://c"), "b");
    EXPECT_EQ(picture_address_name("no scheme.png"), std::nullopt);
}

TEST(WebAddresses, PictureButtonsFollowTheExactEnding) {
    const struct {
        const char* address;
        std::optional<bool> shown;
    } cases[] = {
        {"file:///a/b.png", true},
        {"file:///a/b.jpg", true},
        {"file:///a/b.gif", true},
        {"file:///a/b.jpeg", true},
        {"file:///a/b.PNG", false},
        {"file:///a/b.png.txt", false},
        {"http://example.com", false},
        {"http://localhost", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(picture_buttons_shown(c.address), c.shown) << c.address;
}

// The GIMP button hands the decoded path of a file: address to GIMP's command:
// a hostile file name must arrive as one argument, and nothing else may run.
TEST(WebAddresses, PicturePathReachesGimpWhole) {
    StubSandbox box;
    box.program("gimp");
    for (const char* name : {"x;touch PWNED.png", "$(touch PWNED).png", "it's.png", "-n.png",
                             "a b`touch PWNED`.png"}) {
        const std::string path = box.path(name);
        auto address = file_address(path);
        ASSERT_TRUE(address) << name;
        auto back = picture_address_name(*address);
        ASSERT_EQ(back, path);
        auto command = gimp_command(*back);
        ASSERT_TRUE(command) << *back;
        box.clear_log();
        box.run(*command + "\nwait");
        EXPECT_EQ(box.log(), "gimp:" + box.dir() + "<" + path + ">\n") << *command;
        EXPECT_EQ(box.listing(), std::set<std::string>{"bin"}) << *command;
    }
}

TEST(DownloadRules, OnlyTheBaseNameIsKeptAndNothingIsOverwritten) {
    const struct {
        std::string suggested;
        const char* name;
    } names[] = {
        {"report.pdf", "report.pdf"},
        {"../x", "x"},
        {"/etc/passwd", "passwd"},
        {"a\\..\\b.txt", "b.txt"},
        {"", "download"},
        {".", "download"},
        {"..", "download"},
        {"dir/", "download"},
        {".bashrc", "download"},
        {std::string("a\0/../b", 7), "a"},
    };
    for (const auto& n : names)
        EXPECT_EQ(download_file_name(n.suggested), n.name) << n.suggested;

    TempHome home;
    const std::string folder = home.path();
    EXPECT_EQ(download_destination(std::nullopt, "x").refusal, DownloadRefusal::no_folder);
    EXPECT_EQ(download_destination(std::string(), "x").refusal, DownloadRefusal::no_folder);

    auto fresh = download_destination(folder, "../new.txt");
    EXPECT_EQ(fresh.refusal, DownloadRefusal::none);
    EXPECT_EQ(fresh.path, folder + "/new.txt");
    EXPECT_EQ(download_destination(folder + "/", "new.txt").path, folder + "/new.txt");

    write_file(folder + "/old.txt", "old");
    EXPECT_EQ(download_destination(folder, "old.txt").refusal, DownloadRefusal::exists);
    ASSERT_EQ(symlink("/nonexistent/target", (folder + "/dangling").c_str()), 0);
    EXPECT_EQ(download_destination(folder, "dangling").refusal, DownloadRefusal::exists);
}
