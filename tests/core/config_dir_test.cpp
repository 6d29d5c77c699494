// The configuration directory, the configuration load, the charset lists built
// from iconv_rc, the reload hooks and the lists loaded from the directory.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <glib.h>
#include <glib/gstdio.h>

#include <map>

#include "documents/autoreplace.h"
#include "documents/charset_list.h"
#include "documents/recent_files.h"
#include "shell/commands.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/reload_hooks.h"
#include "shell/settings.h"
#include "support/temp_home.h"

namespace {

// The default files, typed out byte for byte.
const std::string kRcBytes = "#Fichier de configuration Orvane IDE.";
const std::string kHotkeysBytes = "#Orvane hotkeys file. It MUST be in UTF-8! Please read the manual";
const std::string kAutoreplaceBytes = "Linux=GNU/Linux";
const std::string kThemeBytes = "classic\n";
const std::string kTodoBytes =
    "<?xml version=\"1.0\"?><columns name=\"Team\">\n"
    "<column name=\"Date\" type=\"current_date\"></column>\n"
    "<column name=\"Status\" type=\"string\">\n"
    "<value>Arr\xC3\xAAt de production</value>\n"
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
    "</columns>\n";

std::string cwd() {
    GCharPtr dir(g_get_current_dir());
    return dir.get();
}

unsigned mode_of(const std::string& path) {
    struct stat st {};
    if (stat(path.c_str(), &st) != 0) return 0;
    return st.st_mode & 07777;
}

bool is_dir(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_IS_DIR); }
bool exists(const std::string& path) { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); }

// Every test here runs shell commands through a recorder that answers like
// `iconv -l` would, so nothing outside the temporary home is run.
class ConfigDir : public ::testing::Test {
protected:
    void SetUp() override {
        set_command_recorder([this](const std::string& command, bool sync) {
            commands.push_back(command);
            synced.push_back(sync);
            const std::string prefix = "iconv -l > ";
            if (command.rfind(prefix, 0) == 0 && iconv_target)
                write_file(*iconv_target, iconv_output);
            return 0;
        });
    }
    void TearDown() override { set_command_recorder(nullptr); }

    std::vector<std::string> commands;
    std::vector<bool> synced;
    std::optional<std::string> iconv_target;
    std::string iconv_output = "ANSI_X3.4-1968//\nUTF-8//\nKOI8-R//\n";
};

TEST_F(ConfigDir, FirstLoadCreatesDirectoriesAndDefaultFiles) {
    TempHome home;
    const std::string dir = home.file(".orvane/");
    iconv_target = dir + "iconv_rc";
    const std::string before = cwd();

    config_load();

    EXPECT_EQ(cwd(), before);
    for (const char* sub : {"", "templates/", "sessions/", "todo/"}) {
        SCOPED_TRACE(sub);
        EXPECT_TRUE(is_dir(dir + sub));
        EXPECT_EQ(mode_of(dir + sub), 0700u);
    }
    EXPECT_EQ(read_file(dir + "orvane_rc"), kRcBytes);
    EXPECT_EQ(read_file(dir + "orvane_hotkeys"), kHotkeysBytes);
    EXPECT_EQ(read_file(dir + "orvane_autoreplace"), kAutoreplaceBytes);
    EXPECT_EQ(read_file(dir + "orvane_theme"), kThemeBytes);
    EXPECT_EQ(read_file(dir + "orvane_todo"), kTodoBytes);
    EXPECT_TRUE(exists(dir + "orvane_sftp"));
    EXPECT_EQ(read_file(dir + "orvane_sftp"), "");
    EXPECT_TRUE(exists(dir + "orvane_ftp"));
    EXPECT_EQ(read_file(dir + "orvane_ftp"), "");
    EXPECT_EQ(mode_of(dir + "orvane_ftp"), 0600u);
    EXPECT_EQ(mode_of(dir + "orvane_sftp"), 0600u);

    Lines myadmin = text_to_lines(read_file(dir + "orvane_myadmin"));
    ASSERT_EQ(myadmin.size(), 7u) << "six lines, each ending with a line feed";
    for (int i = 0; i < 3; ++i) EXPECT_EQ(myadmin[i].rfind("http", 0), 0u) << myadmin[i];
    EXPECT_EQ(myadmin[3], "http://PhpMyadmin1");
    EXPECT_EQ(myadmin[4], "http://PhpMyadmin2");
    EXPECT_EQ(myadmin[5], "http://PhpMyadmin3");
    EXPECT_EQ(myadmin[6], "");

    EXPECT_FALSE(exists(dir + "orvane_user_menu"));
    EXPECT_FALSE(exists(dir + "snippets"));
    EXPECT_EQ(read_theme_name(dir + "orvane_theme"), "classic");

    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], "iconv -l > '" + dir + "iconv_rc'");
    EXPECT_TRUE(synced[0]);

    EXPECT_EQ(config_paths().dir, dir);
    EXPECT_EQ(config_paths().rc, dir + "orvane_rc");
    EXPECT_EQ(settings().def_save_dir, home.path() + "/");
    EXPECT_EQ(settings().tab_size, 3);
    EXPECT_EQ(pending_open_charset(), std::optional<std::string>("UTF-8"));
}

