#include <cerrno>
#include <cstring>
#include <filesystem>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "documents/safe_write.h"
#include "support/temp_home.h"

namespace fs = std::filesystem;

namespace {
unsigned mode_of(const std::string& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st.st_mode & 07777;
}
std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename());
    std::sort(out.begin(), out.end());
    return out;
}
} // namespace

TEST(SafeWrite, ReplacesContentKeepsModeAndLeavesNoTemporaryFile) {
    TempHome home;
    const std::string p = home.file("script.sh");
    write_file(p, "old content that is longer\n");
    chmod(p.c_str(), 0750);
    auto r = write_file_safely(p, "new\n");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(read_file(p), "new\n");
    EXPECT_EQ(mode_of(p), 0750u);
    EXPECT_EQ(entries(home.path()), std::vector<std::string>{"script.sh"});
}

TEST(SafeWrite, NewFileGetsTheUsualModeAndBinaryBytesSurvive) {
    TempHome home;
    const std::string p = home.file("new.bin");
    const std::string bytes("a\0b\r\n\xff", 6);
    ASSERT_TRUE(write_file_safely(p, bytes).ok);
    EXPECT_EQ(read_file(p), bytes);
    mode_t mask = umask(0);
    umask(mask);
    EXPECT_EQ(mode_of(p), 0666u & ~mask);
}

TEST(SafeWrite, WritesThroughARelativeSymbolicLinkAndKeepsTheLink) {
    TempHome home;
    fs::create_directory(home.file("real"));
    fs::create_directory(home.file("links"));
    write_file(home.file("real/target.txt"), "before");
    fs::create_symlink("../real/target.txt", home.file("links/link.txt"));
    EXPECT_EQ(write_target_of(home.file("links/link.txt")),
              home.file("links/../real/target.txt"));
    ASSERT_TRUE(write_file_safely(home.file("links/link.txt"), "after").ok);
    EXPECT_TRUE(fs::is_symlink(home.file("links/link.txt")));
    EXPECT_EQ(read_file(home.file("real/target.txt")), "after");
}

TEST(SafeWrite, RefusesDirectoriesAndReadOnlyFilesWithoutTouchingThem) {
    TempHome home;
    EXPECT_FALSE(write_file_safely(home.path(), "x").ok);
    const std::string p = home.file("ro.txt");
    write_file(p, "keep");
    chmod(p.c_str(), 0444);
    if (geteuid() != 0) {
        EXPECT_FALSE(write_file_safely(p, "lost").ok);
        EXPECT_EQ(read_file(p), "keep");
    }
    EXPECT_FALSE(write_file_safely(home.file("missing/dir/f.txt"), "x").ok);
}

