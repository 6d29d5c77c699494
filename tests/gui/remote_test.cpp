// The SFTP and FTP pages and the mount dialogs in the real main window, against
// servers the tests start on 127.0.0.1: a file edited and saved through a mount,
// refused logins and fields, history rows and unmounting.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <glib/gstdio.h>
#include <memory>
#include <unistd.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/documents.h"
#include "gui/support/gui_fixture.h"
#include "gui/support/key_events.h"
#include "remote/mount_table.h"
#include "remote/remote_mount.h"
#include "shell/commands.h"
#include "shell/ui/file_panel.h"
#include "shell/ui/report.h"
#include "shell/ui/window_parts.h"
#include "support/remote_servers.h"

namespace {

GtkWidget* named_in(GtkWidget* root, const char* name) {
    return find_widget(
        root, [name](GtkWidget* w) { return g_strcmp0(gtk_widget_get_name(w), name) == 0; });
}

// The visible top-level window of that name (a mount dialog), or null.
GtkWidget* toplevel(const char* name) {
    GtkWidget* found = nullptr;
    GList* all = gtk_window_list_toplevels();
    for (GList* l = all; l && !found; l = l->next) {
        auto* w = static_cast<GtkWidget*>(l->data);
        if (gtk_widget_get_visible(w) && g_strcmp0(gtk_widget_get_name(w), name) == 0) found = w;
    }
    g_list_free(all);
    return found;
}

std::string field(GtkWidget* dialog, const char* name) {
    return gtk_entry_get_text(GTK_ENTRY(named_in(dialog, name)));
}

void set_field(GtkWidget* dialog, const char* name, const std::string& text) {
    gtk_entry_set_text(GTK_ENTRY(named_in(dialog, name)), text.c_str());
}

GtkWidget* page_of(RemoteKind kind) {
    return panel_page(kind == RemoteKind::Ftp ? PanelPage::ftp : PanelPage::sftp);
}

GtkTreeView* history_view(RemoteKind kind) {
    return GTK_TREE_VIEW(
        named_in(page_of(kind), kind == RemoteKind::Ftp ? "ftp_history" : "sftp_history"));
}

// The labels of the history rows under the root row.
std::vector<std::string> history_rows(RemoteKind kind) {
    std::vector<std::string> out;
    GtkTreeModel* model = gtk_tree_view_get_model(history_view(kind));
    GtkTreeIter root, child;
    if (!gtk_tree_model_get_iter_first(model, &root)) return out;
    for (bool ok = gtk_tree_model_iter_children(model, &child, &root); ok;
         ok = gtk_tree_model_iter_next(model, &child)) {
        gchar* label = nullptr;
        gtk_tree_model_get(model, &child, 0, &label, -1);
        out.emplace_back(label ? label : "");
        g_free(label);
    }
    return out;
}

// Selects a row as a click does: "0" is the root row, "0:1" its second child.
void choose_row(RemoteKind kind, const char* path) {
    GtkTreeSelection* selection = gtk_tree_view_get_selection(history_view(kind));
    GtkTreePath* p = gtk_tree_path_new_from_string(path);
    gtk_tree_selection_select_path(selection, p);
    gtk_tree_path_free(p);
}

void click(RemoteKind kind, const char* button) {
    gtk_button_clicked(GTK_BUTTON(named_in(page_of(kind), button)));
}

bool exists(const std::string& path) {
    return g_file_test(path.c_str(), G_FILE_TEST_EXISTS);
}

std::string panel_folder() {
    return file_panel_folder().value_or("");
}

// Opens the mount dialog from its menu entry, fills it and applies it.
void mount_through_dialog(RemoteKind kind, const std::string& host, const std::string& user,
                          const std::string& third) {
    const bool ftp = kind == RemoteKind::Ftp;
    ASSERT_TRUE(activate_menu_item(ftp ? "Monter un serveur FTP (FTPFS)"
                                       : "Monter un serveur en SFTP (SSH)"));
    GtkWidget* dialog = toplevel(ftp ? "ftp_mount_dialog" : "sftp_mount_dialog");
    ASSERT_NE(dialog, nullptr);
    set_field(dialog, "host", host);
    set_field(dialog, "user", user);
    set_field(dialog, ftp ? "password" : "path", third);
    gtk_button_clicked(GTK_BUTTON(named_in(dialog, "gtk-apply")));
    EXPECT_EQ(toplevel(ftp ? "ftp_mount_dialog" : "sftp_mount_dialog"), nullptr);
}

// Opens a file of the file panel's folder as a double click there does.
void open_from_file_panel(const std::string& path) {
    GtkFileChooser* chooser = GTK_FILE_CHOOSER(file_panel_chooser());
    ASSERT_TRUE(spin_until([&] {
        gtk_file_chooser_select_filename(chooser, path.c_str());
        gchar* chosen = gtk_file_chooser_get_filename(chooser);
        const bool ok = chosen && path == chosen;
        g_free(chosen);
        return ok;
    }));
    g_signal_emit_by_name(chooser, "file-activated");
}

class RemoteGuiTest : public GuiTest {
  protected:
    void SetUp() override {
        GuiTest::SetUp();
        remote_state_reset();
        // ssh-add would talk to the agent of whoever runs the tests.
        set_argv_recorder(
            [this](const std::vector<std::string>& argv, bool) -> std::optional<ArgvResult> {
                recorded.push_back(argv);
                if (g_str_has_suffix(argv[0].c_str(), "ssh-add"))
                    return ArgvResult{true, false, 0, "", ""};
                return std::nullopt;
            });
    }
    void TearDown() override {
        set_argv_recorder(nullptr);
        set_sftp_ssh_config("");
        // Nothing stays mounted inside the temporary home that is removed next.
        for (const auto& folder : remote_state().mounted) {
            ArgvCommand off;
            off.argv = {"fusermount3", "-uz", folder};
            off.time_limit_ms = 5000;
            run_argv_sync(off);
        }
        remote_state_reset();
        GuiTest::TearDown();
    }

