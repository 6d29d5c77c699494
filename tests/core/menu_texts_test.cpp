#include <gtest/gtest.h>
#include <sys/stat.h>

#include "shell/menu_texts.h"
#include "support/temp_home.h"

namespace {

TEST(DirectoryFileNames, ListsFilesOnlySortedAndNothingForMissingFolder) {
    TempHome home;
    std::string dir = home.file("templates");
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    write_file(dir + "/zeta.html", "z");
    write_file(dir + "/alpha.sh", "a");
    write_file(dir + "/a b;c", "x");
    ASSERT_EQ(mkdir((dir + "/subdir").c_str(), 0700), 0);

    Lines names = directory_file_names(dir);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names, (Lines{"a b;c", "alpha.sh", "zeta.html"}));
    // A trailing slash names the same folder.
    EXPECT_EQ(directory_file_names(dir + "/"), names);
    EXPECT_TRUE(directory_file_names(home.file("missing")).empty());
}

TEST(EnsurePrivateDir, CreatesWithMode0700OnceAndFailsUnderAFile) {
    TempHome home;
    std::string dir = home.file("sessions");
    ASSERT_TRUE(ensure_private_dir(dir));
    struct stat st {};
    ASSERT_EQ(stat(dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_TRUE(ensure_private_dir(dir)); // already there

    write_file(home.file("plain"), "");
    EXPECT_FALSE(ensure_private_dir(home.file("plain")));
    EXPECT_FALSE(ensure_private_dir(home.file("no/such/parent")));
}

TEST(MenuLabels, EmptyLinesGiveNoItems) {
    EXPECT_EQ(menu_labels_from_lines({"a", "", "b", ""}), (Lines{"a", "b"}));
    EXPECT_TRUE(menu_labels_from_lines({}).empty());
}

TEST(RecentMenu, FirstMaxEntriesNonEmptyAndRemovalOfFirstMatch) {
    Lines recent{"/a,UTF-8,0", "", "/b,UTF-8,3", "/c,UTF-8,1", "/a,UTF-8,0"};
    EXPECT_EQ(recent_menu_labels(recent, 3), (Lines{"/a,UTF-8,0", "/b,UTF-8,3"}));
    EXPECT_EQ(recent_menu_labels(recent, 0), Lines{});
    EXPECT_EQ(recent_menu_labels(recent, -2), Lines{});

    recent_remove_first(recent, "/a,UTF-8,0");
    EXPECT_EQ(recent, (Lines{"", "/b,UTF-8,3", "/c,UTF-8,1", "/a,UTF-8,0"}));
    recent_remove_first(recent, "/not-there");
    EXPECT_EQ(recent.size(), 4u);
}

TEST(UserMenu, LabelsSortedAndCommandQuotesTheFileName) {
    KeyTable table = parse_key_text("lint=perl -c %s\nkwrite=kwrite %s &\n#c=x\nplain=make\n");
    EXPECT_EQ(user_menu_labels(table), (Lines{"kwrite", "lint", "plain"}));

    EXPECT_EQ(user_menu_command(table, "lint", "/tmp/a.pl"), "perl -c /tmp/a.pl");
    // A file name that is a shell sentence stays one word.
    EXPECT_EQ(user_menu_command(table, "kwrite", "/tmp/a b;rm -x"), "kwrite '/tmp/a b;rm -x' &");
    EXPECT_EQ(user_menu_command(table, "kwrite", "/tmp/it's"), "kwrite '/tmp/it'\\''s' &");
    EXPECT_EQ(user_menu_command(table, "plain", "/tmp/a"), "make");
    EXPECT_EQ(user_menu_command(table, "unknown", "/tmp/a"), std::nullopt);
}

TEST(SnippetEdit, SelectionAndPlaceholderDecideWhatHappens) {
    auto wrapped = snippet_edit("<b>%s</b>", std::string("mot"));
    ASSERT_TRUE(wrapped);
    EXPECT_EQ(wrapped->kind, SnippetEdit::replace_selection);
    EXPECT_EQ(wrapped->text, "<b>mot</b>");

    auto literal = snippet_edit("<b>%s</b>", std::nullopt);
    ASSERT_TRUE(literal);
    EXPECT_EQ(literal->kind, SnippetEdit::insert_at_cursor);
    EXPECT_EQ(literal->text, "<b>%s</b>");

    EXPECT_FALSE(snippet_edit("no placeholder", std::string("sel")));
    EXPECT_FALSE(snippet_edit("bad \xff bytes", std::nullopt));
    auto twice = snippet_edit("%s-%s", std::string("x"));
    ASSERT_TRUE(twice);
    EXPECT_EQ(twice->text, "x-x");
}

TEST(MenuDump, LeavesOutUnnamedWidgetsAndEndsWithoutLineFeed) {
    EXPECT_EQ(menu_dump_text({"Fichier", "-x-", "-x-", "Nouveau", "Ouvrir", "-x-"}),
              "Fichier\nNouveau\nOuvrir");
    EXPECT_EQ(menu_dump_text({"-x-"}), "");
    EXPECT_EQ(menu_dump_text({"Seul"}), "Seul");
}

} // namespace
