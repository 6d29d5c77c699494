// Shell command lines: quoting, building, running and recording.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <glib.h>

#include "shell/commands.h"
#include "shell/lines.h"
#include "support/temp_home.h"

namespace {

TEST(ShellQuote, WrapsInSingleQuotesAndEscapesQuotes) {
    EXPECT_EQ(shell_quote("plain"), "'plain'");
    EXPECT_EQ(shell_quote(""), "''");
    EXPECT_EQ(shell_quote("a b;rm -x"), "'a b;rm -x'");
    EXPECT_EQ(shell_quote("it's"), "'it'\\''s'");
    EXPECT_EQ(shell_quote("''"), "''\\'''\\'''");
}

TEST(ShellCommand, QuotesEveryArgument) {
    EXPECT_EQ(shell_command("chmod u+x", {"/tmp/new file.sh"}), "chmod u+x '/tmp/new file.sh'");
    EXPECT_EQ(shell_command("mkdir -p", {"/a", "b'c"}), "mkdir -p '/a' 'b'\\''c'");
    EXPECT_EQ(shell_command("make", {}), "make");
}

TEST(ShellFillTemplate, InsertsTheArgumentAsOneWord) {
    EXPECT_EQ(shell_fill_template("kwrite %s &", "/tmp/a b.txt"), "kwrite '/tmp/a b.txt' &");
    EXPECT_EQ(shell_fill_template("opera -remote 'openURL(%s,new-window)' || opera %s&", "u"),
              "opera -remote 'openURL(u,new-window)' || opera u&");
    // Inside the template's own quotes the quote is closed around the argument.
    EXPECT_EQ(shell_fill_template("opera -remote 'openURL(%s,new-window)' || opera %s&",
                                  "x;echo INJECTED;#.html"),
              "opera -remote 'openURL(''x;echo INJECTED;#.html'',new-window)' || "
              "opera 'x;echo INJECTED;#.html'&");
    EXPECT_EQ(shell_fill_template("display&", "x"), "display&");
}

// Each word goes through the real /bin/sh and comes back unchanged as one argument.
TEST(ShellQuote, ShellSeesOneUnchangedWord) {
    TempHome home;
    const std::string out = home.file("out file");
    const std::vector<std::string> words = {
        "a b;rm -x",   "it's",      "$HOME",      "`id`", "$(id)", "back\\slash", "*",
        "semi;colon&", "new\nline", "\"double\"", "",     "-n",    "tab\there",   "été"};
    for (const auto& word : words) {
        SCOPED_TRACE(word);
        EXPECT_EQ(run_shell_sync("printf %s " + shell_quote(word) + " > " + shell_quote(out)), 0);
        EXPECT_EQ(read_file(out), word);
        EXPECT_EQ(run_shell_sync("printf %s " + shell_word(word) + " > " + shell_quote(out)), 0);
        EXPECT_EQ(read_file(out), word);
    }
    // Plain words stay bare so that typed commands read as a user writes them.
    EXPECT_EQ(shell_word("src/a-b_c.d,e:f@g%h+i=j"), "src/a-b_c.d,e:f@g%h+i=j");
    EXPECT_EQ(shell_word("été.txt"), "été.txt");
    EXPECT_EQ(shell_word("a b"), "'a b'");
    // Quoted arguments count as separate words: printf sees two arguments here.
    EXPECT_EQ(
        run_shell_sync(shell_command("printf '[%s]'", {"a b", "c"}) + " > " + shell_quote(out)), 0);
    EXPECT_EQ(read_file(out), "[a b][c]");
}

TEST(RunShell, SyncReturnsTheExitStatus) {
    EXPECT_EQ(run_shell_sync("true"), 0);
    EXPECT_EQ(run_shell_sync("exit 3"), 3);
}

TEST(RunShell, AsyncStartsWithoutWaiting) {
    TempHome home;
    const std::string out = home.file("async");
    ASSERT_TRUE(run_shell_async("printf done > " + shell_quote(out)));
    for (int i = 0; i < 100 && read_file(out) != "done"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(read_file(out), "done");
}

TEST(CommandRecorder, TakesCommandsInsteadOfRunningThem) {
    TempHome home;
    const std::string out = home.file("never");
    std::vector<std::pair<std::string, bool>> seen;
    set_command_recorder([&](const std::string& command, bool sync) {
        seen.emplace_back(command, sync);
        return 7;
    });
    EXPECT_EQ(run_shell_sync("touch " + shell_quote(out)), 7);
    EXPECT_FALSE(run_shell_async("touch " + shell_quote(out)));
    set_command_recorder([&](const std::string&, bool) { return 0; });
    EXPECT_TRUE(run_shell_async("touch " + shell_quote(out)));
    set_command_recorder(nullptr);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], std::make_pair("touch " + shell_quote(out), true));
    EXPECT_EQ(seen[1].second, false);
    EXPECT_FALSE(g_file_test(out.c_str(), G_FILE_TEST_EXISTS));
}

} // namespace
