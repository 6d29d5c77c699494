// What the terminals are told to type: the twelve help commands, the run of the
// current script or project, chmod and the ssh login. Every typed text goes
// through the real /bin/sh with stubs standing for the programs.
#include <gtest/gtest.h>

#include <glib.h>
#include <glib/gstdio.h>

#include "shell/commands.h"
#include "support/stub_sandbox.h"
#include "terminal/run_plan.h"
#include "terminal/terminal_texts.h"

namespace {

TEST(TerminalTexts, TwelveCommandsByteForByte) {
    const std::vector<std::tuple<std::string, std::string, std::string>> expected = {
        {"1.1 (term", "Utilisation du disque", "df -h\n"},
        {"1.2 (term", "Aspiration de site web WGET", "wget -r -k -E -np http://www.example.com/"},
        {"1.3 (term", "RM sur un grand nombre de fichiers",
         "find /path/dir/ -name \"name_file*\" -exec rm {} \\;"},
        {"1.4 (term", "FIND trouver un fichier par son nom",
         "find /path/dir/ -name \"name_file*\""},
        {"1.5 (term", "SCREEN Lancer un screen ou le récupérer", "screen -x -R\n"},
        {"1.6 (term", "WC Nombre de lignes pour sortie ou fichier", "wc -l"},
        {"1.7 (term", "WGET récupération de page web",
         "wget 'http://www.example.com/index.html' -O /path/dir/file.html"},
        {"1.8 (term", "Lister les fichiers et répertoire en couleur", "ls -l --color | more\n"},
        {"1.9 (term", "NICE Lancer un script ou commande lourde avec une priorité basse",
         "nice -n 19 ./script"},
        {"2.0 (term", "Compression avec tar.gz", "tar -zcvf file.tar.gz /path/dir_or_file"},
        {"2.1 (term", "Décompression avec tar.gz", "tar -zxvf file.tar.gz"},
        {"2.2 (term", " Différence entre deux fichiers", "diff file1 file2"},
    };
    auto items = terminal_command_items();
    ASSERT_EQ(items.size(), expected.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const auto& [key, title, text] = expected[i];
        EXPECT_EQ(items[i].key, key);
        EXPECT_EQ(std::string(items[i].title), title);
        EXPECT_EQ(items[i].text, text);
        EXPECT_EQ(terminal_command_item(key), &items[i]);
    }
    EXPECT_EQ(terminal_command_item("1.1 (php"), nullptr);
    EXPECT_EQ(terminal_command_item("1.1"), nullptr);
}

const std::vector<std::string> kHostileNames = {"plain",          "a b",           "x;touch PWNED",
                                                "$(touch PWNED)", "`touch PWNED`", "it's",
                                                "a\"b",           "back\\slash",   "été"};

TEST(RunPlan, ScriptRunsByItsPathAsOneWord) {
    StubSandbox box;
    // The written example stays byte for byte.
    EXPECT_EQ(run_plan("/tmp/a.sh", nullptr).typed, "/tmp/a.sh\n");
    EXPECT_EQ(run_plan("/tmp/a.pl", nullptr).outcome, RunPlan::script);

    for (const std::string ext : {".sh", ".pl"}) {
        for (const auto& name : kHostileNames) {
            SCOPED_TRACE(name + ext);
            const std::string script = box.path(name + ext);
            box.stub(script, "script");
            const auto before = box.listing();
            RunPlan plan = run_plan(script, nullptr);
            ASSERT_EQ(plan.outcome, RunPlan::script);
            box.clear_log();
            EXPECT_EQ(box.run(plan.typed), 0);
            EXPECT_EQ(box.log(), "script:" + box.dir() + "\n");
            EXPECT_EQ(box.listing(), before);
            g_remove(script.c_str());
        }
    }
    // A name without a folder, even one that reads as an option, runs from the
    // current folder rather than from PATH.
    box.stub(box.path("-n.sh"), "dash");
    box.program("-n.sh");
    EXPECT_EQ(run_plan("-n.sh", nullptr).typed, "./-n.sh\n");
    box.clear_log();
    EXPECT_EQ(box.run(run_plan("-n.sh", nullptr).typed), 0);
    EXPECT_EQ(box.log(), "dash:" + box.dir() + "\n");
}

TEST(RunPlan, ProjectBuildTypesFourLinesOfOneWordEach) {
    Project p = project_new();
    p.dir_makefile = "/src";
    p.dir_source = "/bin";
    p.file_executable = "app";
    EXPECT_EQ(run_plan("main.c", &p).typed, "cd /src\nmake\ncd /bin\n./app\n");
    EXPECT_EQ(run_plan("/x/defs.h", &p).outcome, RunPlan::project);

    StubSandbox box;
    box.program("make");
    for (const auto& name : kHostileNames) {
        SCOPED_TRACE(name);
        const std::string build = box.path("build " + name);
        const std::string source = box.path("src " + name);
        g_mkdir(build.c_str(), 0700);
        g_mkdir(source.c_str(), 0700);
        box.stub(source + "/" + name, "app");
        p.dir_makefile = build;
        p.dir_source = source;
        p.file_executable = name;
        const auto before = box.listing();
        RunPlan plan = run_plan("/x/main.c", &p);
        ASSERT_EQ(plan.outcome, RunPlan::project);
        box.clear_log();
        EXPECT_EQ(box.run(plan.typed), 0);
        EXPECT_EQ(box.log(), "make:" + build + "\napp:" + source + "\n");
        EXPECT_EQ(box.listing(), before);
    }
    // Folders that read as options are still folders (the second relative to the first).
    g_mkdir(box.path("-P").c_str(), 0700);
    g_mkdir(box.path("-P/-").c_str(), 0700);
    box.stub(box.path("-P/-/run"), "app");
    p.dir_makefile = "-P";
    p.dir_source = "-";
    p.file_executable = "run";
    box.clear_log();
    EXPECT_EQ(box.run(run_plan("a.c", &p).typed), 0);
    EXPECT_EQ(box.log(), "make:" + box.path("-P") + "\napp:" + box.path("-P/-") + "\n");
}

TEST(RunPlan, NothingTypedWithoutSomethingToRun) {
    Project full = project_new();
    full.dir_makefile = full.dir_source = full.file_executable = "/x";
    Project unset_source = full;
    unset_source.dir_source.reset();

    const struct {
        std::string name;
        const Project* project;
        RunPlan::Outcome outcome;
    } cases[] = {
        {"/tmp/a.sh.txt", &full, RunPlan::other_extension},
        {"/tmp/A.SH", &full, RunPlan::other_extension},
        {"/tmp/a.pl5", &full, RunPlan::other_extension},
        {"/tmp/a.cc", &full, RunPlan::other_extension},
        {"/tmp/Makefile", &full, RunPlan::other_extension},
        {"/tmp/a.c", nullptr, RunPlan::no_project},
        {"/tmp/a.h", &unset_source, RunPlan::no_project},
        {"/tmp/a\tb.sh", nullptr, RunPlan::untypable},
        {"/tmp/a\x15;touch PWNED.pl", nullptr, RunPlan::untypable},
        {"/tmp/a\nb.sh", nullptr, RunPlan::untypable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RunPlan plan = run_plan(c.name, c.project);
        EXPECT_EQ(plan.outcome, c.outcome);
        EXPECT_EQ(plan.typed, "");
    }
    Project control = full;
    control.file_executable = "a\x03"
                              "b";
    EXPECT_EQ(run_plan("a.c", &control).outcome, RunPlan::untypable);
}

TEST(Chmod, MakesExactlyThatFileExecutable) {
    StubSandbox box;
    EXPECT_EQ(chmod_command("/tmp/a.sh"), "chmod u+x /tmp/a.sh");
    std::vector<std::string> names = kHostileNames;
    names.push_back("-x.sh");
    for (const auto& name : names) {
        SCOPED_TRACE(name);
        write_file(box.path(name), "");
        g_chmod(box.path(name).c_str(), 0600);
        const auto before = box.listing();
        EXPECT_EQ(box.run(chmod_command(name)), 0);
        EXPECT_TRUE(g_file_test(box.path(name).c_str(), G_FILE_TEST_IS_EXECUTABLE));
        EXPECT_EQ(box.listing(), before);
    }
    // A missing file is a failure the caller can see.
    EXPECT_NE(box.run(chmod_command(box.path("gone.sh")) + " 2>/dev/null"), 0);
}

TEST(SshLine, UserAtHostAsOneWordAndOptionsRefused) {
    EXPECT_EQ(ssh_typed_line("H", "U"), "ssh U@H\n");
    EXPECT_EQ(ssh_typed_line("example.org", ""), "ssh example.org\n");
    for (auto [host, user] :
         std::vector<std::pair<std::string, std::string>>{{"-oProxyCommand=touch PWNED", "u"},
                                                          {"h", "-oProxyCommand=x"},
                                                          {"", "u"},
                                                          {"h\n", "u"},
                                                          {"h", "u\x15"}})
        EXPECT_EQ(ssh_typed_line(host, user), std::nullopt) << host << " " << user;

    StubSandbox box;
    box.program("ssh");
    for (const auto& name : kHostileNames) {
        SCOPED_TRACE(name);
        const auto before = box.listing();
        box.clear_log();
        EXPECT_EQ(box.run(*ssh_typed_line("host " + name, name)), 0);
        EXPECT_EQ(box.log(), "ssh:" + box.dir() + "<" + name + "@host " + name + ">\n");
        EXPECT_EQ(box.listing(), before);
    }
}

} // namespace
