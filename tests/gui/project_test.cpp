// Projects in the real main window: make running beside the window, the
// properties window, the saved file and the run of the project's program.
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <sys/stat.h>

#include "gui/support/chooser_answer.h"
#include "gui/support/gui_fixture.h"
#include "shell/gobj.h"
#include "shell/ui/report.h"
#include "tools/ui/projects.h"

namespace {

class ProjectTest : public GuiTest {
  protected:
    void prepare_home() override {
        GCharPtr old(g_get_current_dir());
        old_dir_ = old.get();
    }
    void TearDown() override {
        GuiTest::TearDown();
        EXPECT_EQ(g_chdir(old_dir_.c_str()), 0);
    }
    // A folder under HOME whose name the shell would split and run pieces of.
    std::string hostile_dir(const std::string& stem) {
        const std::string dir = home().file(stem + " x;touch PWNED $(touch PWNED2) 'q\"");
        g_mkdir_with_parents(dir.c_str(), 0700);
        return dir;
    }
    std::string old_dir_;
};

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Whether the log line holding `text` carries the error tag.
bool log_line_is_error(const std::string& text) {
    GtkTextBuffer* buffer = gtk_text_view_get_buffer(GTK_TEXT_VIEW(log_view()));
    GtkTextIter start, match_start;
    gtk_text_buffer_get_start_iter(buffer, &start);
    if (!gtk_text_iter_forward_search(&start, text.c_str(), GTK_TEXT_SEARCH_TEXT_ONLY, &match_start,
                                      nullptr, nullptr))
        return false;
    GtkTextTag* error =
        gtk_text_tag_table_lookup(gtk_text_buffer_get_tag_table(buffer), "lm_error");
    return gtk_text_iter_has_tag(&match_start, error);
}

bool made_pwned(const std::string& root) {
    for (const char* name : {"PWNED", "PWNED2"})
        for (const std::string& dir : {root, root + "/work"})
            if (g_file_test((dir + "/" + name).c_str(), G_FILE_TEST_EXISTS)) return true;
    return false;
}

// Fills the next properties window's entries, found by their accessible names,
// then presses OK.
void answer_properties(std::map<std::string, std::string> values) {
    struct Answer {
        std::map<std::string, std::string> values;
        int ticks = 0;
    };
    g_timeout_add_full(
        G_PRIORITY_DEFAULT, 20,
        [](gpointer data) -> gboolean {
            auto* answer = static_cast<Answer*>(data);
            if (++answer->ticks > 500) return G_SOURCE_REMOVE;
            GtkWidget* dialog = nullptr;
            GList* all = gtk_window_list_toplevels();
            for (GList* l = all; l; l = l->next)
                if (g_strcmp0(gtk_widget_get_name(GTK_WIDGET(l->data)), "project_properties") ==
                        0 &&
                    gtk_widget_get_visible(GTK_WIDGET(l->data)))
                    dialog = GTK_WIDGET(l->data);
            g_list_free(all);
            if (!dialog) return G_SOURCE_CONTINUE;
            find_widget(dialog, [&](GtkWidget* w) {
                if (!GTK_IS_ENTRY(w)) return false;
                auto it = answer->values.find(atk_object_get_name(gtk_widget_get_accessible(w)));
                if (it != answer->values.end())
                    gtk_entry_set_text(GTK_ENTRY(w), it->second.c_str());
                return false;
            });
            gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
            return G_SOURCE_REMOVE;
        },
        std::make_unique<Answer>(Answer{std::move(values)}).release(),
        [](gpointer data) { std::unique_ptr<Answer> owned(static_cast<Answer*>(data)); });
}

TEST_F(ProjectTest, MakeLogsItsOutputWhileTheWindowRunsAndReportsItsExitStatus) {
    const std::string dir = hostile_dir("build");
    write_file(dir + "/Makefile", "all:\n"
                                  "\t@echo out-line\n"
                                  "\t@echo 'main.c:3: error: boom' >&2\n"
                                  "\t@sleep 1\n"
                                  "\t@echo late-line\n"
                                  "\t@exit $$(cat code)\n");
    write_file(dir + "/code", "2\n");
    const std::string file = home().file("demo.project");
    write_file(file, "dir_makefile=" + dir + "\n");
    ASSERT_TRUE(project_load(file));
    // An older line that reads like a compiler error is not this make's.
    log_message("old.c:1: error: before", LM_NORMAL);

    project_make_command();
    ASSERT_TRUE(project_make_running());
    // The first line shows while make still runs: the window keeps answering.
    ASSERT_TRUE(spin_until([] { return contains(log_text(), "out-line"); }));
    EXPECT_TRUE(project_make_running());
    EXPECT_FALSE(contains(log_text(), "late-line"));
    project_make_command(); // one at a time
    EXPECT_TRUE(contains(log_text(), "déjà en cours"));

    ASSERT_TRUE(spin_until([] { return !project_make_running(); }, 10000));
    const std::string log = log_text();
    // stdout and stderr each in its place in the one entry of this make.
    EXPECT_TRUE(contains(log, "main.c:3: error: boom")) << log;
    EXPECT_LT(log.find("out-line"), log.find("late-line")) << log;
    EXPECT_EQ(status_text(), "Make [ERROR]");
    EXPECT_TRUE(log_line_is_error("main.c:3: error: boom"));
    EXPECT_FALSE(log_line_is_error("out-line"));
    EXPECT_FALSE(log_line_is_error("old.c:1: error: before"));

    write_file(dir + "/code", "0\n");
    project_make_command();
    ASSERT_TRUE(spin_until([] { return !project_make_running(); }, 10000));
    EXPECT_EQ(status_text(), "Make [OK]");
    EXPECT_FALSE(made_pwned(home().path()));
    EXPECT_FALSE(made_pwned(dir));
}

TEST_F(ProjectTest, PropertiesApplyTheirEntriesAndTheProjectFileHoldsThem) {
    answer_properties({{"Project name", "demo"},
                       {"Makefile directory", ""},
                       {"Source directory", "/src/"},
                       {"Target executable", "app"}});
    const std::string opened = home().file("opened.project");
    write_file(opened, "project_name=old\ndir_makefile=/mk/\n");
    ASSERT_TRUE(project_load(opened));
    project_properties_command();
    const Project* project = current_project();
    ASSERT_NE(project, nullptr);
    EXPECT_EQ(project->project_name, "demo");
    EXPECT_FALSE(project->dir_makefile); // an emptied entry unsets the field
    EXPECT_EQ(project->dir_source, "/src/");
    EXPECT_EQ(project->file_executable, "app");

    const std::string path = home().file("saved.project");
    answer_next_chooser(path);
    project_save_as_command();
    EXPECT_EQ(last_chooser().title, "Save a project");
    EXPECT_EQ(read_file(path), "dir_source=/src/\nproject_file_name=" + path +
                                   "\nproject_name=demo\nfile_executable=app\n");
    EXPECT_TRUE(contains(text_view_text(project_log_view()), "Proeject file name :\n" + path));

    // A path that cannot be read as a project keeps the loaded one.
    EXPECT_FALSE(project_load(home().path()));
    ASSERT_NE(current_project(), nullptr);
    EXPECT_EQ(current_project()->project_name, "demo");
    EXPECT_EQ(status_text(), "Open project [ERROR]");
}

TEST_F(ProjectTest, RunStartsTheProgramByItsWholePathAndLogsItsExitCode) {
    const std::string dir = hostile_dir("src") + "/";
    const std::string program = dir + "my app";
    write_file(program, "#!/bin/sh\necho \"$#\" > \"$0.ran\"\nexit 3\n");
    ASSERT_EQ(g_chmod(program.c_str(), 0700), 0);
    const std::string file = home().file("run.project");
    write_file(file, "dir_source=" + dir + "\nfile_executable=my app\n");
    ASSERT_TRUE(project_load(file));

    project_run_command();
    ASSERT_TRUE(spin_until([] { return contains(log_text(), "code de sortie 3"); }));
    EXPECT_EQ(read_file(program + ".ran"), "0\n");
    EXPECT_FALSE(made_pwned(home().path()));
}

} // namespace
