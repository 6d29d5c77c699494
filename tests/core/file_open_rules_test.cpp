#include <gtest/gtest.h>
#include <glib.h>
#include <set>

#include "documents/file_open_rules.h"

namespace {
std::string from_utf8(const std::string& text, const char* charset) {
    gsize n = 0;
    gchar* out = g_convert(text.data(), text.size(), charset, "UTF-8", nullptr, &n, nullptr);
    std::string s(out, n);
    g_free(out);
    return s;
}
} // namespace

TEST(OpenRoute, PicturesByExactExtensionHtmlBothRtfByLowerCase) {
    EXPECT_EQ(open_route_for("/p/photo.jpg"), OpenRoute::preview_only);
    EXPECT_EQ(open_route_for("/p/photo.jpeg"), OpenRoute::preview_only);
    EXPECT_EQ(open_route_for("/p/photo.JPG"), OpenRoute::text) << "exact comparison";
    EXPECT_EQ(open_route_for("/p/page.html"), OpenRoute::preview_and_text);
    EXPECT_EQ(open_route_for("/p/page.htm"), OpenRoute::preview_and_text);
    EXPECT_EQ(open_route_for("/p/page.HTML"), OpenRoute::text);
    EXPECT_EQ(open_route_for("/p/letter.RTF"), OpenRoute::rtf);
    EXPECT_EQ(open_route_for("/p.d/noext"), OpenRoute::text);
}

TEST(OpenRoute, PicturePathsForLinksAreCaseInsensitive) {
    for (const char* p : {"a.png", "a.GIF", "photo.JPG", "a.jpeg", "a.wbmp", "a.Bmp", "a.mng"})
        EXPECT_TRUE(is_picture_path(p)) << p;
    for (const char* p : {"a.svg", "png", "a.png.txt", ""}) EXPECT_FALSE(is_picture_path(p)) << p;
}

TEST(DecodeFileBytes, Utf8MustBeValid) {
    CharsetDetectFlags none;
    auto ok = decode_file_bytes("h\xc3\xa9", "UTF-8", none);
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->text, "h\xc3\xa9");
    EXPECT_EQ(ok->encoding, "UTF-8");
    EXPECT_FALSE(decode_file_bytes("h\xe9", "UTF-8", none));
}

TEST(DecodeFileBytes, NamedCharsetConvertsAndKeepsItsName) {
    const std::string cyrillic = "Привет, как дела?";
    auto r = decode_file_bytes(from_utf8(cyrillic, "CP1251"), "CP1251", {});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, cyrillic);
    EXPECT_EQ(r->encoding, "CP1251");
    EXPECT_FALSE(decode_file_bytes("abc", "NO-SUCH-CHARSET", {}));
}

TEST(DecodeFileBytes, AutodetectWithEveryFlagOffFailsOnNonUtf8AndPassesUtf8) {
    CharsetDetectFlags none;
    EXPECT_FALSE(decode_file_bytes("caf\xe9 cr\xe8me", "autodetect", none));
    auto utf8 = decode_file_bytes("plain text", "autodetect", none);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(utf8->encoding, "UTF-8");
}

TEST(DecodeFileBytes, AutodetectFindsAnEnabledLanguageAndReportsItsCharset) {
    CharsetDetectFlags flags;
    flags.cp1251 = true;
    const std::string text = "Это был день, когда мы не пришли домой.";
    auto r = decode_file_bytes(from_utf8(text, "CP1251"), "autodetect", flags);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, text);
    EXPECT_NE(r->encoding, "autodetect");
}

TEST(DecodeFileBytes, JapaneseAutodetectChoosesACharset) {
    const std::string text = "日本語のテキストです。";
    auto r = decode_file_bytes(from_utf8(text, "EUC-JP"), "Japanese autodetect", {});
    ASSERT_TRUE(r);
    EXPECT_EQ(r->text, text);
    EXPECT_EQ(r->encoding, "EUC-JP");
}

TEST(EncodeText, RoundTripsAndRefusesUnrepresentableText) {
    auto cp = encode_text("Привет", "CP1251");
    ASSERT_TRUE(cp);
    EXPECT_EQ(*cp, from_utf8("Привет", "CP1251"));
    EXPECT_EQ(encode_text("x\xc3\xa9", "UTF-8"), "x\xc3\xa9");
    EXPECT_FALSE(encode_text("日本", "ISO-8859-1"));
}

TEST(HeaderSourceCounterpart, SwitchesBetweenHeaderAndSource) {
    std::set<std::string> files = {"/s/a.cpp"};
    auto exists = [&](const std::string& p) { return files.count(p) > 0; };
    EXPECT_EQ(header_source_counterpart("/s/a.cpp", exists), "/s/a.h");
    EXPECT_EQ(header_source_counterpart("/s/b.c", exists), "/s/b.h");
    EXPECT_EQ(header_source_counterpart("/s/a.h", exists), "/s/a.cpp");
    EXPECT_EQ(header_source_counterpart("/s/z.h", exists), "/s/z.c");
    EXPECT_FALSE(header_source_counterpart("/s/a.txt", exists));
}
