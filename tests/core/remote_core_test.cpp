// Mount fields, history files, the mount table and the tool commands, without
// any server: the rules that decide what may run and what gets written.
#include <gtest/gtest.h>

#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include "remote/mount_plans.h"
#include "remote/mount_table.h"
#include "remote/remote_fields.h"
#include "remote/remote_history.h"
#include "remote/remote_mount.h"
#include "shell/commands.h"
#include "support/temp_home.h"

namespace {

TEST(RemoteFields, HostUserPasswordAndPathRules) {
    struct HostCase {
        const char* field;
        const char* name; // null: refused
        const char* port;
        bool ipv6;
    };
    const HostCase hosts[] = {
        {"example.org", "example.org", "", false},
        {"ftp.my-site_2.example.org.", "ftp.my-site_2.example.org.", "", false},
        {"FTP", "FTP", "", false},
        {"10.0.0.1:2121", "10.0.0.1", "2121", false},
        {"localhost:65535", "localhost", "65535", false},
        {"[::1]", "::1", "", true},
        {"[2001:db8::1]:22", "2001:db8::1", "22", true},
        {"", nullptr, "", false},
        {"h;touch P", nullptr, "", false},
        {"-oProxyCommand=touch P", nullptr, "", false},
        {"-h", nullptr, "", false},
        {"a b", nullptr, "", false},
        {"/", nullptr, "", false},
        {".", nullptr, "", false},
        {"..", nullptr, "", false},
        {"a/b", nullptr, "", false},
        {"a..b", nullptr, "", false},
        {"$(id)", nullptr, "", false},
        {"h:", nullptr, "", false},
        {"h:0", nullptr, "", false},
        {"h:021", nullptr, "", false},
        {"h:65536", nullptr, "", false},
        {"h:2x", nullptr, "", false},
        {"::1", nullptr, "", false},
        {"[::1", nullptr, "", false},
        {"[::1]x", nullptr, "", false},
        {"[fe80::1%eth0]", nullptr, "", false},
        {"[10.0.0.1]", nullptr, "", false},
        {"héte", nullptr, "", false},
    };
    for (const auto& c : hosts) {
        SCOPED_TRACE(c.field);
        auto parsed = parse_host_field(c.field);
        ASSERT_EQ(parsed.has_value(), c.name != nullptr);
        if (!parsed) continue;
        EXPECT_EQ(parsed->name, c.name);
        EXPECT_EQ(parsed->port, c.port);
        EXPECT_EQ(parsed->ipv6, c.ipv6);
    }
    EXPECT_FALSE(parse_host_field(std::string("[::\0';touch P]:21", 17)));
    for (const char* user : {"root", "a.b_c-d", "Bob1"})
        EXPECT_TRUE(valid_user_field(user)) << user;
    for (const char* user :
         {"", "-oProxyCommand=touch P", "-u", "a b", "a,b", "a;b", "u@h", "u:p", "é"})
        EXPECT_FALSE(valid_user_field(user)) << user;
    EXPECT_TRUE(valid_password_field("p;$(x) ' ,\"é"));
    EXPECT_TRUE(valid_password_field(""));
    EXPECT_FALSE(valid_password_field("a\nb"));
    EXPECT_FALSE(valid_password_field("ab\r"));
    for (const char* path : {"/", "", "/var/www/it's;$(x)", "-x"})
        EXPECT_TRUE(valid_remote_path_field(path)) << path;
    for (const char* path : {"/a b", "/a\nb", "/a\tb"})
        EXPECT_FALSE(valid_remote_path_field(path));
}

TEST(RemoteHistory, ReadsOldAndNewLinesAndNeverShowsPasswords) {
    // Older FTP lines hold the password, newer ones do not; a last piece without
    // its line feed is not a row yet.
    const auto lines = history_lines("h u secret \nh2:2121 u2 \nhalf line");
    ASSERT_EQ(lines, (std::vector<std::string>{"h u secret ", "h2:2121 u2 "}));
    HistoryRow old = parse_history_line(lines[0]);
    EXPECT_EQ(old.host, "h");
    EXPECT_EQ(old.user, "u");
    EXPECT_EQ(old.third, "secret");
    EXPECT_EQ(ftp_row_label(old), "h u");
    HistoryRow fresh = parse_history_line(lines[1]);
    EXPECT_EQ(fresh.host, "h2:2121");
    EXPECT_EQ(fresh.third, "");
    EXPECT_EQ(ftp_history_line("h2:2121", "u2"), "h2:2121 u2 \n");

    EXPECT_EQ(sftp_history_line("[::1]:22", "root", "/var/www"), "[::1]:22 root /var/www \n");
    HistoryRow sftp = parse_history_line(history_lines(sftp_history_line("h", "root", "/"))[0]);
    EXPECT_EQ(sftp_row_label(sftp), "h root /");
    EXPECT_EQ(parse_history_line("h root  ").third, "");
    EXPECT_EQ(parse_history_line("").host, "");
}

TEST(RemoteHistory, WritesArePrivateAndKeepEarlierLines) {
    TempHome home;
    auto mode_of = [](const std::string& path) {
        struct stat st {};
        return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0u;
    };
    const std::string fresh = home.file("orvane_ftp");
    ASSERT_TRUE(append_history_line(fresh, ftp_history_line("h", "u")));
    EXPECT_EQ(read_file(fresh), "h u \n");
    EXPECT_EQ(mode_of(fresh), 0600u);

    // A readable file from an older version, its last line unterminated.
    const std::string old = home.file("orvane_sftp");
    write_file(old, "a root / \nb root /srv");
    ::chmod(old.c_str(), 0644);
    ASSERT_TRUE(append_history_line(old, sftp_history_line("c", "root", "/")));
    EXPECT_EQ(read_file(old), "a root / \nb root /srv\nc root / \n");
    EXPECT_EQ(mode_of(old), 0600u);
    ::chmod(old.c_str(), 0644);
    ASSERT_TRUE(clear_history_file(old));
    EXPECT_EQ(read_file(old), "");
    EXPECT_EQ(mode_of(old), 0600u);

    // Something that is not a regular file is never read nor replaced.
    const std::string folder = home.file("folder");
    g_mkdir(folder.c_str(), 0700);
    std::string why;
    EXPECT_FALSE(read_history_file(folder));
    EXPECT_FALSE(append_history_line(folder, "x \n", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_TRUE(g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR));
}

TEST(MountTable, ParsesMountinfoAndMatchesFoldersThroughLinks) {
    TempHome home;
    char* real = realpath(home.path().c_str(), nullptr);
    const std::string base = real;
    free(real);
    const std::string text = "22 27 0:21 / /proc rw,relatime - proc proc rw\n"
                             "45 27 0:40 / " +
                             base +
                             "/MOUNT/a\\040b rw,nosuid shared:5 master:1 - fuse.sshfs "
                             "root@h:/srv rw,user_id=0\n"
                             "garbage line\n"
                             "46 27 0:41 / " +
                             base + "/MOUNT/h:2121 rw - fuse.rclone :ftp{x}: rw";
    auto entries = parse_mountinfo(text);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].point, base + "/MOUNT/a b");
    EXPECT_EQ(entries[1].fstype, "fuse.sshfs");
    EXPECT_EQ(entries[1].source, "root@h:/srv");
    EXPECT_EQ(entries[2].fstype, "fuse.rclone");

