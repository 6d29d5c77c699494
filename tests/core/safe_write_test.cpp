#include <gtest/gtest.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
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
