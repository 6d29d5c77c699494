// Highlight modes from file names and script lines, the language each selects,
// and the theme table.
#include <gtest/gtest.h>

#include <string>

#include "documents/highlight_modes.h"
#include "shell/lines.h"
#include "support/temp_home.h"

namespace {

TEST(ModeForFileName, EndingsInOrderWithoutCase) {
    const std::pair<const char*, const char*> cases[] = {
        {"/srv/INDEX.HTM", "HTML"},
        {"a.html", "HTML"},
        {"a.xml", "XML"},
        {"a.js", "JAVASCRIPT"},
        {"a.c", "C"},
        {"a.h", "C"},
        {"a.cpp.c", "C"},
        {"A.Java", "JAVA"},
        {"a.jar", "JAVA"},
        {"a.jav", "JAVA"},
        {"a.class", "JAVA"},
        {"a.py", "Python"},
        {"a.rb", "Ruby"},
        {"a.php", "PHP"},
        {"a.cpp", "C++"},
        {"a.css", "CSS"},
        {"a.pl", "PERL"},
        {"a.sh", "BASH Script"},
        {"a.po", "gettext PO file"},
        {"a.pot", "gettext PO file"},
    };
    for (const auto& [path, mode] : cases) {
        auto got = mode_for_file_name(path);
        ASSERT_TRUE(got) << path;
        EXPECT_EQ(*got, mode) << path;
    }
    EXPECT_FALSE(mode_for_file_name("x.json"));
    EXPECT_FALSE(mode_for_file_name("script"));
    EXPECT_FALSE(mode_for_file_name("noname_3"));
}

TEST(ModeForContent, InterpreterLinesAnywhere) {
    EXPECT_EQ(mode_for_content("#!/bin/sh\necho"), "BASH Script");
    EXPECT_EQ(mode_for_content("x\n#!/bin/bash\n"), "BASH Script");
    EXPECT_EQ(mode_for_content("#!/usr/bin/perl -w\n"), "PERL");
    EXPECT_EQ(mode_for_content("#!/bin/perl\n"), "PERL");
    // Shell wins over Perl when both are there.
    EXPECT_EQ(mode_for_content("#!/usr/bin/perl\n#!/bin/sh\n"), "BASH Script");
    EXPECT_FALSE(mode_for_content("#!/usr/bin/python\n"));
}

TEST(ModeForFile, ContentOnlyWhenAskedAndReadable) {
    TempHome home;
    const std::string script = home.path() + "/script";
    ASSERT_TRUE(string_to_file(script, "#!/bin/sh\necho hi\n"));
    EXPECT_EQ(highlight_mode_for_file(script, true), "BASH Script");
    EXPECT_EQ(highlight_mode_for_file(script, false), "none");
    EXPECT_EQ(highlight_mode_for_file(home.path() + "/missing", true), "none");
    EXPECT_EQ(highlight_mode_for_file(home.path(), true), "none");
    // The name decides before the content.
    const std::string named = home.path() + "/x.py";
    ASSERT_TRUE(string_to_file(named, "#!/bin/sh\n"));
    EXPECT_EQ(highlight_mode_for_file(named, true), "Python");
}

TEST(LanguageForMode, EveryMenuModeAndTheOthers) {
    const auto& names = highlight_mode_names();
    ASSERT_EQ(names.size(), 14u);
    EXPECT_EQ(names.front(), "none");
    EXPECT_EQ(names.back(), "JAVA");
    for (const auto& name : names)
        EXPECT_NE(language_for_mode(name).kind, LanguageChoice::keep) << name;
    EXPECT_EQ(language_for_mode("none").kind, LanguageChoice::clear);
    EXPECT_EQ(language_for_mode("C++").id, "cpp");
    EXPECT_EQ(language_for_mode("BASH Script").id, "sh");
    EXPECT_EQ(language_for_mode("gettext PO file").id, "perl");
    EXPECT_EQ(language_for_mode("JAVASCRIPT").id, "js");
    EXPECT_EQ(language_for_mode("Fortran").kind, LanguageChoice::keep);
    EXPECT_EQ(language_for_mode("html").kind, LanguageChoice::keep);
}

TEST(Themes, FiveSchemesAndTheirFileText) {
    const auto& themes = theme_entries();
    ASSERT_EQ(themes.size(), 5u);
    EXPECT_STREQ(themes[0].scheme, "classic");
    EXPECT_STREQ(themes[4].label, "Theme Tango");
    EXPECT_EQ(theme_file_text("cobalt"), "cobalt\n");
    EXPECT_TRUE(theme_applies_to_panels("kate"));
    EXPECT_FALSE(theme_applies_to_panels("tango"));
}

} // namespace