    const std::string link = home.file("link");
    g_mkdir(home.file("MOUNT").c_str(), 0700);
    ASSERT_EQ(symlink(base.c_str(), link.c_str()), 0);
    EXPECT_TRUE(is_mount_point_in(entries, link + "/MOUNT/h:2121"));
    EXPECT_TRUE(is_mount_point_in(entries, home.path() + "/MOUNT/a b"));
    EXPECT_FALSE(is_mount_point_in(entries, home.path() + "/MOUNT/h"));

    EXPECT_FALSE(read_mount_table().empty());
    EXPECT_EQ(folder_state(home.file("none")), FolderState::Absent);
    EXPECT_EQ(folder_state(home.path()), FolderState::Plain);
}

TEST(MountCommands, EachToolGetsItsVectorAndNoPasswordInIt) {
    TempHome home;
    EXPECT_EQ(mount_folder_for("[::1]:2121"), home.path() + "/MOUNT/[::1]:2121");
    const std::string folder = mount_folder_for("h");
    const HostAddress v6 = *parse_host_field("[::1]:2121");
    const HostAddress plain = *parse_host_field("ftp.example.org");

    ArgvCommand obscure = rclone_obscure_command("/usr/bin/rclone", "pa ss");
    EXPECT_EQ(obscure.argv, (std::vector<std::string>{"/usr/bin/rclone", "obscure", "-"}));
    EXPECT_EQ(obscure.input, "pa ss\n");

    ArgvCommand rclone = rclone_mount_command("rclone", v6, "bob", "OBSCURED", folder);
    EXPECT_EQ(rclone.argv,
              (std::vector<std::string>{"rclone", "mount", ":ftp:", folder, "--daemon",
                                        "--daemon-wait", "10s", "--vfs-cache-mode", "off",
                                        "--contimeout", "10s", "--timeout", "60s"}));
    using Env = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(rclone.env, (Env{{"RCLONE_CONFIG", "/dev/null"},
                               {"RCLONE_FTP_HOST", "::1"},
                               {"RCLONE_FTP_PORT", "2121"},
                               {"RCLONE_FTP_USER", "bob"},
                               {"RCLONE_FTP_PASS", "OBSCURED"}}));
    EXPECT_FALSE(rclone.input);
    EXPECT_EQ(rclone_mount_command("rclone", plain, "bob", "O", folder).env[2].second, "21");

    ArgvCommand curl = curlftpfs_mount_command("curlftpfs", v6, "bob", "s3cret", folder);
    EXPECT_EQ(curl.argv,
              (std::vector<std::string>{"curlftpfs", "-o", "user=bob", "[::1]:2121", folder}));
    EXPECT_EQ(curl.input, "s3cret\n");
    EXPECT_EQ(curlftpfs_mount_command("curlftpfs", plain, "bob", "", folder).argv[2], "user=bob:");

    ArgvCommand sshfs = sshfs_mount_command("sshfs", v6, "root", "/var/www", folder, "/t/cfg");
    EXPECT_EQ(sshfs.argv,
              (std::vector<std::string>{
                  "sshfs", "-p", "2121", "-F", "/t/cfg", "-o",
                  "BatchMode=yes,ConnectTimeout=10,ServerAliveInterval=5,ServerAliveCountMax=3,"
                  "StrictHostKeyChecking=accept-new",
                  "--", "root@[::1]:/var/www", folder}));
    EXPECT_FALSE(sshfs.input); // /dev/null: nothing to answer a question with
    EXPECT_EQ(sshfs_mount_command("sshfs", plain, "u", "", folder, "").argv,
              (std::vector<std::string>{
                  "sshfs", "-o",
                  "BatchMode=yes,ConnectTimeout=10,ServerAliveInterval=5,ServerAliveCountMax=3,"
                  "StrictHostKeyChecking=accept-new",
                  "--", "u@ftp.example.org:", folder}));

    EXPECT_EQ(unmount_command("fusermount3", folder, false).argv,
              (std::vector<std::string>{"fusermount3", "-u", "--", folder}));
    EXPECT_EQ(unmount_command("fusermount3", folder, true).argv[1], "-uz");
    for (const ArgvCommand* c : {&obscure, &rclone, &curl, &sshfs})
        EXPECT_GT(c->time_limit_ms, 0);
}

