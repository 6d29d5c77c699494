// Whole-file reads and writes and the file copy.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "shell/lines.h"
#include "support/temp_home.h"

namespace {

TEST(FileRead, MissingFileIsNone) {
    TempHome home;
    EXPECT_FALSE(file_read_all(home.file("missing")));
    EXPECT_FALSE(file_to_lines(home.file("missing")));
    EXPECT_FALSE(file_to_lines_max(home.file("missing"), 3));
}

TEST(FileRead, ContentIsSplitLikeText) {
    TempHome home;
    const std::string path = home.file("f");
    write_file(path, "one\r\ntwo\n\nthree\n");
    ASSERT_TRUE(file_to_lines(path));
    EXPECT_EQ(*file_to_lines(path), (Lines{"one\r", "two", "", "three", ""}));
    EXPECT_EQ(*file_to_lines_max(path, 2), (Lines{"one\r", "two"}));
    write_file(path, "");
    ASSERT_TRUE(file_to_lines(path));
    EXPECT_TRUE(file_to_lines(path)->empty());
}

TEST(FileRead, BinaryContentIsKeptWhole) {
    TempHome home;
    const std::string path = home.file("bin");
    const std::string bytes("a\0b\xff\n", 5);
    write_file(path, bytes);
    EXPECT_EQ(file_read_all(path), bytes);
}

TEST(FileWrite, LinesToFileEndsEveryElement) {
    TempHome home;
    const std::string path = home.file("out");
    write_file(path, "older and much longer content\n");
    EXPECT_TRUE(lines_to_file({"a", "", "b"}, path));
    EXPECT_EQ(read_file(path), "a\n\nb\n");
    EXPECT_TRUE(lines_to_file({}, path));
    EXPECT_EQ(read_file(path), "");
    EXPECT_FALSE(lines_to_file({"a"}, home.file("no/such/dir/out")));
}

TEST(FileWrite, StringToFileTruncatesAndAppendAdds) {
    TempHome home;
    const std::string path = home.file("s");
    EXPECT_TRUE(string_to_file(path, "first text"));
    EXPECT_TRUE(string_to_file(path, "new"));
    EXPECT_EQ(read_file(path), "new");
    EXPECT_TRUE(string_append_to_file(path, "+more"));
    EXPECT_EQ(read_file(path), "new+more");
    EXPECT_TRUE(string_append_to_file(home.file("created"), "x"));
    EXPECT_EQ(read_file(home.file("created")), "x");
    EXPECT_TRUE(string_to_file(path, ""));
    EXPECT_EQ(read_file(path), "");
    EXPECT_FALSE(string_to_file(home.file("missing/dir/s"), "x"));
    EXPECT_FALSE(string_append_to_file(home.file("missing/dir/s"), "x"));
}

TEST(FileCopy, MissingSourceOrDestinationDirectoryFails) {
    TempHome home;
    const std::string source = home.file("src");
    write_file(source, "keep me");
    EXPECT_FALSE(file_copy(source, home.file("missing/dest")));
    EXPECT_EQ(read_file(source), "keep me");
    EXPECT_FALSE(file_copy(home.file("absent"), home.file("dest")));
    struct stat st {};
    EXPECT_NE(stat(home.file("dest").c_str(), &st), 0) << "no destination for a missing source";
}

std::string patterned(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xff);
    return s;
}

TEST(FileCopy, CopiesByteForByteAcrossChunkBoundaries) {
    TempHome home;
    for (std::size_t size : {std::size_t{0}, std::size_t{1}, std::size_t{65534}, std::size_t{65535},
                             std::size_t{65536}, std::size_t{2 * 65535},
                             std::size_t{200000}}) {
        SCOPED_TRACE(size);
        const std::string source = home.file("src");
        const std::string dest = home.file("dest");
        const std::string bytes = patterned(size);
        write_file(source, bytes);
        write_file(dest, std::string(300000, 'z')); // truncated by the copy
        EXPECT_TRUE(file_copy(source, dest));
        EXPECT_EQ(read_file(dest), bytes);
        EXPECT_EQ(read_file(source), bytes);
    }
}

TEST(FileCopy, DirectoryAsSourceFails) {
    TempHome home;
    EXPECT_FALSE(file_copy(home.path(), home.file("dest")));
}

} // namespace
