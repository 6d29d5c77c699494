// The grep, awk, sed, scp and case helpers: the text each writes, and that the
// shell reads every field as one whole word and runs nothing else.
#include <gtest/gtest.h>

#include <glib.h>
#include <glib/gstdio.h>

#include "shell/commands.h"
#include "snippets/command_builders.h"
#include "support/temp_home.h"

namespace {

TEST(CommandBuilders, WriteTheCommentLineThenTheCommand) {
    GrepFields grep;
    grep.word = "foo";
    grep.file = "a.txt";
    grep.whole_word = grep.redirect = true;
    grep.redirection_file = "out.txt";
    EXPECT_EQ(build_grep(grep).text,
              "# Commande Grep (Find dans un fichier)\ngrep -w foo a.txt > out.txt");
    grep = {};
    grep.ignore_case = grep.whole_word = grep.invert = true;
    grep.file = "a.txt";
    EXPECT_EQ(build_grep(grep).command, "grep -i -w -v  a.txt"); // an empty word stays empty

    AwkFields awk{";", "2", "data.csv", true, "out.txt"};
    EXPECT_EQ(build_awk(awk).text, "# Commande Awk (decoupage de fichier par colonne)\n"
                                   "awk -F \";\" '{print $2}' data.csv > out.txt");
    awk = {"\\t", "NF", "d", false, ""};
    EXPECT_EQ(build_awk(awk).command, "awk -F '\\t' '{print $NF}' d");

    SedFields sed;
    sed.substitute = true;
    sed.word = "a";
    sed.replacement = "b";
    sed.occurrence = "g";
    sed.file = "f.txt";
    EXPECT_EQ(build_sed(sed).text, "# Commande Sed (decoupage de fichier)\nsed \"s/a/b/g\" f.txt");
    sed.delete_lines = true;
    sed.first_line = "1";
    sed.last_line = "5";
    EXPECT_EQ(build_sed(sed).command, "sed \"s/a/b/g;1,5d\" f.txt");
    sed.substitute = false;
    sed.invert_deletion = true; // only the word deletion can be inverted
    EXPECT_EQ(build_sed(sed).command, "sed \"1,5d\" f.txt");
    sed.first_line = "2";
    sed.last_line = "$";
    EXPECT_EQ(build_sed(sed).command, "sed '2,$d' f.txt");
    sed = {};
    sed.delete_word_lines = sed.print = sed.line_numbers = true;
    sed.file = "f.txt";
    EXPECT_EQ(build_sed(sed).command, "sed \"/ tampon_mot/d;p;=\" f.txt");

    EXPECT_EQ(build_scp({"u", "h", "/a", "/b"}).text,
              "\n# Copie de fichier avec SCP\nscp u@h:/a /b");
    EXPECT_EQ(build_scp({"", "fe80::1", "/a", "b"}).command, "scp '[fe80::1]:/a' b");

    EXPECT_EQ(build_case(2).text, "case \"$1\" in\n"
                                  "\noption)\n#inserer ici le script pour cette option\n\n;;"
                                  "\noption)\n#inserer ici le script pour cette option\n\n;;"
                                  "\nesac\n");
    EXPECT_EQ(build_case(0).text, "case \"$1\" in\n\nesac\n");

    EXPECT_EQ(command_insertion("# c\ngrep", false), "\n# c\ngrep");
    EXPECT_EQ(command_insertion("# c\ngrep", true), "# c\ngrep");
    EXPECT_EQ(command_insertion("\n# scp", false), "\n# scp");
}

TEST(CommandBuilders, RefuseWhatWouldBreakTheCommand) {
    GrepFields grep;
    grep.file = "./data/a.txt";
    grep.redirect = true;
    grep.redirection_file = "data//a.txt";
    EXPECT_FALSE(build_grep(grep).ok());
    grep.redirect = false;
    EXPECT_TRUE(build_grep(grep).ok());

    for (const char* column : {"", "2;system(\"touch PWNED\")", "$2", "nf"})
        EXPECT_FALSE(build_awk({",", column, "f", false, ""}).ok()) << column;
    EXPECT_FALSE(build_awk({",", "1", "f", true, "f"}).ok());

    SedFields sed;
    sed.substitute = true;
    sed.occurrence = "g;e touch PWNED";
    EXPECT_FALSE(build_sed(sed).ok());
    sed.occurrence = "2g";
    EXPECT_TRUE(build_sed(sed).ok());
    sed.delete_lines = true;
    sed.first_line = "1;e touch PWNED";
    sed.last_line = "2";
    EXPECT_FALSE(build_sed(sed).ok());

    // ssh would read these as options.
    EXPECT_FALSE(build_scp({"", "-oProxyCommand=touch PWNED", "/a", "b"}).ok());
    EXPECT_FALSE(build_scp({"-F/tmp/x", "h", "/a", "b"}).ok());
}

const char* const kHostile = "x;touch PWNED";

// A work folder where grep, sed, awk and scp are a stub that records its
// arguments, one record per run, in front of the real PATH (so that an injected
// `touch` would really run).
class StubTools : public ::testing::Test {
  protected:
    void SetUp() override {
        stubs_ = home_.file("stubs");
        work_ = home_.file("work");
        g_mkdir(stubs_.c_str(), 0700);
        g_mkdir(work_.c_str(), 0700);
        for (const char* tool : {"grep", "sed", "awk", "scp"}) {
            const std::string stub = stubs_ + "/" + tool;
            write_file(stub, "#!/bin/sh\nfor a; do printf '%s\\036' \"$a\"; done >> \"$ARGS\"\n"
                             "printf '\\035' >> \"$ARGS\"\n");
            g_chmod(stub.c_str(), 0755);
        }
    }

