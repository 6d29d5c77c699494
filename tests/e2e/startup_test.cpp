// The built program as a user starts it: first start, second start, files named
// on the command line, and the termination signals.
#include <algorithm>
#include <csignal>
#include <cstring>
#include <glib.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

#include "program.h"
#include "support/temp_home.h"

namespace fs = std::filesystem;

namespace {

const char* const kEightDefaults[] = {"orvane_rc",     "orvane_todo",    "orvane_sftp",
                                      "orvane_theme",  "orvane_ftp",     "orvane_myadmin",
                                      "orvane_hotkeys", "orvane_autoreplace"};

std::string config(const TempHome& home, const std::string& name) {
    return home.file(".orvane/" + name);
}

unsigned mode_of(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
}

std::string iconv_list() {
    gchar* out = nullptr;
    g_spawn_command_line_sync("iconv -l", &out, nullptr, nullptr, nullptr);
    std::string text = out ? out : "";
    g_free(out);
    return text;
}

// Starts the program in `cwd`, waits for its window, then ends it with `signum`
// (or closes the window when signum is 0). Returns the exit code.
std::optional<int> run_once(const TempHome& home, const std::string& cwd,
                            const std::vector<std::string>& args, int signum) {
    OrvaneProcess p(home.path(), cwd, args);
    if (!p.wait_for_window()) {
        ADD_FAILURE() << "no window appeared; the program " << p.describe_end();
        return std::nullopt;
    }
    if (signum)
        p.send_signal(signum);
    else
        p.close_window();
    auto code = p.wait_exit();
    if (!code) ADD_FAILURE() << "the program " << p.describe_end();
    return code;
}

struct FileState {
    std::string bytes;
    long long mtime_ns;
};

std::map<std::string, FileState> snapshot(const std::string& dir) {
    std::map<std::string, FileState> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        struct stat st {};
        stat(entry.path().c_str(), &st);
        files[entry.path().string()] = {read_file(entry.path()),
                                        st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
    }
    return files;
}

class Startup : public ::testing::Test {
protected:
    TempHome home;
    std::string cwd = home.file("work");
    void SetUp() override { fs::create_directory(cwd); }
};

} // namespace

TEST_F(Startup, FirstStartCreatesTheConfigurationDirectoryAndItsDefaults) {
    ASSERT_EQ(run_once(home, cwd, {}, SIGTERM), 15);

    const std::string dir = home.file(".orvane");
    EXPECT_EQ(mode_of(dir), 0700u);
    for (const char* sub : {"templates", "sessions", "todo"}) {
        EXPECT_TRUE(fs::is_directory(dir + "/" + sub)) << sub;
        EXPECT_EQ(mode_of(dir + "/" + sub), 0700u) << sub;
    }
    for (const char* name : kEightDefaults) EXPECT_TRUE(fs::exists(config(home, name))) << name;

    EXPECT_EQ(read_file(config(home, "orvane_rc")), "#Fichier de configuration Orvane IDE.");
    EXPECT_EQ(read_file(config(home, "orvane_hotkeys")),
              "#Orvane hotkeys file. It MUST be in UTF-8! Please read the manual");
    EXPECT_EQ(read_file(config(home, "orvane_autoreplace")), "Linux=GNU/Linux");
    EXPECT_EQ(read_file(config(home, "orvane_theme")), "classic\n");
    EXPECT_EQ(read_file(config(home, "orvane_sftp")), "");
    EXPECT_EQ(read_file(config(home, "orvane_ftp")), "");
    EXPECT_EQ(read_file(config(home, "orvane_todo")),
              "<?xml version=\"1.0\"?><columns name=\"Team\">\n"
              "<column name=\"Date\" type=\"current_date\"></column>\n"
              "<column name=\"Status\" type=\"string\">\n"
              "<value>Arrêt de production</value>\n"
              "<value>Critique</value>\n"
              "<value type=\"default\">Mineur</value>\n"
              "<value>Suggestion</value>\n"
              "</column>\n"
              "<column name=\"User\" type=\"string\">\n"
              "<value>Dudore</value>\n"
              "<value>Dizi</value>\n"
              "<value type=\"default\">Zevavar</value>\n"
              "</column>\n"
              "<column name=\"Notes\" type=\"string\">\n"
              "</column>\n"
              "</columns>\n");
    std::string myadmin = read_file(config(home, "orvane_myadmin"));
    EXPECT_EQ(std::count(myadmin.begin(), myadmin.end(), '\n'), 6);
    EXPECT_TRUE(myadmin.ends_with("http://PhpMyadmin1\nhttp://PhpMyadmin2\nhttp://PhpMyadmin3\n"));
    EXPECT_EQ(read_file(config(home, "iconv_rc")), iconv_list());

    // A signal writes the window state in its key order, and not the recent list.
    std::string ui = read_file(config(home, "orvane_ui"));
    EXPECT_TRUE(g_regex_match_simple("^main_wnd_h=-?\\d+\nmain_wnd_w=-?\\d+\nmain_wnd_y=-?\\d+\n"
                                     "main_wnd_x=-?\\d+\nlast_prefs_tab=\\d+\nvpaned1_y=-?\\d+\n$",
                                     ui.c_str(), GRegexCompileFlags(0), GRegexMatchFlags(0)))
        << ui;
    EXPECT_FALSE(fs::exists(config(home, "orvane_recent")));
}

