#include "shell/config_dir.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <glib.h>
#include <glib/gstdio.h>

#include "documents/charset_list.h"
#include "shell/key_file.h"
#include "shell/lines.h"
#include "shell/settings.h"

const char* const kDefaultRc = "#Fichier de configuration Orvane IDE.";
const char* const kDefaultHotkeys =
    "#Orvane hotkeys file. It MUST be in UTF-8! Please read the manual";
const char* const kDefaultAutoreplace = "Linux=GNU/Linux";
const char* const kDefaultTheme = "classic\n";
const char* const kDefaultUserMenu = "kwrite=kwrite %s &";

std::string default_todo_text() {
    return "<?xml version=\"1.0\"?><columns name=\"Team\">\n"
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
           "</columns>\n";
}

std::string default_myadmin_text() {
    return "https://metacpan.org/search\n"
           "https://www.php.net/manual/fr/index.php\n"
           "https://docs.gtk.org/gtk3/\n"
           "http://PhpMyadmin1\n"
           "http://PhpMyadmin2\n"
           "http://PhpMyadmin3\n";
}

ConfigPaths config_paths_for(const std::string& home, const std::string& tmp_dir) {
    ConfigPaths p;
    p.home = home;
    p.dir = home + "/.orvane/";
    p.rc = p.dir + "orvane_rc";
    p.ui = p.dir + "orvane_ui";
    p.hotkeys = p.dir + "orvane_hotkeys";
    p.autoreplace = p.dir + "orvane_autoreplace";
    p.user_menu = p.dir + "orvane_user_menu";
    p.theme = p.dir + "orvane_theme";
    p.todo = p.dir + "orvane_todo";
    p.myadmin = p.dir + "orvane_myadmin";
    p.sftp = p.dir + "orvane_sftp";
    p.ftp = p.dir + "orvane_ftp";
    p.iconv_rc = p.dir + "iconv_rc";
    p.recent = p.dir + "orvane_recent";
    p.bmx = p.dir + "orvane_bmx";
    p.crapbook = p.dir + "crapbook.txt";
    p.autocomp = p.dir + "orvane_autocomp";
    p.gl_famous = p.dir + "orvane_gl_famous";
    p.zuda_history = p.dir + "orvane_zuda_history";
    p.zuda_bookmarks = p.dir + "orvane_zuda_bookmarks";
    p.todo_dir = p.dir + "todo/";
    p.sessions_dir = p.dir + "sessions/";
    p.templates_dir = p.dir + "templates/";
    p.snippets_dir = p.dir + "snippets/";
    p.temp_file = tmp_dir + (tmp_dir.ends_with('/') ? "" : "/") + "orvane_temp";
    return p;
}

namespace {
ConfigPaths& current_paths() {
    static ConfigPaths p;
    return p;
}

std::string home_dir() {
    const char* home = g_getenv("HOME");
    return home && *home ? home : g_get_home_dir();
}
} // namespace

const ConfigPaths& config_paths() { return current_paths(); }

void ensure_config_dir(const ConfigPaths& p) {
    if (!g_file_test(p.dir.c_str(), G_FILE_TEST_IS_DIR)) {
        if (g_mkdir(p.dir.c_str(), 0700) != 0) g_print("%s\n", "mkdir orvane_dir failed");
        if (g_mkdir(p.templates_dir.c_str(), 0700) != 0) g_print("%s\n", "mkdir templates failed");
        if (g_mkdir(p.sessions_dir.c_str(), 0700) != 0) g_print("%s\n", "mkdir sessions failed");
        if (g_mkdir(p.todo_dir.c_str(), 0700) != 0) g_print("%s\n", "mkdir todo failed");
    }
    auto write_default = [](const std::string& path, const std::string& text) {
        if (!g_file_test(path.c_str(), G_FILE_TEST_EXISTS)) string_to_file(path, text);
    };
    write_default(p.rc, kDefaultRc);
    write_default(p.todo, default_todo_text());
    // The server histories name hosts and users (older FTP lines, passwords too):
    // readable by their owner only.
    auto create_private = [](const std::string& path) {
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) ::close(fd);
    };
    create_private(p.sftp);
    write_default(p.theme, kDefaultTheme);
    create_private(p.ftp);
    write_default(p.myadmin, default_myadmin_text());
    write_default(p.hotkeys, kDefaultHotkeys);
    write_default(p.autoreplace, kDefaultAutoreplace);
}

std::string read_theme_name(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return "classic";
    std::string name;
    for (int c; (c = std::fgetc(f)) != EOF && c != '\n';)
        if (name.size() < 99) name += static_cast<char>(c);
    std::fclose(f);
    return name;
}

void config_load() {
    ConfigPaths p = config_paths_for(home_dir(), g_get_tmp_dir());
    ensure_config_dir(p);
    settings_replace(settings_from_table(load_key_file(p.rc), p.home));
    current_paths() = std::move(p);
    charset_lists_rebuild(config_paths().iconv_rc);
}

bool config_save_copy(const ConfigPaths& p) { return file_copy(p.rc, p.rc + ".bak"); }
bool config_restore_copy(const ConfigPaths& p) { return file_copy(p.rc + ".bak", p.rc); }
bool config_delete_rc(const ConfigPaths& p) { return g_unlink(p.rc.c_str()) == 0; }
