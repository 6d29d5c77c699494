// Charset autodetection by marker words, and Japanese autodetection.
#include <glib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "documents/charset_detect.h"
#include "documents/file_open_rules.h"
#include "shell/gobj.h"
#include "shell/settings.h"

namespace {

std::string encode(const std::string& utf8, const char* charset) {
    gsize written = 0;
    gchar* out = g_convert(utf8.data(), static_cast<gssize>(utf8.size()), charset, "UTF-8", nullptr,
                           &written, nullptr);
    EXPECT_NE(out, nullptr) << utf8 << " in " << charset;
    if (!out) return {};
    std::string bytes(out, written);
    g_free(out);
    return bytes;
}

std::string uppercase(const std::string& utf8) {
    gchar* up = g_utf8_strup(utf8.c_str(), -1);
    std::string out(up);
    g_free(up);
    return out;
}

CharsetDetectFlags all_flags() {
    CharsetDetectFlags f;
    for (const auto& lang : charset_marker_languages())
        f.*(lang.flag) = true;
    return f;
}

CharsetDetectFlags only(bool CharsetDetectFlags::*flag) {
    CharsetDetectFlags f;
    f.*flag = true;
    return f;
}

// Both scans must agree on every input.
std::optional<std::string> detect(std::string_view bytes, const CharsetDetectFlags& flags) {
    auto fast = charset_autodetect(bytes, flags);
    EXPECT_EQ(fast, charset_autodetect_portable(bytes, flags));
    return fast;
}

// The words as a reader finds them in the language, the charset they are
// written in and the answer; a text carrying one of them must give that answer.
struct Language {
    const char* name;
    bool CharsetDetectFlags::*flag;
    const char* charset;
    const char* result;
    const char* context; // a letter of the charset outside ASCII
    std::vector<std::string> words;
};

const std::vector<std::string> russian = {"на", "не",  "без", "тут", "же",  "до", "еще",
                                          "вы", "мой", "его", "ее",  "вас", "нас"};

const std::vector<Language>& languages() {
    static const std::vector<Language> list = {
        {"koi8u",
         &CharsetDetectFlags::koi8u,
         "KOI8-U",
         "KOI8-U",
         "Ї",
         {"ви", "ще", "або", "ніж", "він", "що", "його", "із", "між", "ім'я", "під", "цю"}},
        {"koi8r", &CharsetDetectFlags::koi8r, "KOI8-R", "KOI8-R", "Ж", russian},
        {"cp1251", &CharsetDetectFlags::cp1251, "CP1251", "CP1251", "Ж", russian},
        {"cp866", &CharsetDetectFlags::cp866, "CP866", "866", "Ж", russian},
        {"finnish",
         &CharsetDetectFlags::finnish,
         "ISO-8859-15",
         "ISO-8859-15",
         "ä",
         {"eri", "sen", "ovat", "voi", "mutta", "joka", "jotta"}},
        {"portuguese",
         &CharsetDetectFlags::portuguese,
         "ISO-8859-1",
         "ISO-8859-1",
         "ã",
         {"por", "pelo", "um", "uma"}},
        {"slovak",
         &CharsetDetectFlags::slovak,
         "ISO-8859-2",
         "ISO-8859-2",
         "č",
         {"tomto", "sa", "jeho", "pre", "bolo", "ste"}},
        {"slovenian",
         &CharsetDetectFlags::slovenian,
         "ISO-8859-2",
         "ISO-8859-2",
         "ž",
         {"sta", "ki", "kot", "ter", "tudi", "vec"}},
        {"turkish",
         &CharsetDetectFlags::turkish,
         "ISO-8859-9",
         "ISO-8859-9",
         "ş",
         {"bir", "bu", "ile", "olan"}},
        {"spanish",
         &CharsetDetectFlags::spanish,
         "ISO-8859-1",
         "ISO-8859-1",
         "ñ",
         {"los", "las", "sobre", "dar", "del", "por"}},
        {"polish",
         &CharsetDetectFlags::polish,
         "ISO-8859-2",
         "ISO-8859-2",
         "ł",
         {"nie", "gdzie", "sie", "wam", "jest", "mozna", "moze"}},
        {"latvian",
         &CharsetDetectFlags::latvian,
         "ISO-8859-13",
         "ISO-8859-13",
         "ņ",
         {"lai", "visu", "visi", "arī", "ir", "vai"}},
        {"german",
         &CharsetDetectFlags::german,
         "ISO-8859-15",
         "ISO-8859-15",
         "ü",
         {"der", "das", "ich", "ist", "uns", "dem", "und", "auf"}},
        {"serbian",
         &CharsetDetectFlags::serbian,
         "ISO-8859-2",
         "ISO-8859-2",
         "đ",
         {"kako", "koji", "druge", "koja", "skup", "ako", "drugu"}},
    };
    return list;
}

TEST(CharsetAutodetect, ValidUtf8WinsWhateverTheFlags) {
    const auto all = all_flags();
    EXPECT_EQ(detect("Мы не знаем, где он", all), "UTF-8");
    EXPECT_EQ(detect("ich weiß, der Hund ist müde", all), "UTF-8");
    EXPECT_EQ(detect(" der und por ", all), "UTF-8");
    EXPECT_EQ(detect("", all), "UTF-8");
    EXPECT_EQ(detect("plain", CharsetDetectFlags{}), "UTF-8");
    // A NUL byte makes the text unusable as UTF-8 for the editor.
    EXPECT_EQ(detect(std::string("a\0b", 3), CharsetDetectFlags{}), std::nullopt);
}

TEST(CharsetAutodetect, NothingEnabledFindsNothing) {
    std::string text = encode("Der Hund und die Katze sind müde", "ISO-8859-15");
    EXPECT_EQ(detect(text, CharsetDetectFlags{}), std::nullopt);
    EXPECT_EQ(detect("\xff", all_flags()), std::nullopt);
}

TEST(CharsetAutodetect, EveryWordOfEveryLanguageIsFoundInItsCharset) {
    for (const auto& lang : languages()) {
        for (const auto& word : lang.words) {
            std::string text =
                encode(std::string(lang.context) + " " + word + " " + lang.context, lang.charset);
            EXPECT_EQ(detect(text, only(lang.flag)), lang.result) << lang.name << ": " << word;
            // Only as a word between spaces, and case sensitive.
            std::string glued = encode(std::string(lang.context) + word + " ", lang.charset);
            EXPECT_EQ(detect(glued, only(lang.flag)), std::nullopt) << lang.name << ": " << word;
            std::string at_start = encode(word + " " + lang.context, lang.charset);
            EXPECT_EQ(detect(at_start, only(lang.flag)), std::nullopt) << lang.name << ": " << word;
            std::string upper =
                encode(std::string(lang.context) + " " + uppercase(word) + " ", lang.charset);
            EXPECT_EQ(detect(upper, only(lang.flag)), std::nullopt) << lang.name << ": " << word;
            // At the very end of a longer text too.
            std::string tail =
                encode(std::string(40, 'x') + lang.context + " " + word + " ", lang.charset);
            EXPECT_EQ(detect(tail, only(lang.flag)), lang.result) << lang.name << ": " << word;
        }
    }
}

TEST(CharsetAutodetect, UkrainianYakiNeedsOnlyTheLeadingSpace) {
    auto flags = only(&CharsetDetectFlags::koi8u);
    EXPECT_EQ(detect(encode("Ї якість", "KOI8-U"), flags), "KOI8-U");
    EXPECT_EQ(detect(encode("Ї які", "KOI8-U"), flags), "KOI8-U");
    EXPECT_EQ(detect(encode("Ї неякі", "KOI8-U"), flags), std::nullopt);
}

TEST(CharsetAutodetect, DisabledLanguagesAreNotReported) {
    std::string german = encode("Ich weiß, der Hund schläft auf dem Sofa.", "ISO-8859-15");
    auto flags = all_flags();
    flags.german = false;
    EXPECT_EQ(detect(german, flags), std::nullopt);
    flags.german = true;
    EXPECT_EQ(detect(german, flags), "ISO-8859-15");

    std::string russian_text = encode("Мы не знаем, где он", "CP1251");
    EXPECT_EQ(detect(russian_text, only(&CharsetDetectFlags::german)), std::nullopt);
    EXPECT_EQ(detect(russian_text, only(&CharsetDetectFlags::cp1251)), "CP1251");
}

TEST(CharsetAutodetect, EarlierTestsWinOverLaterOnes) {
    // The CP1251 bytes of " ОБ " are the KOI8-R bytes of " на ".
    std::string cp1251 = encode("мы не знаем ОБ этом", "CP1251");
    CharsetDetectFlags f;
    f.cp1251 = true;
    EXPECT_EQ(detect(cp1251, f), "CP1251");
    f.koi8r = true;
    EXPECT_EQ(detect(cp1251, f), "KOI8-R");

    std::string german = encode("Der Müller und por Leute", "ISO-8859-15");
    CharsetDetectFlags g;
    g.german = true;
    EXPECT_EQ(detect(german, g), "ISO-8859-15");
    g.portuguese = true;
    EXPECT_EQ(detect(german, g), "ISO-8859-1");
    g.portuguese = false;
    g.spanish = true;
    EXPECT_EQ(detect(german, g), "ISO-8859-1");

    std::string ukrainian = encode("Так, він не знає", "KOI8-U");
    CharsetDetectFlags u;
    u.koi8r = true;
    EXPECT_EQ(detect(ukrainian, u), "KOI8-R");
    u.koi8u = true;
    EXPECT_EQ(detect(ukrainian, u), "KOI8-U");

    // Slovak and Slovenian share one answer; Turkish comes after them.
    std::string mixed = encode("Aç bir ki sa", "ISO-8859-9");
    CharsetDetectFlags t;
    t.turkish = true;
    EXPECT_EQ(detect(mixed, t), "ISO-8859-9");
    t.slovenian = true;
    EXPECT_EQ(detect(mixed, t), "ISO-8859-2");
}

// Text written in a Windows code page holds bytes 0x80-0x9F, which the Latin
// charsets only have as control codes: the answer is the code page, the text
// reads right and goes back to the same bytes.
TEST(CharsetAutodetect, C1BytesMeanTheWindowsCodePage) {
    const std::string french = "Il a cité “Sturm und Drang” — l'entrée coûte 12 €, à la Casa "
                               "del Sol… «Œuvre»";
    const std::string french_latin = "Il a cité «Sturm und Drang» - l'entrée coûte 12 €, à la "
                                     "Casa del Sol...";
    struct Case {
        const char* text;
        const char* charset;
        bool CharsetDetectFlags::*flag;
        const char* expected;
    } cases[] = {
        {french.c_str(), "CP1252", &CharsetDetectFlags::german, "CP1252"},
        {french.c_str(), "CP1252", &CharsetDetectFlags::spanish, "CP1252"},
        {french_latin.c_str(), "ISO-8859-15", &CharsetDetectFlags::german, "ISO-8859-15"},
        {"Źródło nie jest daleko, ślimak śpi, źle mu, ząb boli. Śmiech, Ąą", "CP1250",
         &CharsetDetectFlags::polish, "CP1250"},
        {"Bu “güzel” bir gün… Şimdi ılık ve ğ ile olan – 5 €", "CP1254",
         &CharsetDetectFlags::turkish, "CP1254"},
        {"Viņš teica „labdien” – un arī tas ir viss… ģērbās šķietami", "CP1257",
         &CharsetDetectFlags::latvian, "CP1257"},
    };
    for (const auto& c : cases) {
        const std::string bytes = encode(c.text, c.charset);
        const auto flags = only(c.flag);
        EXPECT_EQ(detect(bytes, flags), c.expected) << c.text;
        auto decoded = decode_file_bytes(bytes, "autodetect", flags);
        ASSERT_TRUE(decoded) << c.text;
        EXPECT_EQ(decoded->text, c.text);
        EXPECT_EQ(encode_text(decoded->text, decoded->encoding), bytes) << c.text;
    }
    // The Polish letters the Latin charset puts elsewhere sit in 0x8C-0x9F.
    EXPECT_EQ(encode("śźŚŹ", "CP1250"), "\x9c\x9f\x8c\x8f");

    // A byte the code page leaves undefined keeps the Latin charset, which
    // reads and writes every byte as it is.
    const std::string undefined =
        encode("Casa del Sol “x” ", "CP1252") + "\x81" + encode(" ñ", "ISO-8859-1");
    const auto spanish = only(&CharsetDetectFlags::spanish);
    EXPECT_EQ(detect(undefined, spanish), "ISO-8859-1");
    auto decoded = decode_file_bytes(undefined, "autodetect", spanish);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(encode_text(decoded->text, decoded->encoding), undefined);
    // 0xA1 and 0xA5 are undefined in CP1257 only.
    EXPECT_EQ(detect(encode(" arī “ ", "CP1257") + "\xa1", only(&CharsetDetectFlags::latvian)),
              "ISO-8859-13");
}

// Wherever the one C1 byte is, before or after the marker, in the vector
// blocks or the bytes after the last one, with the scan stopping at the first
// marker, running to the end, or starting again for an earlier language found
// in the last bytes.
TEST(CharsetAutodetect, AC1ByteAnywhereIsSeen) {
    std::string body;
    while (body.size() < 5000)
        body += encode("Der Müller und der Bäcker gehen auf den Markt. ", "ISO-8859-15");
    CharsetDetectFlags restart = only(&CharsetDetectFlags::german);
    restart.spanish = restart.finnish = true;
    const struct {
        CharsetDetectFlags flags;
        const char* latin;
    } cases[] = {{only(&CharsetDetectFlags::german), "ISO-8859-15"},
                 {all_flags(), "ISO-8859-1"},
                 {restart, "ISO-8859-1"}};
    for (const auto& c : cases) {
        EXPECT_EQ(detect(body + " los ", c.flags), c.latin);
        for (std::size_t at :
             {std::size_t{0}, std::size_t{1}, std::size_t{31}, std::size_t{32}, std::size_t{37},
              std::size_t{38}, std::size_t{2500}, body.size() - 40, body.size() - 33,
              body.size() - 20, body.size() - 1, body.size()}) {
            std::string text = body;
            text.insert(at, 1, '\x84');
            text += " los "; // Spanish, where the vector blocks have ended
            EXPECT_EQ(detect(text, c.flags), "CP1252") << at;
            text.insert(at, 1, '\x8d');
            EXPECT_EQ(detect(text, c.flags), c.latin) << at;
        }
    }
}

TEST(CharsetAutodetect, TheWholeTextIsSearchedForEarlierLanguages) {
    CharsetDetectFlags f;
    f.german = true;
    f.spanish = true;
    f.finnish = true;
    std::string body;
    while (body.size() < 100000)
        body += "Der Müller und der Bäcker gehen auf den Markt. ";
    for (std::size_t pad = 0; pad < 40; ++pad) {
        std::string text = encode(body + std::string(pad, 'x') + " los", "ISO-8859-15");
        EXPECT_EQ(detect(text, f), "ISO-8859-15") << pad; // " los" lacks its closing space
        text += ' ';
        EXPECT_EQ(detect(text, f), "ISO-8859-1") << pad;
        text += encode("sen ", "ISO-8859-15"); // Finnish comes before Spanish
        EXPECT_EQ(detect(text, f), "ISO-8859-15") << pad;
    }
}

// Any mix of words and flags: the first enabled language, in the written order,
// one of whose words appears between spaces; with a byte from 0x80-0x9F, its
// Windows code page when that reads the whole text.
TEST(CharsetAutodetect, RandomTextsMatchAPlainSearch) {
    const std::map<std::string, const char*> code_page = {{"ISO-8859-1", "CP1252"},
                                                          {"ISO-8859-15", "CP1252"},
                                                          {"ISO-8859-2", "CP1250"},
                                                          {"ISO-8859-9", "CP1254"},
                                                          {"ISO-8859-13", "CP1257"}};
    std::mt19937 rng(1234);
    std::vector<std::string> pool;
    for (const auto& lang : languages())
        for (const auto& w : lang.words)
            pool.push_back(encode(w, lang.charset));
    for (const char* extra : {"xyz", "die", "de", "Der", "\xe9t\xe9", "\xc1\xc2", "ab", "kak"})
        pool.push_back(extra);
    const char* separators[] = {" ", " ", " ", "  ", ",", "\n", "\xe9", "\x93"};
    for (int round = 0; round < 400; ++round) {
        CharsetDetectFlags flags;
        for (const auto& lang : languages())
            flags.*(lang.flag) = rng() % 3 == 0;
        std::string text = "\xff";
        std::size_t words = rng() % 60;
        for (std::size_t i = 0; i < words; ++i) {
            text += separators[rng() % std::size(separators)];
            text += pool[rng() % pool.size()];
        }
        if (rng() % 4 == 0) text.insert(rng() % text.size(), 1, '\x81'); // undefined in all
        std::optional<std::string> expected;
        for (const auto& lang : languages()) {
            if (!(flags.*(lang.flag))) continue;
            for (const auto& w : lang.words)
                if (text.find(" " + encode(w, lang.charset) + " ") != std::string::npos)
                    expected = lang.result;
            if (lang.flag == &CharsetDetectFlags::koi8u &&
                text.find(encode(" які", "KOI8-U")) != std::string::npos)
                expected = lang.result;
            if (expected) break;
        }
        auto windows = expected ? code_page.find(*expected) : code_page.end();
        const bool c1 = std::any_of(text.begin(), text.end(), [](char c) {
            return static_cast<unsigned char>(c) >= 0x80 && static_cast<unsigned char>(c) <= 0x9F;
        });
        if (windows != code_page.end() && c1) {
            GCharPtr read(g_convert(text.data(), static_cast<gssize>(text.size()), "UTF-8",
                                    windows->second, nullptr, nullptr, nullptr));
            if (read) expected = windows->second;
        }
        ASSERT_EQ(detect(text, flags), expected) << round;
    }
}

TEST(CharsetAutodetect, FlagsComeFromTheEncDetSettings) {
    Settings s;
    s.enc_det_866 = 1;
    s.enc_det_german = 1;
    s.enc_det_turkish = 2;
    auto f = charset_detect_flags(s);
    EXPECT_TRUE(f.cp866);
    EXPECT_TRUE(f.german);
    EXPECT_TRUE(f.turkish);
    EXPECT_FALSE(f.cp1251 || f.koi8r || f.koi8u || f.finnish || f.serbian || f.latvian ||
                 f.polish || f.portuguese || f.slovak || f.slovenian || f.spanish);
}

TEST(JapaneseAutodetect, EscapeSequencesMeanIso2022) {
    std::string jis = encode("日本語のテキスト", "ISO-2022-JP");
    ASSERT_NE(jis.find("\x1b$B"), std::string::npos);
    EXPECT_EQ(japanese_autodetect(jis), "ISO-2022-JP-2");
    // Even when the bytes are also valid UTF-8.
    EXPECT_EQ(japanese_autodetect("abc\x1b$Bdef"), "ISO-2022-JP-2");
    EXPECT_EQ(japanese_autodetect("\x1b$@"), "ISO-2022-JP-2");
    EXPECT_EQ(japanese_autodetect("x\x1b(B"), "ISO-2022-JP-2");
    EXPECT_EQ(japanese_autodetect("\x1b(J\x82"), "ISO-2022-JP-2");
    // Incomplete or other escapes do not count.
    EXPECT_EQ(japanese_autodetect("abc\x1b$"), "UTF-8");
    EXPECT_EQ(japanese_autodetect("abc\x1b(C"), "UTF-8");
}

TEST(JapaneseAutodetect, Utf8ComesNext) {
    EXPECT_EQ(japanese_autodetect("日本語"), "UTF-8");
    EXPECT_EQ(japanese_autodetect(""), "UTF-8");
}

TEST(JapaneseAutodetect, ShiftJisAndEucJpSamples) {
    std::string sjis = encode("ひらがなとカタカナ", "SHIFT_JIS");
    ASSERT_EQ(static_cast<unsigned char>(sjis[0]), 0x82);
    EXPECT_EQ(japanese_autodetect(sjis), "Shift_JIS");
    EXPECT_EQ(japanese_autodetect(encode("abc 漢字", "SHIFT_JIS")), "Shift_JIS");

    std::string euc = encode("日本語のテキスト", "EUC-JP");
    EXPECT_EQ(japanese_autodetect(euc), "EUC-JP");
    EXPECT_EQ(japanese_autodetect(encode("ひらがな", "EUC-JP")), "EUC-JP");
}

TEST(JapaneseAutodetect, ByteRules) {
    using namespace std::string_literals;
    EXPECT_EQ(japanese_autodetect("\xff"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("\xe9\0"s), "EUC-JP"); // a NUL decides at once
    EXPECT_EQ(japanese_autodetect("\x80\xa0\x9f"s), "Shift_JIS");
    EXPECT_EQ(japanese_autodetect("\x8e\xe0"s), "Shift_JIS");
    EXPECT_EQ(japanese_autodetect("\x8e\x41"s), "Shift_JIS");
    // Undecided pairs skip their second byte: 0xA1 followed by 0x40 would be Shift_JIS.
    EXPECT_EQ(japanese_autodetect("\x8e\xa1\x40"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("\xe5\xa1\x40"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("\xb0\xa1\x40"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("\xa1\x40"s), "Shift_JIS");
    EXPECT_EQ(japanese_autodetect("\x8f\x50"s), "Shift_JIS");
    EXPECT_EQ(japanese_autodetect("\xe5\xfd"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("\xb1\x41"s), "Shift_JIS"); // half-width kana then ASCII
    EXPECT_EQ(japanese_autodetect("\xb0\xfe"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("\xf0\x82"s), "EUC-JP");
    // Pairs that decide nothing, and lead bytes cut off at the end.
    EXPECT_EQ(japanese_autodetect("\xa4\xa2\xc6\xfc"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("abc\xe0"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("abc\x8e"s), "EUC-JP");
    EXPECT_EQ(japanese_autodetect("abc\xb1"s), "Shift_JIS");
}

TEST(BytesAreUtf8, FollowsGlibOnEveryLength) {
    std::string base = "abcdefghijklmnopqrstuvwxyz0123456789";
    for (std::size_t cut = 0; cut <= base.size(); ++cut) {
        std::string s = base.substr(0, cut);
        EXPECT_TRUE(bytes_are_utf8(s));
        EXPECT_FALSE(bytes_are_utf8(s + "\xe9" + base)) << cut;
        EXPECT_FALSE(bytes_are_utf8(s + std::string(1, '\0') + base)) << cut;
        EXPECT_TRUE(bytes_are_utf8(s + "é" + base)) << cut;
        EXPECT_FALSE(bytes_are_utf8(s + "\xc3")) << cut;
    }
}

} // namespace