TEST_F(ConfigDir, SecondLoadChangesNothing) {
    TempHome home;
    const std::string dir = home.file(".orvane/");
    iconv_target = dir + "iconv_rc";
    config_load();
    // The user's own edits must survive the next load.
    write_file(dir + "orvane_rc", "tab_size=6\n");
    write_file(dir + "orvane_theme", "cobalt\n");
    write_file(dir + "orvane_ftp", "ftp.example.org\n");
    rmdir((dir + "todo").c_str());

    std::map<std::string, std::string> snapshot;
    for (const char* f : {"orvane_rc", "orvane_todo", "orvane_sftp", "orvane_theme", "orvane_ftp",
                          "orvane_myadmin", "orvane_hotkeys", "orvane_autoreplace", "iconv_rc"})
        snapshot[f] = read_file(dir + f);
    commands.clear();

    config_load();

    for (const auto& [name, bytes] : snapshot) EXPECT_EQ(read_file(dir + name), bytes) << name;
    EXPECT_TRUE(commands.empty()) << "iconv_rc exists, so iconv is not run again";
    EXPECT_FALSE(exists(dir + "todo")) << "subfolders are made only with the directory";
    EXPECT_EQ(settings().tab_size, 6);
    EXPECT_EQ(read_theme_name(dir + "orvane_theme"), "cobalt");
}

TEST_F(ConfigDir, MissingDefaultFilesAreWrittenIntoAnExistingDirectory) {
    TempHome home;
    const std::string dir = home.file(".orvane/");
    ASSERT_EQ(g_mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(g_chmod(dir.c_str(), 0755), 0);
    write_file(dir + "orvane_autoreplace", "teh=the\n");
    iconv_target = dir + "iconv_rc";

    config_load();

    EXPECT_EQ(mode_of(dir), 0755u);
    EXPECT_FALSE(exists(dir + "templates"));
    EXPECT_EQ(read_file(dir + "orvane_autoreplace"), "teh=the\n");
    EXPECT_EQ(read_file(dir + "orvane_rc"), kRcBytes);
    EXPECT_EQ(read_file(dir + "orvane_hotkeys"), kHotkeysBytes);
}

TEST_F(ConfigDir, IconvCommandQuotesAHomeWithBlankAndQuote) {
    TempHome temp;
    const std::string home = temp.file("my home's dir");
    ASSERT_EQ(g_mkdir(home.c_str(), 0700), 0);
    g_setenv("HOME", home.c_str(), TRUE);
    iconv_target = home + "/.orvane/iconv_rc";

    config_load();

    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0],
              "iconv -l > '" + temp.path() + "/my home'\\''s dir/.orvane/iconv_rc'");
    EXPECT_TRUE(is_dir(home + "/.orvane/templates"));
    EXPECT_EQ(settings().def_open_dir, home + "/");
}