    // The arguments of each run of a tool by `command`.
    std::vector<std::vector<std::string>> run(const std::string& command) {
        const std::string args = home_.file("args");
        g_remove(args.c_str());
        const int status = run_shell_sync(
            "cd " + shell_quote(work_) + " && ARGS=" + shell_quote(args) +
            " && export ARGS && PATH=" + shell_quote(stubs_) + ":\"$PATH\" && " + command);
        EXPECT_EQ(status, 0) << command;
        EXPECT_FALSE(g_file_test((work_ + "/PWNED").c_str(), G_FILE_TEST_EXISTS)) << command;
        std::vector<std::vector<std::string>> runs;
        for (const std::string& record : split(read_file(args), '\035'))
            runs.push_back(split(record, '\036'));
        return runs;
    }

    static std::vector<std::string> split(const std::string& text, char end) {
        std::vector<std::string> out;
        std::size_t start = 0;
        for (std::size_t at; (at = text.find(end, start)) != std::string::npos; start = at + 1)
            out.push_back(text.substr(start, at - start));
        return out;
    }

    bool in_work(const std::string& name) const {
        return g_file_test((work_ + "/" + name).c_str(), G_FILE_TEST_IS_REGULAR);
    }

    TempHome home_;
    std::string stubs_, work_;
};

using Runs = std::vector<std::vector<std::string>>;

TEST_F(StubTools, EveryFieldArrivesWholeAndNothingElseRuns) {
    GrepFields grep;
    grep.word = "-x;touch PWNED";
    grep.file = "a b's $HOME \"q\".txt";
    grep.ignore_case = grep.redirect = true;
    grep.redirection_file = kHostile;
    BuiltCommand built = build_grep(grep);
    ASSERT_TRUE(built.ok());
    EXPECT_EQ(run(built.command), (Runs{{"-i", "-e", "-x;touch PWNED", grep.file}}));
    EXPECT_TRUE(in_work(kHostile));

    grep = {};
    grep.word = "$(touch PWNED)";
    grep.file = "-rf";
    EXPECT_EQ(run(build_grep(grep).command), (Runs{{"$(touch PWNED)", "./-rf"}}));

    for (const char* separator :
         {"\"", "$(touch PWNED)", "`touch PWNED`", "\\", "'", kHostile, "a b", "-", "!"}) {
        const BuiltCommand awk = build_awk({separator, "3", "-in'put;x", true, "$out put"});
        ASSERT_TRUE(awk.ok());
        EXPECT_EQ(run(awk.command), (Runs{{"-F", separator, "{print $3}", "./-in'put;x"}}))
            << awk.command;
        EXPECT_TRUE(in_work("$out put"));
    }

    SedFields sed;
    sed.substitute = sed.delete_word_lines = sed.invert_deletion = sed.redirect = true;
    sed.word = "it's/$x\"";
    sed.replacement = "a&b\\c/`touch PWNED`";
    sed.occurrence = "g";
    sed.file = kHostile;
    sed.redirection_file = "o;ut";
    EXPECT_EQ(run(build_sed(sed).command),
              (Runs{{"s/it's\\/$x\"/a\\&b\\\\c\\/`touch PWNED`/g;/it's\\/$x\"/!d", kHostile}}));
    EXPECT_TRUE(in_work("o;ut"));

    EXPECT_EQ(run(build_scp({"u s", "::1", "/a b;touch PWNED $(id)", "-dest'x"}).command),
              (Runs{{"u s@[::1]:/a b;touch PWNED $(id)", "./-dest'x"}}));
    EXPECT_EQ(run(build_scp({"", "h", "", ""}).command), (Runs{{"h:"}}));
}

// The scripts run through the real sed and awk give what the boxes promise.
TEST_F(StubTools, RealSedAndAwkDoWhatTheBoxesSay) {
    write_file(work_ + "/in file.txt", "a1 x/y\nb2\na3 &\nc4\na5\n");
    struct Case {
        const char* what;
        SedFields fields;
        const char* expected;
    };
    auto fields = [](auto set) {
        SedFields f;
        f.file = "in file.txt";
        f.redirect = true;
        f.redirection_file = "out put.txt";
        set(f);
        return f;
    };
    const Case cases[] = {
        {"substitution", fields([](SedFields& f) {
             f.substitute = true;
             f.word = "a";
             f.replacement = "b";
             f.occurrence = "g";
         }),
         "b1 x/y\nb2\nb3 &\nc4\nb5\n"},
        {"slash in the word, & and \\ in the replacement", fields([](SedFields& f) {
             f.substitute = true;
             f.word = "x/y";
             f.replacement = "&\\/";
             f.occurrence = "1";
         }),
         "a1 &\\/\nb2\na3 &\nc4\na5\n"},
        {"substitution then deletion", fields([](SedFields& f) {
             f.substitute = true;
             f.word = "[0-9]";
             f.replacement = "#";
             f.delete_lines = true;
             f.first_line = "2";
             f.last_line = "$";
         }),
         "a# x/y\n"},
        {"word deletion inverted, numbered", fields([](SedFields& f) {
             f.delete_word_lines = f.invert_deletion = f.line_numbers = true;
             f.word = "a";
         }),
         "1\na1 x/y\n3\na3 &\n5\na5\n"},
        {"deletion, printed", fields([](SedFields& f) {
             f.delete_lines = f.print = true;
             f.first_line = "1";
             f.last_line = "4";
         }),
         "a5\na5\n"},
        {"a trailing backslash stays inside the pattern", fields([](SedFields& f) {
             f.delete_word_lines = true;
             f.word = "3 &\\";
         }),
         "a1 x/y\nb2\na3 &\nc4\na5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const BuiltCommand built = build_sed(c.fields);
        ASSERT_TRUE(built.ok());
        g_remove((work_ + "/out put.txt").c_str());
        EXPECT_EQ(run_shell_sync("cd " + shell_quote(work_) + " && " + built.command), 0)
            << built.command;
        EXPECT_EQ(read_file(work_ + "/out put.txt"), c.expected) << built.command;
    }

    write_file(work_ + "/q.csv", "a\"b\"c\n1\"2\"3\n");
    const BuiltCommand awk = build_awk({"\"", "2", "q.csv", true, "col.txt"});
    ASSERT_TRUE(awk.ok());
    EXPECT_EQ(run_shell_sync("cd " + shell_quote(work_) + " && " + awk.command), 0);
    EXPECT_EQ(read_file(work_ + "/col.txt"), "b\n2\n");
}

TEST(CaseBuilder, IsValidBash) {
    TempHome home;
    for (int options : {0, 2}) {
        const std::string script = home.file("case.sh");
        write_file(script, build_case(options).text);
        EXPECT_EQ(run_shell_sync("bash -n " + shell_quote(script)), 0) << options;
    }
}

} // namespace
