// Mounts through the real tools against servers the tests start on 127.0.0.1:
// pyftpdlib through rclone (or curlftpfs), a private sshd through sshfs.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include "documents/safe_write.h"
#include "remote/mount_table.h"
#include "remote/remote_mount.h"
#include "shell/commands.h"
#include "support/remote_servers.h"
#include "support/temp_home.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_since(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::vector<std::string> proc_cmdlines() {
    std::vector<std::string> out;
    GDir* dir = g_dir_open("/proc", 0, nullptr);
    if (!dir) return out;
    while (const char* name = g_dir_read_name(dir)) {
        if (name[0] < '0' || name[0] > '9') continue;
        std::string line = read_file(std::string("/proc/") + name + "/cmdline");
        for (char& c : line)
            if (c == '\0') c = ' ';
        out.push_back(std::move(line));
    }
    g_dir_close(dir);
    return out;
}

// Runs a mount on the main loop; meanwhile every process's command line is
// searched for `secret` every few milliseconds.
MountOutcome mount_watching(const MountRequest& request, const std::string& secret,
                            bool* secret_seen) {
    std::optional<MountOutcome> got;
    struct Watch {
        std::string secret;
        bool* seen;
    } watch{secret, secret_seen};
    guint id = g_timeout_add(
        5,
        [](gpointer data) -> gboolean {
            auto* w = static_cast<Watch*>(data);
            for (const auto& line : proc_cmdlines())
                if (!w->secret.empty() && line.find(w->secret) != std::string::npos)
                    *w->seen = true;
            return G_SOURCE_CONTINUE;
        },
        &watch);
    mount_remote_async(request, [&](const MountOutcome& o) { got = o; });
    while (!got)
        g_main_context_iteration(nullptr, TRUE);
    g_source_remove(id);
    return *got;
}

MountOutcome mount_and_wait(const MountRequest& request) {
    bool unused = false;
    return mount_watching(request, "", &unused);
}

UnmountOutcome unmount_and_wait() {
    std::optional<UnmountOutcome> got;
    unmount_all_async([&](const UnmountOutcome& o) { got = o; });
    while (!got)
        g_main_context_iteration(nullptr, TRUE);
    return *got;
}

std::vector<std::string> listing(const std::string& folder) {
    std::vector<std::string> names;
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    if (!dir) return names;
    while (const char* name = g_dir_read_name(dir))
        names.emplace_back(name);
    g_dir_close(dir);
    std::sort(names.begin(), names.end());
    return names;
}

