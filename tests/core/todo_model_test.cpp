#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "shell/config_dir.h"
#include "support/temp_home.h"
#include "tools/todo_model.h"

namespace fs = std::filesystem;

namespace {

constexpr std::time_t kWhen = 1700000000;

// The row folder under a temporary HOME, created the way the page creates it.
struct TodoFolder {
    TempHome home;
    std::string dir = home.file(".orvane/todo/");
    TodoTable table{dir};
    TodoProfile profile = todo_parse_profile(default_todo_text());

    TodoFolder() { EXPECT_FALSE(todo_ensure_dir(dir)); }
    std::string file(const std::string& name) const { return dir + name; }
    TodoRefreshReport refresh() {
        TodoRefreshReport report;
        table.refresh(report);
        return report;
    }
    std::vector<std::string> defaults() const {
        std::vector<std::string> v;
        for (const TodoColumn& c : profile.columns)
            v.push_back(c.default_value);
        return v;
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir))
            out.push_back(e.path().filename());
        std::sort(out.begin(), out.end());
        return out;
    }
};

void set_mtime(const std::string& path, long nanoseconds) {
    const timespec times[2] = {{kWhen, 0}, {kWhen, nanoseconds}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

std::string one_row(const std::string& value) {
    return todo_row_text({{"Date", value}});
}

} // namespace

TEST(TodoModel, DefaultRowBytesAndTwoAddsInOneSecondGiveTwoFiles) {
    TodoFolder f;
    ASSERT_TRUE(f.profile.ok);
    const std::string expected = "<?xml version=\"1.0\"?>\n"
                                 "<row>\n"
                                 "<column name=\"Date\" value=\"\"></column>\n"
                                 "<column name=\"Status\" value=\"Mineur\"></column>\n"
                                 "<column name=\"User\" value=\"Zevavar\"></column>\n"
                                 "<column name=\"Notes\" value=\"\"></column>\n"
                                 "</row>\n";
    TodoWriteResult first = f.table.add_row(f.profile, f.defaults(), "user", kWhen);
    TodoWriteResult second = f.table.add_row(f.profile, f.defaults(), "user", kWhen);
    ASSERT_TRUE(first.ok && second.ok) << first.message << second.message;
    EXPECT_EQ(first.file_name, "user_1700000000.xml");
    EXPECT_EQ(f.names(),
              (std::vector<std::string>{"user_1700000000.xml", "user_1700000000_2.xml"}));
    EXPECT_EQ(read_file(f.file(first.file_name)), expected);
    EXPECT_EQ(read_file(f.file(second.file_name)), expected);
    EXPECT_EQ(f.refresh().changes.size(), 2u);
    EXPECT_EQ(f.table.rows().size(), 2u);
}

// Values and column names come back exactly as typed, through a real file.
TEST(TodoModel, ValuesAndColumnNamesRoundTripThroughTheFile) {
    TodoFolder f;
    TodoProfile profile;
    profile.ok = true;
    profile.columns = {{"a\"b&c<d>e", "string", {}, ""}, {"plain", "string", {}, ""}};
    const struct {
        std::string typed, read_back, stored;
    } cases[] = {
        {"a\"b&c<d>e", "a\"b&c<d>e", "a&quot;b&amp;c&lt;d&gt;e"},
        {"x\ty\nz\r", "x\ty\nz\r", "x&#9;y&#10;z&#13;"},
        {"é 😀 '", "é 😀 '", "é 😀 '"},
        // Characters no XML file can carry are dropped, not written to break the file.
        {std::string("a\x01"
                     "b\x1f"
                     "c\0d",
                     7) +
             "\xEF\xBF\xBE\xEF\xBF\xBF!",
         "abcd!", "abcd!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        TodoWriteResult w = f.table.add_row(profile, {c.typed, c.typed}, "u", kWhen);
        ASSERT_TRUE(w.ok) << w.message;
        EXPECT_NE(read_file(f.file(w.file_name)).find("value=\"" + c.stored + "\""),
                  std::string::npos);
        f.refresh();
        const TodoRow* row = f.table.find(w.file_name);
        ASSERT_TRUE(row);
        EXPECT_EQ(todo_cell_value(row->cells, "a\"b&c<d>e"), c.read_back);
        EXPECT_EQ(todo_cell_value(row->cells, "plain"), c.read_back);
    }
}

// Row files come from other people: nothing in them may reach outside the file,
// expand, or hide a row as something else.
TEST(TodoModel, HostileFilesGiveNoRowAndAreReportedOnce) {
    TodoFolder f;
    write_file(f.home.file("secret"), "SECRET");
    const std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE row [<!ENTITY a \"aaaaaaaaaa\">"
                               "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
                               "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">]>"
                               "<row><column name=\"Date\" value=\"&c;\"></column></row>";
    const std::string external =
        "<?xml version=\"1.0\"?><!DOCTYPE row [<!ENTITY s SYSTEM \"file://" +
        f.home.file("secret") + "\">]><row><column name=\"Date\" value=\"&s;\"/></row>";
    const std::string doctype_only =
        "<!DOCTYPE row SYSTEM \"http://127.0.0.1:9/row.dtd\">" + one_row("x");
    const std::string undefined = "<row><column name=\"Date\" value=\"&nope;\"/></row>";
    const std::string big = one_row(std::string(kTodoMaxFileBytes, 'x'));
    for (const auto& [name, text] :
         std::vector<std::pair<std::string, std::string>>{{"laughs.xml", laughs},
                                                          {"external.xml", external},
                                                          {"doctype.xml", doctype_only},
                                                          {"undefined.xml", undefined},
                                                          {"big.xml", big},
                                                          {"empty.xml", ""}}) {
        write_file(f.file(name), text);
        EXPECT_EQ(todo_read_row_file(f.file(name)).cells.size(), 0u) << name;
    }
    // Temporary files of a write in progress are dot-files and never rows.
    write_file(f.file(".orvane-todo-1.xml"), one_row("hidden"));
    // An XInclude is an unknown element, never followed.
    write_file(
        f.file("include.xml"),
        "<row xmlns:xi=\"http://www.w3.org/2001/XInclude\"><column name=\"Date\" value=\"v\"/>"
        "<xi:include href=\"" +
            f.home.file("secret") + "\" parse=\"text\"/></row>");

    TodoRefreshReport report = f.refresh();
    ASSERT_EQ(f.table.rows().size(), 1u);
    EXPECT_EQ(f.table.rows()[0].file_name, "include.xml");
    EXPECT_EQ(f.table.rows()[0].cells, (std::vector<TodoCell>{{"Date", "v"}}));
    EXPECT_EQ(report.messages.size(), 6u);
    EXPECT_EQ(report.messages[0],
              "Ne peux pas lire le fichier todo liste " + f.file("big.xml") + ".\n");
    EXPECT_TRUE(f.refresh().messages.empty());
}

TEST(TodoModel, FifoNamedLikeARowIsNeverOpened) {
    TodoFolder f;
    const std::string fifo = f.file("x.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A writer that does not wait succeeds only while someone holds the FIFO open
    // for reading; it also releases a reader that would otherwise hang the test.
    std::atomic<bool> done{false}, opened{false};
    std::thread watch([&] {
        while (!done) {
            int fd = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                opened = true;
                close(fd);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    TodoRefreshReport report = f.refresh();
    report = f.refresh();
    done = true;
    watch.join();
    EXPECT_FALSE(opened);
    EXPECT_TRUE(f.table.rows().empty());
    EXPECT_TRUE(report.messages.empty());
}

TEST(TodoModel, EditKeepsUnknownColumnsAndAnUnreadableProfileWritesNothing) {
    TodoFolder f;
    write_file(f.file("bob_1.xml"), "<row><column name=\"Mood\" value=\"a&amp;b\"/>"
                                    "<column name=\"Status\" value=\"Critique\"/></row>");
    f.refresh();
    TodoWriteResult w = f.table.save_row(f.profile, "bob_1.xml", {"d", "s", "u", "n"});
    ASSERT_TRUE(w.ok) << w.message;
    EXPECT_EQ(read_file(f.file("bob_1.xml")), "<?xml version=\"1.0\"?>\n<row>\n"
                                              "<column name=\"Date\" value=\"d\"></column>\n"
                                              "<column name=\"Status\" value=\"s\"></column>\n"
                                              "<column name=\"User\" value=\"u\"></column>\n"
                                              "<column name=\"Notes\" value=\"n\"></column>\n"
                                              "<column name=\"Mood\" value=\"a&amp;b\"></column>\n"
                                              "</row>\n");

    const std::string missing = f.home.file(".orvane/orvane_todo");
    TodoProfile unreadable = todo_load_profile(missing);
    EXPECT_FALSE(unreadable.ok);
    ASSERT_EQ(unreadable.messages.size(), 1u);
    EXPECT_EQ(unreadable.messages[0],
              "DIVODE_PROFILE variable pour la todo liste n'est pas trouvable (normalement " +
                  missing + ")\n");
    write_file(missing, "<columns><column name=\"Date\">");
    for (const TodoProfile& bad : {unreadable, todo_load_profile(missing)}) {
        EXPECT_FALSE(bad.ok);
        EXPECT_FALSE(f.table.add_row(bad, {"d"}, "user", kWhen).ok);
        EXPECT_FALSE(f.table.save_row(bad, "bob_1.xml", {"d"}).ok);
    }
    EXPECT_EQ(f.names(), std::vector<std::string>{"bob_1.xml"});
    EXPECT_NE(read_file(f.file("bob_1.xml")).find("Mood"), std::string::npos);
}

// Two writes within one second must not look alike: size, nanoseconds and inode
// each tell a change on their own.
TEST(TodoModel, SameSecondRewriteIsSeenAndReread) {
    const struct {
        const char* how;
        std::string text;
        bool replace; // a new file renamed over the old one
        long mtime_ns;
    } cases[] = {
        {"in place, same size, other nanoseconds", one_row("bbbb"), false, 200},
        {"new inode, same size and time", one_row("bbbb"), true, 100},
        {"in place, other size, same time", one_row("bbbbbb"), false, 100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        TodoFolder f;
        const std::string path = f.file("r.xml");
        write_file(path, one_row("aaaa"));
        set_mtime(path, 100);
        f.refresh();
        EXPECT_EQ(f.table.file_state("r.xml"), TodoFileState::unchanged);
        if (c.replace) {
            write_file(path + ".new", c.text);
            ASSERT_EQ(rename((path + ".new").c_str(), path.c_str()), 0);
        } else {
            write_file(path, c.text);
        }
        set_mtime(path, c.mtime_ns);
        EXPECT_EQ(f.table.file_state("r.xml"), TodoFileState::changed);
        TodoRefreshReport report = f.refresh();
        ASSERT_EQ(report.changes.size(), 1u);
        EXPECT_EQ(report.changes[0].kind, TodoChange::Kind::updated);
        EXPECT_EQ(todo_cell_value(f.table.rows().at(0).cells, "Date"),
                  todo_parse_row(c.text).cells[0].value);
    }
}

// A refresh in slices: a broken known row keeps its values and is told once, a
// vanished file takes its row with it, deleting what is gone succeeds.
TEST(TodoModel, SlicedRefreshFollowsTheFolder) {
    TodoFolder f;
    struct stat st {};
    ASSERT_EQ(stat(f.dir.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    for (const char* name : {"a.xml", "b.xml", "c.xml"})
        write_file(f.file(name), one_row(name));
    // One file per step: as many steps as files the table knows or finds.
    auto sliced = [&](int files) {
        TodoRefreshReport report;
        EXPECT_TRUE(f.table.begin_refresh(report));
        int steps = 1;
        while (f.table.refresh_step(1, report))
            ++steps;
        EXPECT_EQ(steps, files);
        return report;
    };
    EXPECT_EQ(sliced(3).changes.size(), 3u);

    write_file(f.file("b.xml"), "<row><column name=\"Date\" value=\"broken");
    ASSERT_EQ(unlink(f.file("c.xml").c_str()), 0);
    TodoRefreshReport report = sliced(3);
    ASSERT_EQ(report.messages.size(), 1u);
    ASSERT_EQ(report.changes.size(), 1u);
    EXPECT_EQ(report.changes[0].kind, TodoChange::Kind::removed);
    EXPECT_EQ(report.changes[0].index, 2u);
    ASSERT_EQ(f.table.rows().size(), 2u);
    EXPECT_EQ(todo_cell_value(f.table.rows()[1].cells, "Date"), "b.xml");
    EXPECT_EQ(f.table.file_state("b.xml"), TodoFileState::changed);
    EXPECT_TRUE(sliced(2).messages.empty());

    EXPECT_TRUE(f.table.delete_row("c.xml").ok);
    EXPECT_TRUE(f.table.delete_row("a.xml").ok);
    EXPECT_EQ(f.table.file_state("a.xml"), TodoFileState::gone);
    EXPECT_FALSE(f.table.delete_row("../x.xml").ok);
}