    std::string mount_folder(const std::string& host) const { return home().file("MOUNT/" + host); }

    bool argv_holds(const std::string& text) const {
        for (const auto& argv : recorded)
            for (const auto& a : argv)
                if (a.find(text) != std::string::npos) return true;
        return false;
    }

    std::vector<std::vector<std::string>> recorded;
};

class RemoteServerTest : public RemoteGuiTest {
  protected:
    void SetUp() override {
        if (auto why = fuse_unusable_reason()) GTEST_SKIP() << *why;
        RemoteGuiTest::SetUp();
        // The file panel is open before anything is mounted, as for a user who
        // browses the mounts there: its places list then follows each change.
        file_panel_chooser();
    }
};

TEST_F(RemoteServerTest, FtpEditAndSaveThroughTheDialogThenAWrongPasswordRemembersNothing) {
    const std::string root = home().file("srv");
    g_mkdir(root.c_str(), 0700);
    write_file(root + "/index.php", "<?php echo 1; ?>\n");
    const std::string password = "pa ss;$(touch PWNED)'x";
    FtpServer server(root, "bob", password, home().file("ftp.log"));
    ASSERT_TRUE(server.running()) << server.error();
    const std::string host = server.host_field();
    const std::string folder = mount_folder(host);

    mount_through_dialog(RemoteKind::Ftp, host, "bob", password);
    ASSERT_TRUE(spin_until([] { return status_text() == "Mount [OK]"; }, 20000)) << log_text();
    EXPECT_TRUE(is_mount_point(folder));
    EXPECT_TRUE(spin_until([&] { return panel_folder() == folder; }));
    EXPECT_EQ(read_file(config_path("orvane_ftp")), host + " bob \n");
    ASSERT_EQ(history_rows(RemoteKind::Ftp).size(), 1u);
    EXPECT_NE(history_rows(RemoteKind::Ftp)[0].find(host), std::string::npos);
    EXPECT_NE(log_text().find(host + " montage FTP dans le répertoire"), std::string::npos);

    open_from_file_panel(folder + "/index.php");
    ASSERT_TRUE(spin_until([&] { return current_document_name() == folder + "/index.php"; }));
    doc_insert_at_cursor("// édité\n");
    ASSERT_TRUE(activate_menu_item("Sauvegarder"));
    EXPECT_TRUE(spin_until(
        [&] { return read_file(root + "/index.php") == "// édité\n<?php echo 1; ?>\n"; }))
        << log_text();

    click(RemoteKind::Ftp, "unmount_volume");
    ASSERT_TRUE(spin_until([] { return status_text() == "Umount [OK]"; }, 10000)) << log_text();
    EXPECT_FALSE(is_mount_point(folder));
    EXPECT_TRUE(spin_until([&] { return panel_folder() == home().file("MOUNT"); }));

    // The history row keeps no password: choosing it asks for one.
    choose_row(RemoteKind::Ftp, "0:0");
    GtkWidget* dialog = toplevel("ftp_mount_dialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(field(dialog, "host"), host);
    EXPECT_EQ(field(dialog, "user"), "bob");
    EXPECT_EQ(field(dialog, "password"), "");
    set_field(dialog, "password", "wrong");
    const gint64 start = g_get_monotonic_time();
    gtk_button_clicked(GTK_BUTTON(named_in(dialog, "gtk-apply")));
    ASSERT_TRUE(spin_until([] { return status_text() == "Mount [ERROR]"; }, 10000)) << log_text();
    EXPECT_LT(g_get_monotonic_time() - start, 10 * G_USEC_PER_SEC);
    EXPECT_NE(log_text().find(host + " : échec du montage"), std::string::npos);
    EXPECT_FALSE(is_mount_point(folder));
    EXPECT_TRUE(remote_state().mounted.empty());
    EXPECT_EQ(read_file(config_path("orvane_ftp")), host + " bob \n");
    EXPECT_EQ(history_rows(RemoteKind::Ftp).size(), 1u);

    EXPECT_EQ(log_text().find(password), std::string::npos);
    EXPECT_FALSE(argv_holds(password));
    EXPECT_FALSE(exists("PWNED"));
    EXPECT_FALSE(exists(home().file("PWNED")));
}

class SftpHistoryTest : public RemoteServerTest {
  protected:
    void prepare_home() override {
        g_mkdir(home().file("sshd").c_str(), 0700);
        server = std::make_unique<SshServer>(home().file("sshd"));
        root = home().file("srv");
        g_mkdir(root.c_str(), 0700);
        write_file(root + "/a.txt", "hello\n");
        if (server->running())
            write_config_file("orvane_sftp",
                              server->host_field() + " " + server->user() + " " + root + " \n");
    }
    std::unique_ptr<SshServer> server;
    std::string root;
};

TEST_F(SftpHistoryTest, ARowMountsAtOnceAndABusyFolderStaysMounted) {
    ASSERT_TRUE(server->running()) << server->error();
    set_sftp_ssh_config(server->client_config());
    const std::string folder = mount_folder(server->host_field());
    ASSERT_EQ(history_rows(RemoteKind::Sftp).size(), 1u);

    choose_row(RemoteKind::Sftp, "0"); // the root row names the list
    spin_for(100);
    EXPECT_EQ(toplevel("sftp_mount_dialog"), nullptr);
    EXPECT_TRUE(remote_state().in_progress.empty());

    choose_row(RemoteKind::Sftp, "0:0");
    ASSERT_TRUE(spin_until([] { return status_text() == "Mount SFTP [OK]"; }, 20000)) << log_text();
    EXPECT_EQ(read_file(folder + "/a.txt"), "hello\n");
    EXPECT_TRUE(spin_until([&] { return panel_folder() == folder; }));
    EXPECT_EQ(history_rows(RemoteKind::Sftp).size(), 1u); // a history mount adds no line

    const int busy = ::open((folder + "/a.txt").c_str(), O_RDONLY);
    ASSERT_GE(busy, 0);
    ASSERT_TRUE(activate_menu_item("Démonter le dérnier serveur monté en SFTP/FTP"));
    ASSERT_TRUE(spin_until([] { return status_text() == "Umount [ERROR]"; }, 10000));
    ::close(busy);
    EXPECT_NE(log_text().find(folder + " : démontage impossible"), std::string::npos);
    EXPECT_NE(log_text().find("Fermez les fichiers et les terminaux ouverts dans " + folder),
              std::string::npos);
    EXPECT_TRUE(is_mount_point(folder));
    EXPECT_EQ(remote_state().mounted, std::vector<std::string>{folder});
    EXPECT_TRUE(spin_until([&] { return panel_folder() == folder; })); // back where it was

    click(RemoteKind::Sftp, "unmount_volume");
    ASSERT_TRUE(spin_until([] { return status_text() == "Umount [OK]"; }, 10000)) << log_text();
    EXPECT_FALSE(is_mount_point(folder));
    EXPECT_TRUE(spin_until([&] { return panel_folder() == home().file("MOUNT"); }));
}

class RemoteFieldsTest : public RemoteGuiTest {
  protected:
    void prepare_home() override { write_config_file("orvane_ftp", "FTP bob \n"); }
};

TEST_F(RemoteFieldsTest, HostileFieldsRunNothingAndRowsAreToldFromTheRootByDepth) {
    struct Case {
        RemoteKind kind;
        const char* host;
        const char* user;
        const char* refusal;
    };
    const Case cases[] = {
        {RemoteKind::Sftp, "h;touch P", "root", "Nom du serveur invalide"},
        {RemoteKind::Sftp, "example.org", "-oProxyCommand=touch P", "Utilisateur invalide"},
        {RemoteKind::Ftp, "h;touch P", "bob", "Nom du serveur invalide"},
        {RemoteKind::Ftp, "example.org", "-oProxyCommand=touch P", "Utilisateur invalide"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + " / " + c.user);
        status_message("");
        mount_through_dialog(c.kind, c.host, c.user, c.kind == RemoteKind::Ftp ? "x" : "/");
        EXPECT_TRUE(spin_until([] { return status_text() == "Mount [ERROR]"; }));
        EXPECT_NE(log_text().find(c.refusal), std::string::npos);
    }
    EXPECT_TRUE(recorded.empty());
    EXPECT_FALSE(exists("P"));
    EXPECT_FALSE(exists(home().file("P")));
    EXPECT_FALSE(exists(home().file("MOUNT")));
    EXPECT_EQ(read_file(config_path("orvane_sftp")), "");
    EXPECT_EQ(read_file(config_path("orvane_ftp")), "FTP bob \n");

    // A host called "FTP" is a row like any other; only the root does nothing.
    choose_row(RemoteKind::Ftp, "0");
    EXPECT_EQ(toplevel("ftp_mount_dialog"), nullptr);
    choose_row(RemoteKind::Ftp, "0:0");
    GtkWidget* dialog = toplevel("ftp_mount_dialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(field(dialog, "host"), "FTP");
    EXPECT_EQ(field(dialog, "user"), "bob");
    EXPECT_EQ(gtk_window_get_focus(GTK_WINDOW(dialog)), named_in(dialog, "password"));
    ASSERT_TRUE(spin_until([dialog] { return gtk_widget_get_realized(dialog); }));
    EXPECT_TRUE(press_key(dialog, GDK_KEY_Escape)); // the window is gone before the release
    EXPECT_TRUE(spin_until([] { return toplevel("ftp_mount_dialog") == nullptr; }));
    EXPECT_TRUE(recorded.empty());

    click(RemoteKind::Ftp, "clear_history");
    EXPECT_EQ(read_file(config_path("orvane_ftp")), "");
    EXPECT_TRUE(history_rows(RemoteKind::Ftp).empty());

    // "Recharger MyAdmin" reads the address list again.
    GtkTreeView* myadmin = GTK_TREE_VIEW(named_in(window(), "myadmin_list"));
    ASSERT_NE(myadmin, nullptr);
    write_config_file("orvane_myadmin", "about:blank\n");
    ASSERT_TRUE(activate_menu_item("Recharger MyAdmin"));
    GtkTreeModel* model = gtk_tree_view_get_model(myadmin);
    GtkTreeIter root;
    ASSERT_TRUE(gtk_tree_model_get_iter_first(model, &root));
    EXPECT_EQ(gtk_tree_model_iter_n_children(model, &root), 1);
}

} // namespace
