#include "shell/ui/app.h"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <glib-unix.h>
#include <glib/gi18n-lib.h>
#include <glib/gstdio.h>
#include <gtk/gtk.h>
#include <libintl.h>
#include <unistd.h>

#include "documents/autoreplace.h"
#include "documents/charset_list.h"
#include "documents/recent_files.h"
#include "documents/ui/document_menus.h"
#include "documents/ui/documents.h"
#include "shell/commands.h"
#include "shell/config_dir.h"
#include "shell/data_paths.h"
#include "shell/gobj.h"
#include "shell/reload_hooks.h"
#include "shell/settings.h"
#include "shell/ui/command_entry.h"
#include "shell/ui/config_actions.h"
#include "shell/ui/main_window.h"
#include "shell/ui/toolbars.h"
#include "snippets/ui/file_headers.h"

namespace {

// Two prepared copies of orvane_ui for the SIGABRT handler: the one not in use is
// rewritten, then published, so the handler never sees a half-written copy.
struct AbortSnapshot {
    std::array<std::string, 2> text;
    std::string path;
    volatile sig_atomic_t ready = -1;
};
AbortSnapshot& abort_snapshot() {
    static AbortSnapshot s;
    return s;
}

extern "C" void on_abort_signal(int signum) {
    // Only async-signal-safe calls here: open, write, close, _exit.
    AbortSnapshot& s = abort_snapshot();
    int which = s.ready;
    if (which >= 0 && !s.path.empty()) {
        int fd = open(s.path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (fd >= 0) {
            const std::string& text = s.text[static_cast<std::size_t>(which)];
            ssize_t ignored = write(fd, text.data(), text.size());
            (void)ignored;
            close(fd);
        }
    }
    _exit(signum);
}

gboolean on_termination_signal(gpointer data) {
    // Runs on the main loop, so it may do what a normal exit does.
    ui_state_save();
    gtk_main_quit();
    std::exit(GPOINTER_TO_INT(data));
}

GtkTextTagTable* build_tag_table() {
    const Settings& s = settings();
    GtkTextTagTable* table = gtk_text_tag_table_new();
    auto add = [table](const char* name, const std::string& color, const std::string* font) {
        GtkTextTag* tag = gtk_text_tag_new(name);
        g_object_set(tag, "foreground", color.c_str(), nullptr);
        if (font) g_object_set(tag, "font", font->c_str(), nullptr);
        gtk_text_tag_table_add(table, tag);
        g_object_unref(tag);
    };
    add("comment", s.tag_comment, &s.tag_comment_font);
    add("identifier", s.tag_identifier, &s.tag_identifier_font);
    add("digit", s.tag_digit, &s.tag_digit_font);
    add("string", s.tag_string, &s.tag_string_font);
    add("html_tag", s.tag_html_tag, &s.tag_html_tag_font);
    add("preprocessor", s.tag_preprocessor, &s.tag_preprocessor_font);
    add("type", s.tag_type, &s.tag_type_font);
    add("spell_err", s.tag_spellcheck, nullptr);
    return table;
}

} // namespace

void ui_state_snapshot() {
    AbortSnapshot& s = abort_snapshot();
    int next = s.ready == 0 ? 1 : 0;
    s.text[static_cast<std::size_t>(next)] = ui_state_text(main_window_ui_state());
    if (s.path != config_paths().ui) {
        // The path changes only with a configuration load; never while published.
        s.ready = -1;
        s.path = config_paths().ui;
    }
    s.ready = next;
}

void ui_state_save() {
    lines_to_file(ui_state_lines(main_window_ui_state()), config_paths().ui);
    ui_state_snapshot();
    command_history_clear();
}

bool create_new_file(const char* name) {
    std::string path;
    if (g_path_is_absolute(name)) {
        path = name;
    } else {
        GCharPtr cwd(g_get_current_dir());
        path = std::string(cwd.get()) + "/" + name;
    }
    if (!string_to_file(path, "")) {
        g_printerr("%s: %s\n", path.c_str(), g_strerror(errno));
        return false;
    }
    // The header goes into the new file's page only; a failed open inserts nothing.
    if (open_file(path)) insert_new_file_header(name);
    run_shell_sync(shell_command("chmod u+x", {path}));
    return true;
}

void app_bind_text_domain() {
    const std::string localedir = locale_dir();
    bindtextdomain(GETTEXT_PACKAGE, localedir.c_str());
    bind_textdomain_codeset(GETTEXT_PACKAGE, "UTF-8");
    textdomain(GETTEXT_PACKAGE);
}

int app_run(int argc, char** argv) {
    app_bind_text_domain();

    gtk_init(&argc, &argv);

    std::signal(SIGABRT, on_abort_signal);
    g_unix_signal_add(SIGTERM, on_termination_signal, GINT_TO_POINTER(SIGTERM));
    g_unix_signal_add(SIGINT, on_termination_signal, GINT_TO_POINTER(SIGINT));

    recent_files().clear();
    autoreplace_clear();
    set_pending_open_charset(std::nullopt);

    reload_hook_set(ConfigFile::rc, config_reload_and_apply);
    reload_hook_set(ConfigFile::autoreplace, [] { autoreplace_load(config_paths().autoreplace); });

    GtkWidget* window = main_window_build();
    gtk_widget_show_all(window);
    ui_state_snapshot();

    GObjectPtr<GtkTextTagTable> tags(build_tag_table());
    menus_rebuild_at_startup();
    if (g_file_test(config_paths().autoreplace.c_str(), G_FILE_TEST_EXISTS))
        autoreplace_load(config_paths().autoreplace);

    if (argc > 1) {
        if (g_file_test(argv[1], G_FILE_TEST_EXISTS) ||
            g_file_test(argv[1], G_FILE_TEST_IS_SYMLINK))
            open_file(argv[1]);
        else
            create_new_file(argv[1]);
    }

    gtk_main();

    menu_forget_open_documents();
    close_all_documents();
    recent_files_write(config_paths().recent);
    recent_files().clear();
    autoreplace_clear();
    user_menu_table_clear();
    g_remove(config_paths().temp_file.c_str());
    return 0;
}
