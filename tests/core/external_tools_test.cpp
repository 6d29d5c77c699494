// Command lines for the outside programs: browsers from their templates, DevHelp
// and GIMP. Each runs through the real /bin/sh with stubs for the programs, and
// every argument must arrive whole while nothing else runs.
#include <gtest/gtest.h>

#include <glib.h>

#include "shell/commands.h"
#include "shell/settings.h"
#include "support/stub_sandbox.h"
#include "tools/external_tools.h"

namespace {

const std::vector<std::string> kHostile = {"plain",
                                           "a b",
                                           "x;echo INJECTED;#",
                                           "x;touch PWNED",
                                           "$(touch PWNED)",
                                           "`touch PWNED`",
                                           "it's",
                                           "a\"b",
                                           "back\\slash",
                                           "-n",
                                           "new\nline",
                                           "été",
                                           "%s",
                                           "a'\"'b",
                                           "$HOME"};

// Runs a command whose output goes to the log too, and waits for what it
// started in the background; `shell` reads it (/bin/sh when empty).
int run_logged(const StubSandbox& box, const std::string& command, const std::string& shell = "") {
    box.clear_log();
    const std::string script = command + "\nwait";
    return box.run("exec >> log 2>&1\n" +
                   (shell.empty() ? script : "exec " + shell + " -c " + shell_quote(script)));
}

TEST(TemplateFill, ArgumentArrivesWholeWhereverTheTemplatePutsIt) {
    StubSandbox box;
    box.program("show");
    write_file(box.bin() + "/id1", "#!/bin/sh\nprintf '%s' \"$1\"\n");
    g_chmod((box.bin() + "/id1").c_str(), 0700);

    using Args = std::vector<std::string>;
    const struct {
        std::string templ;
        std::function<Args(const std::string&)> expected;
    } cases[] = {
        {"show %s", [](auto& a) { return Args{a}; }},
        {"show '%s'", [](auto& a) { return Args{a}; }},
        {"show 'pre %s post'", [](auto& a) { return Args{"pre " + a + " post"}; }},
        {"show \"%s\"", [](auto& a) { return Args{a}; }},
        {"show \"x \\%s\"", [](auto& a) { return Args{"x \\" + a}; }},
        {"show a%s'b'", [](auto& a) { return Args{"a" + a + "b"}; }},
        {"show \\%s", [](auto& a) { return Args{a}; }},
        {"show $%s", [](auto& a) { return Args{"$" + a}; }},
        {"show \"$(id1 %s)\" \"$(id1 '%s')\"",
         [](auto& a) {
             return Args{a, a};
         }},
        {"show \"`id1 %s`\" \"`id1 \\\"%s\\\"`\"",
         [](auto& a) {
             return Args{a, a};
         }},
        {"show x # %s", [](auto&) { return Args{"x"}; }},
        {"show %s %s",
         [](auto& a) {
             return Args{a, a};
         }},
        {"show \"${X:-%s}\" ${X:-%s} ${X:-'%s'} \"${X:-a\"%s\"}\"",
         [](auto& a) {
             return Args{a, a, a, "a" + a};
         }},
    };
    // Where the shells disagree (single quotes inside "${…}") or nothing holds
    // (an arithmetic expression), nothing but the program may run.
    const std::string unsafe[] = {"show \"${X:-'%s'}\"", "show $((1 + %s))",
                                  "show \"$(( (%s) ))\" \"$(show $((%s)))\""};
    const auto before = box.listing();
    for (const std::string shell : {"", "bash"}) {
        for (const auto& arg : kHostile) {
            // All cases in one script, one line each.
            std::string script, expected;
            for (const auto& c : cases) {
                script += shell_fill_command(c.templ, arg) + "\n";
                expected += "show:" + box.dir();
                for (const auto& a : c.expected(arg))
                    expected += "<" + a + ">";
                expected += "\n";
            }
            SCOPED_TRACE(shell + " with " + arg + ":\n" + script);
            EXPECT_EQ(run_logged(box, script, shell), 0);
            EXPECT_EQ(box.log(), expected);
            EXPECT_EQ(box.listing(), before);

            // Each in a subshell of its own: an arithmetic error ends only that one.
            script.clear();
            for (const auto& templ : unsafe)
                script += "(" + shell_fill_command(templ, arg) + ")\n";
            SCOPED_TRACE(script);
            run_logged(box, script, shell);
            EXPECT_EQ(("\n" + box.log()).find("\nINJECTED\n"), std::string::npos) << box.log();
            EXPECT_EQ(box.listing(), before);
        }
    }
}

TEST(Browsers, DefaultTemplatesOpenTheFileAsOneArgument) {
    StubSandbox box;
    const Settings s = settings_from_table(std::nullopt, box.dir());
    // The remote forms fail, so the browser starts anew (the shell's ||).
    for (const char* name : {"opera", "mozilla"})
        box.program(name, 1);
    for (const char* name : {"firefox", "konqueror", "galeon", "dillo", "epiphany", "konsole"})
        box.program(name);

    const std::string at = ":" + box.dir();
    using Expect = std::function<std::string(const std::string&)>;
    const std::vector<std::pair<std::string, Expect>> browsers = {
        {"Opera",
         [&](auto& f) {
             return "opera" + at + "<-remote><openURL(" + f + ",new-window)>\nopera" + at + "<" +
                    f + ">\n";
         }},
        {"Mozilla",
         [&](auto& f) {
             return "mozilla" + at + "<-remote><openURL(" + f + ", new-window)>\nmozilla" + at +
                    "<" + f + ">\n";
         }},
        {"Firefox", [&](auto& f) { return "firefox" + at + "<" + f + ">\n"; }},
        {"Konqueror", [&](auto& f) { return "konqueror" + at + "<" + f + ">\n"; }},
        {"Galeon", [&](auto& f) { return "galeon" + at + "<-x><" + f + ">\n"; }},
        {"Dillo", [&](auto& f) { return "dillo" + at + "<" + f + ">\n"; }},
        {"Epiphany", [&](auto& f) { return "epiphany" + at + "<" + f + ">\n"; }},
        {"Links", [&](auto& f) { return "konsole" + at + "<-e><links><" + f + ">\n"; }},
        {"Elinks", [&](auto& f) { return "konsole" + at + "<-e><elinks><" + f + ">\n"; }},
        {"Lynx", [&](auto& f) { return "konsole" + at + "<-e><lynx><" + f + ">\n"; }},
    };
    const auto before = box.listing();
    for (const auto& [item, expected] : browsers) {
        auto templ = browser_template(s, item);
        ASSERT_TRUE(templ) << item;
        EXPECT_TRUE(command_program(*templ)) << item;
        std::string script, log;
        for (const auto& name : kHostile) {
            const std::string file = box.path(name + ".html");
            script += browser_command(*templ, file) + "\nwait\n";
            log += expected(file);
        }
        SCOPED_TRACE(item + ":\n" + script);
        EXPECT_EQ(run_logged(box, script), 0);
        EXPECT_EQ(box.log(), log);
    }
    EXPECT_EQ(box.listing(), before);

    // Plain names read as the written command lines.
    EXPECT_EQ(browser_command(s.firefox, "/tmp/a.html"), "firefox /tmp/a.html&");
    EXPECT_EQ(browser_command(s.opera, "/tmp/a.html"),
              "opera -remote 'openURL(/tmp/a.html,new-window)' || opera /tmp/a.html&");
    EXPECT_EQ(browser_command("firefox http://localhost/&", "/tmp/a.html"),
              "firefox http://localhost/&");
}

TEST(Browsers, EntryNamesAndTheirPrograms) {
    TempHome home;
    Settings s = settings_from_table(std::nullopt, home.path());
    EXPECT_EQ(browser_template(s, "FIREFOX"), s.firefox);
    EXPECT_EQ(browser_template(s, "other BROWSER"), s.other_browser);
    EXPECT_EQ(browser_template(s, "Chrome"), std::nullopt);
    EXPECT_EQ(browser_template(s, "fire"), std::nullopt);
    EXPECT_EQ(browser_template(s, "firefox "), std::nullopt);

    const std::vector<std::pair<std::string, std::optional<std::string>>> programs = {
        {s.opera, "opera"},
        {s.links, "konsole"},
        {s.other_browser, std::nullopt},
        {"  MOZ_X=1 A_B=2 /opt/ff/firefox %s", "/opt/ff/firefox"},
        {"'my browser' %s", std::nullopt},
        {"$BROWSER %s", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& [command, program] : programs)
        EXPECT_EQ(command_program(command), program) << command;

    StubSandbox box;
    box.program("fakebrowser");
    write_file(box.path("plain"), "");
    const std::string saved = g_getenv("PATH") ? g_getenv("PATH") : "";
    g_setenv("PATH", box.bin().c_str(), TRUE);
    EXPECT_TRUE(program_on_path("fakebrowser"));
    EXPECT_FALSE(program_on_path("firefox-that-is-not-there"));
    EXPECT_FALSE(program_on_path(""));
    g_setenv("PATH", saved.c_str(), TRUE);
    EXPECT_TRUE(program_on_path(box.bin() + "/fakebrowser"));
    EXPECT_FALSE(program_on_path(box.path("plain")));
    EXPECT_FALSE(program_on_path(box.bin()));
}

TEST(DevhelpAndGimp, TextAndAddressArriveWhole) {
    StubSandbox box;
    box.program("devhelp");
    box.program("gimp");
    EXPECT_EQ(devhelp_command("g_strdup"), "devhelp -s g_strdup &");
    EXPECT_EQ(gimp_command("file:///tmp/a.png"), "gimp file:///tmp/a.png &");
    EXPECT_EQ(gimp_command("--batch-interpreter=x"), std::nullopt);

    const auto before = box.listing();
    std::vector<std::string> texts = kHostile;
    texts.push_back("");
    texts.push_back(std::string(5000, 'w') + " long");
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        run_logged(box, devhelp_command(text));
        EXPECT_EQ(box.log(), "devhelp:" + box.dir() + "<-s><" + text + ">\n");
        const std::string address = "file://" + box.path(text + ".png");
        run_logged(box, *gimp_command(address));
        EXPECT_EQ(box.log(), "gimp:" + box.dir() + "<" + address + ">\n");
    }
    EXPECT_EQ(box.listing(), before);
}

} // namespace