TEST_F(ConfigDir, IconvCommandReallyWritesThroughTheShell) {
    // The recorder is lifted for this one: the quoted command line must work in /bin/sh.
    set_command_recorder(nullptr);
    TempHome temp;
    const std::string home = temp.file("a b'c;d");
    ASSERT_EQ(g_mkdir(home.c_str(), 0700), 0);
    g_setenv("HOME", home.c_str(), TRUE);

    config_load();

    const std::string iconv_rc = home + "/.orvane/iconv_rc";
    ASSERT_TRUE(exists(iconv_rc));
    if (GCharPtr iconv{g_find_program_in_path("iconv")}) {
        EXPECT_NE(read_file(iconv_rc).find("UTF-8//"), std::string::npos);
    }
    EXPECT_FALSE(exists(temp.file("a b")));
    EXPECT_FALSE(exists(temp.file("a")));
}

TEST_F(ConfigDir, CharsetListsFromAHandWrittenIconvRc) {
    TempHome home;
    const std::string path = home.file("iconv_rc");
    write_file(path, "437, 500, 500V1, 850//\n +CP1251//\nKOI8-R//\n+KOI8-U//\t+ISO-8859-15//\n");
    set_pending_open_charset("KOI8-R");

    charset_lists_rebuild(path);

    EXPECT_TRUE(commands.empty());
    EXPECT_EQ(open_charsets(), (Lines{"autodetect", "Japanese autodetect", "UTF-8",
                                      "current locale", "CP1251", "KOI8-U", "ISO-8859-15"}));
    EXPECT_EQ(save_charsets(), (Lines{"UTF-8", "current locale", "CP1251", "KOI8-U",
                                      "ISO-8859-15"}));
    EXPECT_EQ(pending_open_charset(), std::optional<std::string>("UTF-8"));

    // An unreadable file leaves the lists as they were.
    const std::string folder = home.file("dir_rc");
    ASSERT_EQ(g_mkdir(folder.c_str(), 0700), 0);
    charset_lists_rebuild(folder);
    EXPECT_EQ(save_charsets().size(), 5u);

    // Nothing marked: only the fixed names.
    write_file(path, "UTF-8//\nKOI8-R//\n");
    charset_lists_rebuild(path);
    EXPECT_EQ(save_charsets(), (Lines{"UTF-8", "current locale"}));
    EXPECT_EQ(open_charsets().size(), 4u);
}

TEST_F(ConfigDir, MissingIconvRcIsMadeByTheCommandThenRead) {
    TempHome home;
    const std::string path = home.file("iconv_rc");
    iconv_target = path;
    iconv_output = "UTF-8//\n+CP866//\n";
    charset_lists_rebuild(path);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], "iconv -l > '" + path + "'");
    EXPECT_EQ(save_charsets(), (Lines{"UTF-8", "current locale", "CP866"}));
}

TEST_F(ConfigDir, ThemeNameIsTheFirstLineUpTo99Bytes) {
    TempHome home;
    const std::string path = home.file("theme");
    EXPECT_EQ(read_theme_name(path), "classic");
    write_file(path, "oblivion\nkate\n");
    EXPECT_EQ(read_theme_name(path), "oblivion");
    write_file(path, "tango");
    EXPECT_EQ(read_theme_name(path), "tango");
    write_file(path, std::string(150, 'x') + "\n");
    EXPECT_EQ(read_theme_name(path), std::string(99, 'x'));
}