TEST(SafeWrite, AFileSizeLimitFailsTheWriteAndKeepsTheOriginalByteForByte) {
    TempHome home;
    const std::string p = home.file("big.txt");
    const std::string original(5000, 'o');
    write_file(p, original);
    pid_t child = fork();
    if (child == 0) {
        // In a child: the limit would otherwise hold for the rest of the test run.
        struct rlimit limit {1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        auto r = write_file_safely(p, std::string(100000, 'n'));
        _exit(r.ok ? 1 : (r.error.empty() ? 2 : 0));
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "the write must not end the process";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the failure is reported with a reason";
    EXPECT_EQ(read_file(p), original);
    EXPECT_EQ(entries(home.path()), std::vector<std::string>{"big.txt"});
}

namespace {
struct stat stat_of(const std::string& p) {
    struct stat st {};
    stat(p.c_str(), &st);
    return st;
}

// Runs `body` in a child process; its exit status (or -1 when it did not exit).
template <typename Body> int in_child(Body body) {
    pid_t child = fork();
    if (child == 0) _exit(body());
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST(SafeWrite, AHardLinkedFileIsWrittenInPlaceAndAFullDiskChangesNoByte) {
    TempHome home;
    const std::string a = home.file("a.txt"), b = home.file("b.txt");
    write_file(a, "the text both names share\n");
    ASSERT_EQ(link(a.c_str(), b.c_str()), 0);
    const ino_t inode = stat_of(a).st_ino;

    ASSERT_TRUE(write_file_safely(b, "short\n").ok);
    EXPECT_EQ(read_file(a), "short\n");
    EXPECT_EQ(stat_of(a).st_ino, inode);
    EXPECT_EQ(stat_of(b).st_nlink, 2u);
    EXPECT_EQ(entries(home.path()), (std::vector<std::string>{"a.txt", "b.txt"}));

    // The new size is reserved before any byte is written: a limit the longer
    // text would cross fails the write and leaves both names as they were.
    const int status = in_child([&] {
        struct rlimit limit {1024, 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        auto r = write_file_safely(a, std::string(100000, 'n'));
        return r.ok ? 1 : (r.error.empty() ? 2 : 0);
    });
    EXPECT_EQ(status, 0) << "the failure is reported with a reason";
    EXPECT_EQ(read_file(b), "short\n");
    EXPECT_EQ(stat_of(b).st_size, 6);
}

TEST(SafeWrite, ExtendedAttributesStayWithTheFile) {
    TempHome home;
    const std::string p = home.file("tagged.txt");
    write_file(p, "old");
    if (setxattr(p.c_str(), "user.orvane.note", "kept", 4, 0) != 0)
        GTEST_SKIP() << "this file system holds no user attributes: " << strerror(errno);
    ASSERT_TRUE(write_file_safely(p, "new").ok);
    EXPECT_EQ(read_file(p), "new");
    char value[16] = {};
    EXPECT_EQ(getxattr(p.c_str(), "user.orvane.note", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
}

// An unprivileged user (nobody, in one shared group) saving: files prepared by
// root for that user, the save run in a child that has dropped root.
TEST(SafeWriteAsUser, KeepsOwnerAndGroupAndSavesInAFolderItMayNotWrite) {
    if (geteuid() != 0)
        GTEST_SKIP() << "preparing files of other users and becoming one needs root";
    const uid_t user = 65534, owner = 4243;
    const gid_t shared = 4242;
    TempHome home;
    chmod(home.path().c_str(), 0755);

    // A group-shared file of another user, in a folder everybody may write.
    const std::string open_dir = home.file("shared");
    mkdir(open_dir.c_str(), 0777);
    chmod(open_dir.c_str(), 0777);
    const std::string shared_file = open_dir + "/team.txt";
    write_file(shared_file, "team text\n");
    ASSERT_EQ(chown(shared_file.c_str(), owner, shared), 0);
    chmod(shared_file.c_str(), 0664);

    // The user's own file in a folder only root may write.
    const std::string closed_dir = home.file("closed");
    mkdir(closed_dir.c_str(), 0755);
    const std::string own_file = closed_dir + "/mine.txt";
    write_file(own_file, "my old text\n");
    ASSERT_EQ(chown(own_file.c_str(), user, user), 0);

    struct Case {
        std::string path, text;
    };
    for (const Case& c : {Case{shared_file, "team text, edited\n"},
                          Case{own_file, "my new text, longer than before\n"}}) {
        const int status = in_child([&] {
            if (setgroups(1, &shared) != 0 || setgid(user) != 0 || setuid(user) != 0) return 3;
            return write_file_safely(c.path, c.text).ok ? 0 : 1;
        });
        EXPECT_EQ(status, 0) << c.path;
        EXPECT_EQ(read_file(c.path), c.text);
    }
    EXPECT_EQ(stat_of(shared_file).st_uid, owner);
    EXPECT_EQ(stat_of(shared_file).st_gid, shared);
    EXPECT_EQ(stat_of(shared_file).st_mode & 07777, 0664u);
    EXPECT_EQ(entries(open_dir), std::vector<std::string>{"team.txt"});
}
