// Programs run from an argument vector: environment, input, time limit, output
// capture, the main-loop form and the recorder.
#include <gtest/gtest.h>

#include <glib.h>

#include "shell/commands.h"
#include "support/temp_home.h"

namespace {

ArgvResult run_on_main_loop(const ArgvCommand& c) {
    std::optional<ArgvResult> got;
    bool returned = false;
    run_argv_async(c, [&](const ArgvResult& r) {
        // The callback never runs inside run_argv_async itself.
        EXPECT_TRUE(returned);
        got = r;
    });
    returned = true;
    while (!got)
        g_main_context_iteration(nullptr, TRUE);
    return *got;
}

TEST(RunArgv, PassesArgumentsWholeWithEnvironmentAndInput) {
    const std::vector<std::string> hostile = {"x;touch PWNED", "it's", "$(touch PWNED)", "-n",
                                              "a b",           ""};
    TempHome home;
    ArgvCommand c;
    c.argv = {"/bin/sh", "-c",
              "cd \"$1\" && shift && for a; do printf '[%s]' \"$a\"; done; printf '%s' \"$SECRET\";"
              " cat >&2",
              "sh", home.path()};
    c.argv.insert(c.argv.end(), hostile.begin(), hostile.end());
    c.env = {{"SECRET", "s;$(x)"}};
    c.input = "from stdin";
    for (bool async : {false, true}) {
        SCOPED_TRACE(async);
        ArgvResult r = async ? run_on_main_loop(c) : run_argv_sync(c);
        EXPECT_TRUE(r.ok());
        EXPECT_EQ(r.output, "[x;touch PWNED][it's][$(touch PWNED)][-n][a b][]s;$(x)");
        EXPECT_EQ(r.errors, "from stdin");
    }
    EXPECT_FALSE(g_file_test(home.file("PWNED").c_str(), G_FILE_TEST_EXISTS));

    // Without input the child reads /dev/null; the exit status comes back.
    ArgvCommand empty;
    empty.argv = {"/bin/sh", "-c", "cat; exit 3"};
    ArgvResult r = run_argv_sync(empty);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.output, "");
    EXPECT_FALSE(r.ok());

    ArgvCommand missing;
    missing.argv = {"orvane-no-such-program"};
    r = run_argv_sync(missing);
    EXPECT_FALSE(r.started);
    EXPECT_FALSE(r.errors.empty());
    r = run_on_main_loop(missing);
    EXPECT_FALSE(r.started);
}

// A daemon left holding stdout and stderr does not keep the run waiting (they are
// files, not pipes); a child past its time limit is killed with its whole group.
TEST(RunArgv, DaemonsDoNotHoldItAndTimeLimitKillsTheGroup) {
    TempHome home;
    const std::string pid_file = home.file("daemon.pid");
    ArgvCommand daemon;
    daemon.argv = {"/bin/sh", "-c", "sleep 60 & echo $! > \"$1\"; echo started >&2", "sh",
                   pid_file};
    for (bool async : {false, true}) {
        ArgvResult r = async ? run_on_main_loop(daemon) : run_argv_sync(daemon);
        EXPECT_TRUE(r.ok());
        EXPECT_FALSE(r.timed_out);
        EXPECT_EQ(r.errors, "started\n");
        kill(std::atoi(read_file(pid_file).c_str()), SIGKILL);
    }

    ArgvCommand slow;
    slow.argv = {"/bin/sh", "-c", "sleep 60 & echo $! > \"$1\"; wait", "sh", pid_file};
    slow.time_limit_ms = 300;
    for (bool async : {false, true}) {
        SCOPED_TRACE(async);
        ArgvResult r = async ? run_on_main_loop(slow) : run_argv_sync(slow);
        EXPECT_TRUE(r.timed_out);
        EXPECT_FALSE(r.ok());
        const pid_t grandchild = std::atoi(read_file(pid_file).c_str());
        ASSERT_GT(grandchild, 0);
        // Killed with the group: soon gone, or a zombie waiting for init.
        auto dead = [&] {
            std::string stat = read_file("/proc/" + std::to_string(grandchild) + "/stat");
            return stat.empty() || stat.find(") Z ") != std::string::npos;
        };
        for (int i = 0; i < 200 && !dead(); ++i)
            g_usleep(10000);
        EXPECT_TRUE(dead());
    }
}

TEST(RunArgv, RecorderSeesArgvNeverEnvironmentOrInput) {
    TempHome home;
    std::vector<std::vector<std::string>> seen;
    set_argv_recorder([&](const std::vector<std::string>& argv, bool) -> std::optional<ArgvResult> {
        seen.push_back(argv);
        if (argv[0] == "stand-in") return ArgvResult{true, false, 0, "answer", ""};
        return std::nullopt; // runs for real
    });
    ArgvCommand stand_in;
    stand_in.argv = {"stand-in", "x"};
    stand_in.env = {{"PASS", "hunter2"}};
    stand_in.input = "hunter2";
    EXPECT_EQ(run_argv_sync(stand_in).output, "answer");
    EXPECT_EQ(run_on_main_loop(stand_in).output, "answer");
    ArgvCommand real;
    real.argv = {"/bin/sh", "-c", "printf %s \"$PASS\""};
    real.env = {{"PASS", "hunter2"}};
    EXPECT_EQ(run_argv_sync(real).output, "hunter2");
    set_argv_recorder(nullptr);

    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0], stand_in.argv);
    EXPECT_EQ(seen[2], real.argv);
    for (const auto& argv : seen)
        for (const auto& a : argv)
            EXPECT_EQ(a.find("hunter2"), std::string::npos);
    EXPECT_EQ(argv_to_shell_line({"sshfs", "-o", "a=b,c", "u@h:/x y", "it's"}),
              "sshfs -o a=b,c 'u@h:/x y' 'it'\\''s'");
}

} // namespace