TEST_F(Startup, SecondStartRewritesOnlyTheWindowStateAndTheRecentList) {
    ASSERT_EQ(run_once(home, cwd, {}, 0), 0);
    EXPECT_TRUE(fs::exists(config(home, "orvane_recent"))) << "a normal exit writes the list";
    auto before = snapshot(home.file(".orvane"));
    ASSERT_EQ(run_once(home, cwd, {}, 0), 0);
    auto after = snapshot(home.file(".orvane"));

    ASSERT_EQ(before.size(), after.size());
    for (const auto& [path, state] : before) {
        if (path.ends_with("/orvane_ui") || path.ends_with("/orvane_recent")) continue;
        ASSERT_TRUE(after.count(path)) << path;
        EXPECT_EQ(after[path].bytes, state.bytes) << path;
        EXPECT_EQ(after[path].mtime_ns, state.mtime_ns) << path << " was rewritten";
    }
}

TEST_F(Startup, UserChangesToDefaultFilesSurviveAStart) {
    ASSERT_EQ(run_once(home, cwd, {}, SIGTERM), 15);
    write_file(config(home, "orvane_rc"), "tab_size=8\n");
    write_file(config(home, "orvane_theme"), "cobalt\n");
    ASSERT_EQ(run_once(home, cwd, {}, SIGTERM), 15);
    EXPECT_EQ(read_file(config(home, "orvane_rc")), "tab_size=8\n");
    EXPECT_EQ(read_file(config(home, "orvane_theme")), "cobalt\n");
}

TEST_F(Startup, NewFilesNamedOnTheCommandLineAreCreatedWhereTheProgramStarted) {
    for (const char* name : {"new.sh", "page.HTML", "noext"}) {
        ASSERT_EQ(run_once(home, cwd, {name}, SIGTERM), 15) << name;
        const std::string path = cwd + "/" + name;
        ASSERT_TRUE(fs::exists(path)) << name;
        EXPECT_TRUE(mode_of(path) & S_IXUSR) << name << " is not executable";
        EXPECT_FALSE(fs::exists(home.file(name))) << name << " landed in HOME";
    }
}

TEST_F(Startup, ANameWithShellCharactersIsOneFileAndRunsNothing) {
    const std::string name = "a b;touch pwned 'q'.sh";
    ASSERT_EQ(run_once(home, cwd, {name}, SIGTERM), 15);
    EXPECT_TRUE(fs::exists(cwd + "/" + name));
    EXPECT_TRUE(mode_of(cwd + "/" + name) & S_IXUSR);
    std::vector<std::string> entries;
    for (const auto& e : fs::directory_iterator(cwd)) entries.push_back(e.path().filename());
    EXPECT_EQ(entries, std::vector<std::string>{name});
}

TEST_F(Startup, AnExistingFileIsOpenedAndOnlyTheFirstArgumentCounts) {
    write_file(cwd + "/old.sh", "echo hi\n");
    chmod((cwd + "/old.sh").c_str(), 0644);
    ASSERT_EQ(run_once(home, cwd, {"old.sh", "second.sh"}, SIGTERM), 15);
    EXPECT_EQ(read_file(cwd + "/old.sh"), "echo hi\n");
    EXPECT_EQ(mode_of(cwd + "/old.sh"), 0644u) << "an existing file is not made executable";
    EXPECT_FALSE(fs::exists(cwd + "/second.sh"));
}

TEST_F(Startup, EachTerminationSignalWritesTheWindowStateAndExitsWithItsNumber) {
    for (int signum : {SIGINT, SIGTERM, SIGABRT}) {
        fs::remove(config(home, "orvane_ui"));
        EXPECT_EQ(run_once(home, cwd, {}, signum), signum) << strsignal(signum);
        EXPECT_TRUE(read_file(config(home, "orvane_ui")).starts_with("main_wnd_h="))
            << strsignal(signum);
        EXPECT_FALSE(fs::exists(config(home, "orvane_recent"))) << strsignal(signum);
    }
}
