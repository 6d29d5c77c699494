// Projects: the file read and written, the log texts, what make and run start,
// make's error lines, and the asynchronous spawn that runs them.
#include <gtest/gtest.h>

#include <glib.h>
#include <glib/gstdio.h>
#include <sys/stat.h>

#include "shell/commands.h"
#include "support/temp_home.h"
#include "tools/project_file.h"

namespace {

TEST(ProjectFile, WrittenInOrderWithoutUnsetFieldsAndReadBack) {
    TempHome home;
    const std::string path = home.file("my project.orvane");

    // A new project saved at once: its path, then its name.
    Project fresh = project_new();
    fresh.project_file_name = path;
    ASSERT_TRUE(project_write(fresh, path).ok);
    EXPECT_EQ(read_file(path), "project_file_name=" + path + "\nproject_name=noname\n");

    Project full;
    full.project_name = "démo";
    full.project_file_name = home.file("elsewhere");
    full.dir_makefile = "/src/a b";
    full.dir_source = "/home/u/app/";
    full.file_executable = "bin/it's app";
    ASSERT_TRUE(project_write(full, path).ok);
    EXPECT_EQ(read_file(path), "dir_source=/home/u/app/\ndir_makefile=/src/a b\n"
                               "project_file_name=" +
                                   home.file("elsewhere") +
                                   "\nproject_name=démo\nfile_executable=bin/it's app\n");
    ProjectRead r = project_read(path);
    ASSERT_EQ(r.problem, ProjectRead::none);
    EXPECT_EQ(r.bytes, read_file(path));
    Project expected = full;
    expected.project_file_name = path; // the path it was opened from, not what the file says
    EXPECT_EQ(r.project, expected);

    // A field that would become a line of its own is refused; the file stays.
    Project bad = full;
    bad.project_name = "x\ndir_source=/evil";
    EXPECT_FALSE(project_write(bad, path).ok);
    EXPECT_EQ(project_read(path).project, expected);
}

TEST(ProjectFile, DefaultsAndWhatCannotBeRead) {
    TempHome home;
    write_file(home.file("p"), "#comment\nproject_name=demo\ndir_source=\nproject_file_name=/x\n");
    ProjectRead r = project_read(home.file("p"));
    ASSERT_EQ(r.problem, ProjectRead::none);
    EXPECT_EQ(r.project.project_name, "demo");
    EXPECT_EQ(r.project.dir_makefile, "noname");
    EXPECT_EQ(r.project.dir_source, std::nullopt); // empty: unset
    EXPECT_EQ(r.project.file_executable, "noname");
    EXPECT_EQ(r.project.project_file_name, home.file("p"));

    EXPECT_EQ(project_read(home.file("missing")).problem, ProjectRead::unreadable);
    EXPECT_FALSE(project_read(home.file("missing")).reason.empty());
    EXPECT_EQ(project_read(home.path()).problem, ProjectRead::not_a_file);
    ASSERT_EQ(mkfifo(home.file("fifo").c_str(), 0600), 0);
    EXPECT_EQ(project_read(home.file("fifo")).problem, ProjectRead::not_a_file); // no blocking
    write_file(home.file("big"), std::string(1024 * 1024 + 1, 'x'));
    EXPECT_EQ(project_read(home.file("big")).problem, ProjectRead::too_large);
}

TEST(ProjectLog, TextsOfOpenPropertiesAndSave) {
    EXPECT_EQ(project_log_opened_text("/p/x.prj", "project_name=d\xE9mo\n"),
              "   FICHIER PROJET : /p/x.prj\n\n" + std::string(96, '_') +
                  "\n\nproject_name=d\xEF\xBF\xBDmo\n");
    Project p = project_new();
    EXPECT_EQ(project_log_fields_text(p), "\n\n\nproject_name=noname");
    p.dir_makefile = "/m";
    p.dir_source = "/s";
    p.file_executable = "app";
    EXPECT_EQ(project_log_fields_text(p),
              "\n\n\nfile_executable=app\nproject_name=noname\ndir_makefile=/m\ndir_source=/s");
    EXPECT_EQ(project_log_saved_text("/p/x.prj", p),
              "\nProeject file name :\n/p/x.prj\n\n" + project_log_fields_text(p));
}

TEST(MakeOutput, CompilerErrorsAndWarningsAreTagged) {
    const std::pair<const char*, bool> lines[] = {
        {"main.c:3: error: expected ';'", true},
        {"main.c:3:5: error: expected ';' before '}' token", true},
        {"main.c:12:1: warning: control reaches end", true},
        {"main.c:7: fatal error: x.h: No such file", true},
        {"cc -o app main.c", false},
        {"make: *** [Makefile:2: all] Error 2", false},
        {":3: error: no file", false},
        {"main.c:: error: no line", false},
        {"main.c:3:5: note: see error above", false},
        {"In file included from a.c:1:", false},
        {"", false},
    };
    for (auto [line, tagged] : lines)
        EXPECT_EQ(make_line_is_error(line), tagged) << line;
}

struct Collected {
    std::vector<std::string> out, err;
    std::optional<SpawnExit> exit;
    GMainLoop* loop = nullptr;
};

SpawnLines collecting(std::vector<std::string> argv, Collected& c) {
    SpawnLines job;
    job.argv = std::move(argv);
    job.on_line = [&c](OutputStream s, std::string_view line) {
        (s == OutputStream::out ? c.out : c.err).emplace_back(line);
    };
    job.on_exit = [&c](const SpawnExit& e) {
        EXPECT_FALSE(c.exit) << "exit reported twice";
        c.exit = e;
        if (c.loop) g_main_loop_quit(c.loop);
    };
    return job;
}

// Runs a main loop until the exit is reported, ten seconds at most.
void run_loop(Collected& c) {
    c.loop = g_main_loop_new(nullptr, FALSE);
    guint guard = g_timeout_add_seconds(
        10,
        [](gpointer l) { return g_main_loop_quit(static_cast<GMainLoop*>(l)), G_SOURCE_REMOVE; },
        c.loop);
    if (!c.exit) g_main_loop_run(c.loop);
    if (GSource* s = g_main_context_find_source_by_id(nullptr, guard)) g_source_destroy(s);
    g_main_loop_unref(c.loop);
    c.loop = nullptr;
}

TEST(SpawnLines, OutputLinesThenExitStatusFromTheMainLoop) {
    TempHome home;
    Collected c;
    SpawnLines job =
        collecting({"sh", "-c",
                    "echo out1; echo err1 >&2; pwd; printf 'e\\n\\nlast' >&2; printf out3; exit 2"},
                   c);
    job.working_dir = home.path();
    job.search_path = true;
    std::string error;
    ASSERT_TRUE(spawn_async_lines(std::move(job), &error)) << error;
    EXPECT_FALSE(c.exit); // nothing is reported before the loop runs
    run_loop(c);
    ASSERT_TRUE(c.exit);
    EXPECT_EQ(c.out, (std::vector<std::string>{"out1", home.path(), "out3"}));
    EXPECT_EQ(c.err, (std::vector<std::string>{"err1", "e", "", "last"}));
    EXPECT_FALSE(c.exit->success);
    EXPECT_EQ(c.exit->exit_code, 2);
    EXPECT_FALSE(c.exit->message.empty());

    // A clean exit; a line longer than a piece arrives in pieces, all of it.
    Collected ok;
    ASSERT_TRUE(spawn_async_lines(
        collecting({"/bin/sh", "-c", "head -c 200000 /dev/zero | tr '\\0' x; echo"}, ok)));
    run_loop(ok);
    ASSERT_TRUE(ok.exit);
    EXPECT_TRUE(ok.exit->success);
    EXPECT_EQ(ok.exit->exit_code, 0);
    std::string joined;
    for (const auto& piece : ok.out)
        joined += piece;
    EXPECT_EQ(joined, std::string(200000, 'x'));
    EXPECT_GT(ok.out.size(), 1u);

    // A program that cannot start is said at once, and nothing else follows.
    Collected missing;
    EXPECT_FALSE(spawn_async_lines(collecting({home.file("no such program")}, missing), &error));
    EXPECT_FALSE(error.empty());
    g_main_context_iteration(nullptr, FALSE);
    EXPECT_FALSE(missing.exit);
}

TEST(ProjectCommands, MakeFolderAndRunVector) {
    TempHome home;
    Project p = project_new();
    EXPECT_EQ(project_make_dir(p), std::nullopt);
    EXPECT_EQ(project_run_argv(p), std::nullopt);
    p.dir_makefile = home.file("not there");
    EXPECT_EQ(project_make_dir(p), std::nullopt);
    p.dir_makefile = home.path();
    EXPECT_EQ(project_make_dir(p), home.path());

    p.dir_source = "/home/u/app/";
    p.file_executable = "bin/app";
    EXPECT_EQ(project_run_argv(p), (std::vector<std::string>{"/home/u/app/bin/app"}));
    p.dir_source = "/home/u/app";
    EXPECT_EQ(project_run_argv(p), (std::vector<std::string>{"/home/u/appbin/app"}));

    // A path with blanks and shell characters starts the program it names; its
    // exit code comes back.
    const std::string dir = home.file("my app;$(touch PWNED)") + "/";
    g_mkdir(dir.c_str(), 0700);
    write_file(dir + "run it", "#!/bin/sh\nprintf ran > \"$0.out\"\nexit 3\n");
    g_chmod((dir + "run it").c_str(), 0700);
    p.dir_source = dir;
    p.file_executable = "run it";
    auto argv = project_run_argv(p);
    ASSERT_TRUE(argv);
    Collected c;
    SpawnLines job = collecting(*argv, c);
    job.on_line = nullptr; // the program writes where the editor writes
    ASSERT_TRUE(spawn_async_lines(std::move(job)));
    run_loop(c);
    ASSERT_TRUE(c.exit);
    EXPECT_EQ(c.exit->exit_code, 3);
    EXPECT_EQ(read_file(dir + "run it.out"), "ran");
    EXPECT_FALSE(g_file_test("PWNED", G_FILE_TEST_EXISTS));

    // Under a recorder nothing starts; the recorder's answer is the exit code.
    std::string recorded;
    set_command_recorder([&](const std::string& line, bool) {
        recorded = line;
        return 4;
    });
    Collected r;
    ASSERT_TRUE(spawn_async_lines(collecting({"make", "-C", "a b"}, r)));
    set_command_recorder(nullptr);
    run_loop(r);
    EXPECT_EQ(recorded, "make -C 'a b'");
    ASSERT_TRUE(r.exit);
    EXPECT_EQ(r.exit->exit_code, 4);
}

} // namespace