mode_t mode_of(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// Nothing the user is shown holds the password.
void expect_no_secret(const RemoteReport& report, const std::string& secret) {
    for (const auto& line : report.lines) {
        EXPECT_EQ(line.format.find(secret), std::string::npos) << line.format;
        EXPECT_EQ(line.argument.find(secret), std::string::npos) << line.argument;
    }
    EXPECT_EQ(report.status.find(secret), std::string::npos);
    EXPECT_EQ(report.notification.find(secret), std::string::npos);
}

class RemoteMount : public ::testing::Test {
  protected:
    void SetUp() override {
        if (auto why = fuse_unusable_reason()) GTEST_SKIP() << *why;
        remote_state_reset();
        g_mkdir(home.file("srv").c_str(), 0700);
        // ssh-add would talk to the agent of whoever runs the tests: stood in for.
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
        // Whatever a failed test left mounted goes away with its folder.
        for (const auto& folder : remote_state().mounted) {
            ArgvCommand off;
            off.argv = {"fusermount3", "-uz", folder};
            off.time_limit_ms = 5000;
            run_argv_sync(off);
        }
        remote_state_reset();
    }

    // Saving through the mount the way the editor saves (temporary file, rename).
    void save_through(const std::string& folder, const std::string& server_root) {
        const std::string text = "<?php echo 'édité'; ?>\n";
        ASSERT_TRUE(write_file_safely(folder + "/index.php", text).ok);
        EXPECT_EQ(read_file(server_root + "/index.php"), text);
    }

    TempHome home;
    std::vector<std::vector<std::string>> recorded;
};

TEST_F(RemoteMount, FtpMountListSaveUnmountWithoutShowingThePassword) {
    const std::string root = home.file("srv/ftp");
    g_mkdir(root.c_str(), 0700);
    write_file(root + "/a.txt", "hello\n");
    const std::string password = "s3cr;et pa'ss$(touch PWNED)";
    FtpServer server(root, "bob", password, home.file("ftp.log"));
    ASSERT_TRUE(server.running()) << server.error();

    const std::string history = home.file("orvane_ftp");
    bool seen = false;
    const auto start = Clock::now();
    MountOutcome out =
        mount_watching({RemoteKind::Ftp, server.host_field(), "bob", password, "", false, history},
                       password, &seen);
    ASSERT_TRUE(out.ok) << out.report.lines.back().argument;
    EXPECT_EQ(listing(out.folder), (std::vector<std::string>{"a.txt"}));
    std::printf("[ figures  ] FTP mount and first listing: %.0f ms\n", ms_since(start));
    EXPECT_FALSE(seen) << "password in a process's command line";
    expect_no_secret(out.report, password);
    EXPECT_EQ(out.command.find(password), std::string::npos);

    EXPECT_EQ(out.folder, home.file("MOUNT/" + server.host_field()));
    EXPECT_EQ(out.report.status, "Mount [OK]");
    EXPECT_EQ(out.report.notification, "Mount FTP");
    EXPECT_EQ(out.report.lines.at(0).format,
              "%s montage FTP dans le répertoire Orvane_MONTAGE_SFTP");
    EXPECT_EQ(out.report.lines.at(0).argument, server.host_field());
    EXPECT_EQ(read_file(history), server.host_field() + " bob \n");
    EXPECT_EQ(mode_of(history), 0600u);
    EXPECT_EQ(remote_state().mounted, std::vector<std::string>{out.folder});
    EXPECT_EQ(read_file(out.folder + "/a.txt"), "hello\n");
    save_through(out.folder, root);

    // A second mount of the same host reuses the live mount and writes no line.
    MountOutcome again =
        mount_and_wait({RemoteKind::Ftp, server.host_field(), "bob", "", "", true, history});
    EXPECT_TRUE(again.ok);
    EXPECT_TRUE(again.reused);
    EXPECT_EQ(again.report.status, "Mount FTP [OK]");
    EXPECT_EQ(read_file(history), server.host_field() + " bob \n");
    EXPECT_EQ(remote_state().mounted.size(), 1u);

    UnmountOutcome un = unmount_and_wait();
    ASSERT_EQ(un.folders.size(), 1u);
    EXPECT_TRUE(un.folders[0].done);
    EXPECT_EQ(un.report.status, "Umount [OK]");
    EXPECT_EQ(un.report.lines.at(0).format, "%s démontage FTP/SFTP");
    EXPECT_EQ(un.report.lines.at(0).argument, server.host_field());
    EXPECT_EQ(folder_state(out.folder), FolderState::Plain);
    EXPECT_TRUE(remote_state().mounted.empty());
    EXPECT_EQ(remote_state().last_host, "");

    for (const auto& argv : recorded)
        for (const auto& a : argv)
            EXPECT_EQ(a.find(password), std::string::npos) << a;
    EXPECT_FALSE(g_file_test("PWNED", G_FILE_TEST_EXISTS));
    EXPECT_FALSE(g_file_test(home.file("PWNED").c_str(), G_FILE_TEST_EXISTS));
}

std::string sshfs_pid_for(const std::string& folder) {
    GDir* dir = g_dir_open("/proc", 0, nullptr);
    std::string found;
    while (const char* name = g_dir_read_name(dir)) {
        std::string line = read_file(std::string("/proc/") + name + "/cmdline");
        if (line.rfind("sshfs", 0) == 0 || line.find("/sshfs") < line.find('\0'))
            if (line.find(folder + '\0') != std::string::npos) found = name;
    }
    g_dir_close(dir);
    return found;
}

TEST_F(RemoteMount, SftpMountSaveBusyUnmountAndDeadMount) {
    const std::string root = home.file("srv/sftp");
    g_mkdir(root.c_str(), 0700);
    write_file(root + "/a.txt", "hello\n");
    g_mkdir(home.file("sshd").c_str(), 0700);
    SshServer server(home.file("sshd"));
    ASSERT_TRUE(server.running()) << server.error();
    set_sftp_ssh_config(server.client_config());

    const std::string history = home.file("orvane_sftp");
    const auto start = Clock::now();
    MountOutcome out = mount_and_wait(
        {RemoteKind::Sftp, server.host_field(), server.user(), "", root, false, history});
    ASSERT_TRUE(out.ok) << out.report.lines.back().argument;
    EXPECT_EQ(listing(out.folder), (std::vector<std::string>{"a.txt"}));
    std::printf("[ figures  ] SFTP mount and first listing: %.0f ms\n", ms_since(start));
    EXPECT_EQ(out.report.lines.at(0).format,
              "%s montage SFTP dans le répertoire Orvane_MONTAGE_SFTP");
    EXPECT_EQ(read_file(history), server.host_field() + " " + server.user() + " " + root + " \n");
    EXPECT_EQ(mode_of(history), 0600u);
    save_through(out.folder, root);

    // A folder in use cannot be unmounted: reported with its folder, kept in the list.
    int busy = ::open(out.folder.c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(busy, 0);
    UnmountOutcome refused = unmount_and_wait();
    ::close(busy);
    ASSERT_EQ(refused.folders.size(), 1u);
    EXPECT_FALSE(refused.folders[0].done);
    EXPECT_TRUE(refused.folders[0].busy);
    EXPECT_EQ(refused.report.status, "Umount [ERROR]");
    EXPECT_EQ(refused.report.lines.at(0).format, "%s : démontage impossible");
    EXPECT_EQ(refused.report.lines.at(0).argument, out.folder);
    EXPECT_EQ(refused.report.lines.back().kind, LM_ADVICE);
    EXPECT_EQ(folder_state(out.folder), FolderState::Mounted);
    EXPECT_EQ(remote_state().mounted, std::vector<std::string>{out.folder});

    // The server side goes away: the dead mount is detached and mounted anew.
    const std::string pid = sshfs_pid_for(out.folder);
    ASSERT_FALSE(pid.empty());
    ::kill(std::atoi(pid.c_str()), SIGKILL);
    for (int i = 0; i < 100 && folder_state(out.folder) != FolderState::Dead; ++i)
        g_usleep(20000);
    ASSERT_EQ(folder_state(out.folder), FolderState::Dead);
    MountOutcome revived = mount_and_wait(
        {RemoteKind::Sftp, server.host_field(), server.user(), "", root, true, history});
    ASSERT_TRUE(revived.ok);
    EXPECT_EQ(revived.report.lines.at(0).format, "%s : ancien montage mort détaché");
    EXPECT_EQ(revived.report.status, "Mount SFTP [OK]");
    EXPECT_EQ(read_file(revived.folder + "/a.txt"), "hello\n");

    UnmountOutcome un = unmount_and_wait();
    EXPECT_EQ(un.report.status, "Umount [OK]");
    EXPECT_EQ(folder_state(out.folder), FolderState::Plain);
    // ssh-add was asked once, before the first mount only.
    int asked = 0;
    for (const auto& argv : recorded)
        asked += g_str_has_suffix(argv[0].c_str(), "ssh-add");
    EXPECT_EQ(asked, 1);
}

struct FailureCase {
    const char* what;
    MountRequest request;
    bool by_time_limit;
};

// Each failure is the tool's own answer or the time limit, reported as such, and
// leaves nothing remembered and no folder behind.
void expect_failures(const std::vector<FailureCase>& cases) {
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto start = Clock::now();
        MountOutcome out = mount_and_wait(c.request);
        std::printf("[ figures  ] %s: failed after %.1f s\n", c.what, ms_since(start) / 1000);
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.report.status, "Mount [ERROR]");
        expect_no_secret(out.report, c.request.password.empty() ? "\x01" : c.request.password);
        ASSERT_FALSE(out.report.lines.empty());
        EXPECT_EQ(out.report.lines[0].format,
                  c.by_time_limit ? "%s : le serveur ne répond pas, montage abandonné après 30 s"
                                  : "%s : échec du montage");
        if (!c.by_time_limit) {
            EXPECT_EQ(out.report.lines.at(1).format, "%s"); // the tool's own words
        }
        EXPECT_EQ(folder_state(out.folder), FolderState::Absent);
        EXPECT_TRUE(remote_state().mounted.empty());
        EXPECT_EQ(remote_state().last_host, "");
        EXPECT_FALSE(g_file_test(c.request.history_file.c_str(), G_FILE_TEST_EXISTS));
    }
}