// Stub tools that write each argument they receive on a line of their own, so a
// test sees exactly what arrived.
struct StubTools {
    explicit StubTools(const TempHome& home) : dir(home.file("bin")), log(home.file("args")) {
        g_mkdir(dir.c_str(), 0700);
        for (const char* name : {"curlftpfs", "rclone", "sshfs", "fusermount3", "ssh-add"}) {
            const std::string path = dir + "/" + name;
            write_file(path, "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done >> '" + log + "'\n");
            ::chmod(path.c_str(), 0700);
        }
    }
    std::vector<std::string> arguments() const {
        std::vector<std::string> out;
        for (auto& l : history_lines(read_file(log)))
            out.push_back(l);
        g_unlink(log.c_str());
        return out;
    }
    std::string dir, log;
};

// Hostile paths and folder names go through /bin/sh (as the logs show the
// commands) and through the vectors themselves; each argument arrives whole.
TEST(MountCommands, HostileValuesArriveWholeThroughTheShell) {
    TempHome home;
    StubTools stubs(home);
    const std::string folder = home.file("a b;touch PWNED'$(touch PWNED)`touch PWNED`");
    const HostAddress host = *parse_host_field("h:2222");
    const std::vector<ArgvCommand> commands = {
        sshfs_mount_command(stubs.dir + "/sshfs", host, "u", "/it's;$(touch PWNED)", folder,
                            home.file("c'fg")),
        rclone_mount_command(stubs.dir + "/rclone", host, "u", "x", folder),
        curlftpfs_mount_command(stubs.dir + "/curlftpfs", host, "u", "p", folder),
        unmount_command(stubs.dir + "/fusermount3", folder, false),
    };
    for (const auto& c : commands) {
        SCOPED_TRACE(c.argv[0]);
        const std::vector<std::string> expected(c.argv.begin() + 1, c.argv.end());
        ASSERT_EQ(
            run_shell_sync("cd " + shell_quote(home.path()) + " && " + argv_to_shell_line(c.argv)),
            0);
        EXPECT_EQ(stubs.arguments(), expected);
        ArgvCommand direct = c;
        direct.input.reset();
        ASSERT_TRUE(run_argv_sync(direct).ok());
        EXPECT_EQ(stubs.arguments(), expected);
    }
    EXPECT_FALSE(g_file_test(home.file("PWNED").c_str(), G_FILE_TEST_EXISTS));
}

