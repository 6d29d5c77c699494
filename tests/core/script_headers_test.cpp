// Headers of new files: which one a name gets, and the pieces each is made of.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>

#include "snippets/script_headers.h"
#include "tools/html_template.h"

namespace {

// Runs a test body in UTC so that times are fixed whatever the machine's zone.
class InUtc : public ::testing::Test {
protected:
    void SetUp() override {
        if (const char* tz = std::getenv("TZ")) saved_ = tz;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (saved_)
            setenv("TZ", saved_->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    static std::time_t utc(int year, int month, int day, int h, int m, int s) {
        std::tm t{};
        t.tm_year = year - 1900;
        t.tm_mon = month - 1;
        t.tm_mday = day;
        t.tm_hour = h;
        t.tm_min = m;
        t.tm_sec = s;
        return timegm(&t);
    }
    std::optional<std::string> saved_;
};

TEST_F(InUtc, CtimeLinePadsAOneDigitDayWithABlank) {
    EXPECT_EQ(ctime_line(utc(2026, 12, 7, 12, 38, 45)), "Mon Dec  7 12:38:45 2026\n");
    EXPECT_EQ(ctime_line(utc(2024, 2, 29, 9, 5, 7)), "Thu Feb 29 09:05:07 2024\n");
    EXPECT_EQ(ctime_line(utc(2000, 1, 1, 0, 0, 0)), "Sat Jan  1 00:00:00 2000\n");
}

TEST_F(InUtc, CtimeLineMatchesTheCLibrary) {
    for (std::time_t t : {std::time_t{0}, std::time_t{1234567890}, utc(2031, 7, 4, 23, 59, 59)}) {
        char buf[64];
        ASSERT_NE(ctime_r(&t, buf), nullptr);
        EXPECT_EQ(ctime_line(t), buf);
    }
}

TEST_F(InUtc, CtimeLineStaysEnglishUnderAnotherLocale) {
    // The program runs under the user's locale; the header date keeps ctime's layout.
    const char* old = std::setlocale(LC_TIME, nullptr);
    const std::string saved = old ? old : "C";
    bool found = false;
    for (const char* name : {"fr_FR.UTF-8", "fr_FR.utf8", "de_DE.UTF-8", "de_DE.utf8"})
        if (std::setlocale(LC_TIME, name)) {
            found = true;
            break;
        }
    if (!found)
        GTEST_SKIP() << "no French or German locale; one made with localedef can be "
                        "offered through LOCPATH";
    const std::string line = ctime_line(utc(2026, 12, 7, 12, 38, 45));
    std::setlocale(LC_TIME, saved.c_str());
    EXPECT_EQ(line, "Mon Dec  7 12:38:45 2026\n");
}

TEST_F(InUtc, HeaderPiecesAreFixedTextDateAndEnding) {
    const std::time_t when = utc(2026, 12, 7, 12, 38, 45);
    const std::string date = "Mon Dec  7 12:38:45 2026\n";
    const std::string address = kProductAddress;
    ASSERT_FALSE(address.empty());

    EXPECT_EQ(script_header_pieces(ScriptKind::bash, when),
              (std::vector<std::string>{"#!/bin/bash\n\n# Script BASH edite avec Orvane: " +
                                            address + "\n# Date de creation du script : ",
                                        date}));
    EXPECT_EQ(script_header_pieces(ScriptKind::perl, when),
              (std::vector<std::string>{"#!/usr/bin/perl\n\n# Script perl Orvane: " + address +
                                            "\n# Date start script : ",
                                        date, "\n\n"}));
    EXPECT_EQ(script_header_pieces(ScriptKind::php, when),
              (std::vector<std::string>{"<?php\n\n/* \n * Script PHP Orvane: " + address +
                                            "\n * Date start script : ",
                                        date, " *\n */\n\n?>"}));
}

TEST(NewFileHeader, ChosenByTheExactTextAfterTheLastDot) {
    EXPECT_EQ(new_file_header_for("new.sh"), NewFileHeader::bash);
    EXPECT_EQ(new_file_header_for("tool.pl"), NewFileHeader::perl);
    EXPECT_EQ(new_file_header_for("index.php"), NewFileHeader::php);
    EXPECT_EQ(new_file_header_for("page.html"), NewFileHeader::html);
    EXPECT_EQ(new_file_header_for("a.tar.htm"), NewFileHeader::html);
    EXPECT_EQ(new_file_header_for("page.HTML"), NewFileHeader::none);
    EXPECT_EQ(new_file_header_for("run.SH"), NewFileHeader::none);
    EXPECT_EQ(new_file_header_for("noext"), NewFileHeader::none);
    EXPECT_EQ(new_file_header_for("script.sh.bak"), NewFileHeader::none);
    EXPECT_EQ(new_file_header_for("page.html5"), NewFileHeader::none);
    EXPECT_EQ(new_file_header_for("dot."), NewFileHeader::none);
    EXPECT_EQ(new_file_header_for(".pl"), NewFileHeader::perl);
    EXPECT_EQ(new_file_header_for(""), NewFileHeader::none);
}

TEST(HtmlSkeleton, NineLinesWithoutFinalLineFeed) {
    EXPECT_EQ(html_page_skeleton(),
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\" "
              "\"http://www.w3.org/TR/1999/REC-html401-19991224/loose.dtd\">\n"
              "<html>\n<head>\n"
              "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\">\n"
              "<title></title>\n</head>\n<body>\n</body>\n</html>");
}

} // namespace