TEST_F(RemoteMount, RefusedLoginsAndClosedPortsRememberNothing) {
    const std::string root = home.file("srv/ftp");
    g_mkdir(root.c_str(), 0700);
    FtpServer ftp(root, "bob", "right", home.file("ftp.log"));
    ASSERT_TRUE(ftp.running()) << ftp.error();
    g_mkdir(home.file("sshd").c_str(), 0700);
    SshServer ssh(home.file("sshd"));
    ASSERT_TRUE(ssh.running()) << ssh.error();
    set_sftp_ssh_config(ssh.client_config());
    ssh.replace_client_key();
    const std::string closed = "127.0.0.1:" + std::to_string(free_tcp_port());
    const std::string history = home.file("history");
    expect_failures({
        {"FTP wrong password",
         {RemoteKind::Ftp, ftp.host_field(), "bob", "wr0ng-Secret", "", false, history},
         false},
        {"FTP closed port", {RemoteKind::Ftp, closed, "bob", "right", "", false, history}, false},
        {"SFTP key refused",
         {RemoteKind::Sftp, ssh.host_field(), ssh.user(), "", "/", false, history},
         false},
        {"SFTP closed port",
         {RemoteKind::Sftp, closed, ssh.user(), "", "/", false, history},
         false},
    });
}

TEST_F(RemoteMount, SilentServersFailWithinTheTimeLimit) {
    SilentServer silent;
    ASSERT_GT(silent.port(), 0);
    const std::string history = home.file("history");
    expect_failures({
        // ssh gives up by itself (ConnectTimeout); rclone has to be stopped.
        {"SFTP silent server",
         {RemoteKind::Sftp, silent.host_field(), "root", "", "/", false, history},
         false},
        {"FTP silent server",
         {RemoteKind::Ftp, silent.host_field(), "bob", "x", "", false, history},
         true},
    });
}

} // namespace