MountOutcome mount_and_wait(const MountRequest& request) {
    std::optional<MountOutcome> got;
    mount_remote_async(request, [&](const MountOutcome& o) { got = o; });
    while (!got)
        g_main_context_iteration(nullptr, TRUE);
    return *got;
}

struct PathOverride {
    explicit PathOverride(const std::string& path) : saved(g_getenv("PATH")) {
        g_setenv("PATH", path.c_str(), TRUE);
    }
    ~PathOverride() { g_setenv("PATH", saved.c_str(), TRUE); }
    std::string saved;
};

// Refused fields run nothing and create nothing; missing tools are named; a tool
// that exits 0 without mounting is a failure that leaves nothing behind.
TEST(MountRemote, RefusesBeforeRunningAndTrustsOnlyTheMountTable) {
    TempHome home;
    remote_state_reset();
    std::vector<std::vector<std::string>> ran;
    set_argv_recorder([&](const std::vector<std::string>& argv, bool) {
        ran.push_back(argv);
        return std::optional<ArgvResult>(ArgvResult{true, false, 0, "OBSCURED\n", ""});
    });
    struct Refusal {
        RemoteKind kind;
        const char *host, *user, *path, *expected;
    };
    const Refusal refusals[] = {
        {RemoteKind::Sftp, "h;touch P", "root", "/", "Nom du serveur invalide"},
        {RemoteKind::Ftp, "-oProxyCommand=touch P", "u", "", "Nom du serveur invalide"},
        {RemoteKind::Sftp, "h", "-oProxyCommand=touch P", "/", "Utilisateur invalide"},
        {RemoteKind::Ftp, "h", "a,allow_other", "", "Utilisateur invalide"},
        {RemoteKind::Sftp, "h", "root", "/a b", "Chemin sur le serveur invalide"},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.host + std::string(" ") + r.user);
        MountRequest req{r.kind, r.host, r.user, "p", r.path, false, home.file("history")};
        MountOutcome out = mount_and_wait(req);
        EXPECT_FALSE(out.ok);
        ASSERT_FALSE(out.report.lines.empty());
        EXPECT_EQ(out.report.lines[0].format.rfind(r.expected, 0), 0u)
            << out.report.lines[0].format;
        EXPECT_EQ(out.report.status, "Mount [ERROR]");
    }
    EXPECT_TRUE(ran.empty());
    EXPECT_FALSE(g_file_test(home.file("MOUNT").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_FALSE(g_file_test(home.file("history").c_str(), G_FILE_TEST_EXISTS));

    {
        PathOverride none(home.file("empty-bin"));
        MountOutcome ftp = mount_and_wait({RemoteKind::Ftp, "h", "u", "p", "", false, ""});
        EXPECT_EQ(ftp.report.lines.at(0).format,
                  "Vous devez installer le package curlftpfs ou rclone pour utiliser la fonction "
                  "montage FTP");
        MountOutcome sftp = mount_and_wait({RemoteKind::Sftp, "h", "root", "/", "", false, ""});
        EXPECT_EQ(sftp.report.lines.at(0).format,
                  "Vous devez installer le package sshfs et avoir une clef ssh valide pour "
                  "utiliser la fonction montage SFTP");
        EXPECT_TRUE(ran.empty());
    }

    // The tools "succeed" (recorder answers 0) but nothing gets mounted.
    StubTools stubs(home);
    PathOverride stub_path(stubs.dir);
    MountOutcome ftp = mount_and_wait({RemoteKind::Ftp, "h", "u", "pw", "", false, home.file("h")});
    EXPECT_FALSE(ftp.ok);
    ASSERT_EQ(ran.size(), 1u);
    EXPECT_EQ(ran[0][0], stubs.dir + "/curlftpfs"); // preferred when installed
    g_unlink((stubs.dir + "/curlftpfs").c_str());
    ran.clear();
    MountOutcome sftp = mount_and_wait({RemoteKind::Sftp, "h", "root", "/", "", false, ""});
    MountOutcome again = mount_and_wait({RemoteKind::Sftp, "h", "root", "/", "", false, ""});
    MountOutcome rclone = mount_and_wait({RemoteKind::Ftp, "h", "u", "pw", "", false, ""});
    set_argv_recorder(nullptr);

    std::vector<std::string> programs;
    for (const auto& argv : ran)
        programs.push_back(argv[0].substr(stubs.dir.size() + 1) +
                           (argv.size() > 1 ? " " + argv[1] : ""));
    // ssh-add once per run; rclone obscures, then mounts with what came out.
    EXPECT_EQ(programs, (std::vector<std::string>{"ssh-add", "sshfs -o", "sshfs -o",
                                                  "rclone obscure", "rclone mount"}));
    for (const MountOutcome* o : {&ftp, &sftp, &again, &rclone}) {
        EXPECT_FALSE(o->ok);
        EXPECT_EQ(o->report.lines.at(0).format, "%s : échec du montage");
        EXPECT_EQ(o->report.status, "Mount [ERROR]");
    }
    EXPECT_EQ(sftp.report.lines.back().kind, LM_ADVICE);
    EXPECT_FALSE(g_file_test(home.file("MOUNT/h").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_FALSE(g_file_test(home.file("h").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_TRUE(remote_state().mounted.empty());
    EXPECT_EQ(remote_state().last_host, "");

    std::optional<UnmountOutcome> un;
    unmount_all_async([&](const UnmountOutcome& o) { un = o; });
    ASSERT_TRUE(un);
    EXPECT_EQ(un->report.lines.at(0).format, "Aucun serveur monté en FTP/SFTP");
    EXPECT_EQ(un->report.status, "Umount [Error]");
}

} // namespace