TEST_F(ConfigDir, ReloadHooksMatchTheProgramsFiles) {
    TempHome home;
    iconv_target = home.file(".orvane/iconv_rc");
    config_load();
    const ConfigPaths& p = config_paths();

    int rc_runs = 0, autoreplace_runs = 0;
    reload_hook_set(ConfigFile::rc, [&] { ++rc_runs; });
    reload_hook_set(ConfigFile::autoreplace, [&] { ++autoreplace_runs; });

    EXPECT_EQ(reload_hook_run(p.rc), std::optional<std::string>("config reloaded"));
    EXPECT_EQ(rc_runs, 1);
    EXPECT_EQ(reload_hook_run(p.autoreplace), std::nullopt);
    EXPECT_EQ(autoreplace_runs, 1);
    EXPECT_EQ(reload_hook_run(p.hotkeys), std::optional<std::string>("hotkeys reloaded"));
    EXPECT_EQ(reload_hook_run(p.user_menu), std::optional<std::string>("user menu reloaded"));
    EXPECT_EQ(reload_hook_run(p.zuda_bookmarks),
              std::optional<std::string>("zuda bookmarks reloaded"));
    EXPECT_EQ(reload_hook_run(p.iconv_rc), std::optional<std::string>(p.iconv_rc + " reloaded"));
    EXPECT_EQ(reload_hook_run(p.bmx), std::optional<std::string>(p.bmx + " reloaded"));
    EXPECT_EQ(reload_hook_run(home.file("notes.txt")), std::nullopt);
    EXPECT_EQ(reload_hook_run(p.ui), std::nullopt);
    EXPECT_EQ(rc_runs, 1);

    reload_hook_set(ConfigFile::rc, nullptr);
    reload_hook_set(ConfigFile::autoreplace, nullptr);
}

TEST(ConfigPathsFor, EveryPathUnderTheDirectory) {
    ConfigPaths p = config_paths_for("/home/u", "/tmp");
    EXPECT_EQ(p.dir, "/home/u/.orvane/");
    EXPECT_EQ(p.iconv_rc, "/home/u/.orvane/iconv_rc");
    EXPECT_EQ(p.crapbook, "/home/u/.orvane/crapbook.txt");
    EXPECT_EQ(p.gl_famous, "/home/u/.orvane/orvane_gl_famous");
    EXPECT_EQ(p.sessions_dir, "/home/u/.orvane/sessions/");
    EXPECT_EQ(p.templates_dir, "/home/u/.orvane/templates/");
    EXPECT_EQ(p.snippets_dir, "/home/u/.orvane/snippets/");
    EXPECT_EQ(p.todo_dir, "/home/u/.orvane/todo/");
    EXPECT_EQ(p.temp_file, "/tmp/orvane_temp");
    EXPECT_EQ(config_paths_for("/home/u", "/var/tmp/").temp_file, "/var/tmp/orvane_temp");
}

TEST(LoadedLists, AutoreplaceTableOnlyWhenTheFileExists) {
    TempHome home;
    autoreplace_load(home.file("orvane_autoreplace"));
    EXPECT_FALSE(autoreplace_table());
    write_file(home.file("orvane_autoreplace"), "Linux=GNU/Linux");
    autoreplace_load(home.file("orvane_autoreplace"));
    ASSERT_TRUE(autoreplace_table());
    EXPECT_EQ(autoreplace_table()->at("Linux"), "GNU/Linux");
    autoreplace_clear();
    EXPECT_FALSE(autoreplace_table());
}

TEST(LoadedLists, RecentFilesKeepAtMostTheBound) {
    TempHome home;
    const std::string path = home.file("orvane_recent");
    recent_files_load(path, 7);
    EXPECT_TRUE(recent_files().empty());
    write_file(path, "/a,UTF-8,0\n/b,UTF-8,4\n/c,UTF-8,9\n");
    recent_files_load(path, 2);
    EXPECT_EQ(recent_files(), (Lines{"/a,UTF-8,0", "/b,UTF-8,4"}));
    recent_files().insert(recent_files().begin(), "/z,KOI8-R,1");
    recent_files_write(path);
    EXPECT_EQ(read_file(path), "/z,KOI8-R,1\n/a,UTF-8,0\n/b,UTF-8,4\n");
    recent_files().clear();
}

} // namespace
