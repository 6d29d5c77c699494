// The terminal tabs, their right-click menu and the run window, with real
// shells (/bin/sh) in real terminals.
#include <cerrno>
#include <csignal>
#include <glib/gstdio.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vte/vte.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "shell/gobj.h"
#include "shell/ui/window_parts.h"
#include "terminal/ui/run_window.h"
#include "terminal/ui/terminal_panel.h"
#include "terminal/ui/terminal_view.h"

namespace {

// A shell starts in tens of milliseconds, but a loaded machine can take seconds.
constexpr int kShellWait = 20000;

class TerminalTest : public GuiTest {
  protected:
    void prepare_home() override {
        g_setenv("SHELL", "/bin/sh", TRUE);
        // Shells start here, and whatever a hostile name would create lands here.
        work_ = home().file("work");
        g_mkdir_with_parents(work_.c_str(), 0700);
        GCharPtr old(g_get_current_dir());
        old_dir_ = old.get();
        ASSERT_EQ(g_chdir(work_.c_str()), 0);
    }
    void TearDown() override {
        GuiTest::TearDown();
        EXPECT_EQ(g_chdir(old_dir_.c_str()), 0);
    }
    std::string work_;
    std::string old_dir_;
};

std::string screen(GtkWidget* terminal) {
    GCharPtr text(vte_terminal_get_text(VTE_TERMINAL(terminal), nullptr, nullptr, nullptr));
    return text ? text.get() : "";
}

bool screen_has_line(GtkWidget* terminal, const std::string& line) {
    return ("\n" + screen(terminal)).find("\n" + line + "\n") != std::string::npos;
}

int tab_count() {
    return gtk_notebook_get_n_pages(GTK_NOTEBOOK(terminal_notebook()));
}

GtkWidget* tab_terminal(int index) {
    GtkWidget* page = gtk_notebook_get_nth_page(GTK_NOTEBOOK(terminal_notebook()), index);
    return find_widget(page, [](GtkWidget* w) { return VTE_IS_TERMINAL(w); });
}

// The Terminal page on show, as the user opens it.
void show_terminal_page() {
    gtk_notebook_set_current_page(GTK_NOTEBOOK(main_notebook()), 2);
    gtk_notebook_set_current_page(GTK_NOTEBOOK(bottom_notebook()), 1);
    flush_events();
}

void click_terminal_bar(const char* stock) {
    GtkWidget* button = find_widget(panel_page(PanelPage::terminal_bar), [stock](GtkWidget* w) {
        return GTK_IS_TOOL_BUTTON(w) && g_strcmp0(gtk_widget_get_name(w), stock) == 0;
    });
    ASSERT_NE(button, nullptr) << stock;
    g_signal_emit_by_name(button, "clicked");
}

// A document page bound to the file at `path`, made current.
DocumentPage* file_page(const std::string& path) {
    DocumentPage* page = new_document_page();
    page->path = path;
    page->is_file = true;
    return page;
}

bool process_gone(pid_t pid) {
    if (kill(pid, 0) != 0) return errno == ESRCH;
    // A zombie has ended too; only its parent has not looked yet.
    std::string stat = read_file("/proc/" + std::to_string(pid) + "/stat");
    auto close = stat.rfind(')');
    return close != std::string::npos && stat.size() > close + 2 && stat[close + 2] == 'Z';
}

TEST_F(TerminalTest, TheStartTabRunsTheShellInTheCurrentFolder) {
    ASSERT_EQ(tab_count(), 1);
    GtkWidget* head =
        gtk_notebook_get_tab_label(GTK_NOTEBOOK(terminal_notebook()),
                                   gtk_notebook_get_nth_page(GTK_NOTEBOOK(terminal_notebook()), 0));
    GtkWidget* label = find_widget(head, [](GtkWidget* w) { return GTK_IS_LABEL(w); });
    ASSERT_NE(label, nullptr);
    EXPECT_STREQ(gtk_label_get_text(GTK_LABEL(label)), "   Terminal   ");

    // Nothing of the terminal is made before it is needed.
    EXPECT_EQ(tab_terminal(0), nullptr);
    GtkWidget* terminal = terminal_current();
    ASSERT_NE(terminal, nullptr);
    ASSERT_EQ(terminal, tab_terminal(0));
    // Typed at once, before the shell is surely there: the text waits for it.
    terminal_type(terminal, "echo $((6*7)); pwd\n");
    EXPECT_TRUE(spin_until([&] { return screen_has_line(terminal, "42"); }, kShellWait))
        << screen(terminal);
    EXPECT_TRUE(screen_has_line(terminal, work_)) << screen(terminal);

    // ssh would take a host starting with "-" for an option: no tab for it.
    EXPECT_EQ(terminal_new_ssh_tab("-oProxyCommand=touch PWNED", "u"), nullptr);
    EXPECT_EQ(tab_count(), 1);
}

TEST_F(TerminalTest, CloseAndExitRemoveOnlyTheirOwnTab) {
    show_terminal_page();
    for (int i = 0; i < 3; ++i)
        click_terminal_bar("gtk-add");
    ASSERT_EQ(tab_count(), 4);
    EXPECT_EQ(gtk_notebook_get_current_page(GTK_NOTEBOOK(terminal_notebook())), 3);
    GtkWidget* first = tab_terminal(0);
    GtkWidget* second = tab_terminal(1);
    GtkWidget* third = tab_terminal(2);

    // Closing destroys the current tab's terminal, whose shell's end must not
    // take other tabs with it.
    click_terminal_bar("gtk-remove");
    spin_for(300);
    ASSERT_EQ(tab_count(), 3);

    gtk_notebook_set_current_page(GTK_NOTEBOOK(terminal_notebook()), 2);
    terminal_type(first, "exit\n");
    ASSERT_TRUE(spin_until([] { return tab_count() == 2; }));
    spin_for(300);
    EXPECT_EQ(tab_count(), 2);
    EXPECT_EQ(tab_terminal(0), second);
    EXPECT_EQ(tab_terminal(1), third);
    EXPECT_EQ(terminal_current(), third);

    click_terminal_bar("gtk-remove");
    click_terminal_bar("gtk-remove");
    EXPECT_EQ(tab_count(), 0);
    EXPECT_EQ(terminal_current(), nullptr);
    click_terminal_bar("gtk-remove"); // nothing left: nothing happens
    click_terminal_bar("gtk-add");
    EXPECT_EQ(tab_count(), 1);
}

TEST_F(TerminalTest, SavingTheScreenGivesADocumentOfItsText) {
    show_terminal_page();
    GtkWidget* terminal = terminal_current();
    terminal_type(terminal, "echo saved-line\n");
    ASSERT_TRUE(spin_until([&] { return screen_has_line(terminal, "saved-line"); }, kShellWait))
        << screen(terminal);
    spin_for(200);

    GtkWidget* menu = terminal_menu_new(terminal);
    // Nothing is selected, so there is nothing to copy.
    EXPECT_EQ(item_names(menu),
              (std::vector<std::string>{"gtk-paste", "Sauvegarder dans un fichier texte",
                                        "Recherche Google", "Aide"}));
    const std::string shown = screen(terminal);
    GtkWidget* save = find_widget(menu, [](GtkWidget* w) {
        return g_strcmp0(gtk_widget_get_name(w), "Sauvegarder dans un fichier texte") == 0;
    });
    ASSERT_NE(save, nullptr);
    gtk_menu_item_activate(GTK_MENU_ITEM(save));
    DocumentPage* page = current_document();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(doc_get_text(GTK_TEXT_BUFFER(page->buffer.get())), shown);
}

TEST_F(TerminalTest, RunWindowRunsTheScriptByItsQuotedNameAndReplacesItsShell) {
    // A name the shell would split, expand and run pieces of if it went in bare.
    const std::string script = work_ + "/x;touch PWNED $(touch PWNED2) 'q\".sh";
    write_file(script, "#!/bin/sh\necho ran > \"$(dirname \"$0\")/ran\"\n");
    file_page(script);

    chmod_current_script();
    EXPECT_EQ(status_text(), "Chmod [OK]");
    struct stat st {};
    ASSERT_EQ(g_stat(script.c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);

    ASSERT_TRUE(activate_menu_item("Executer"));
    GtkWidget* first = run_terminal();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(gtk_widget_get_toplevel(first), run_window());
    ASSERT_TRUE(spin_until([&] { return read_file(work_ + "/ran") == "ran\n"; }, kShellWait));
    EXPECT_FALSE(g_file_test((work_ + "/PWNED").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_FALSE(g_file_test((work_ + "/PWNED2").c_str(), G_FILE_TEST_EXISTS));
    EXPECT_EQ(status_text(), "Run Debug");

    terminal_type(first, "echo $$ > " + work_ + "/pid\n");
    ASSERT_TRUE(spin_until([&] { return !read_file(work_ + "/pid").empty(); }, kShellWait));
    const pid_t old_shell = std::stoi(read_file(work_ + "/pid"));

    ASSERT_TRUE(activate_menu_item("Executer"));
    EXPECT_NE(run_terminal(), first);
    EXPECT_TRUE(spin_until([&] { return process_gone(old_shell); }, kShellWait));
}

TEST_F(TerminalTest, ChmodOfARemovedFileReportsTheFailure) {
    const std::string script = work_ + "/gone.sh";
    write_file(script, "#!/bin/sh\n");
    file_page(script);
    ASSERT_EQ(g_remove(script.c_str()), 0);
    chmod_current_script();
    EXPECT_EQ(status_text(), "Chmod [ERROR]");
    EXPECT_NE(log_text().find(script), std::string::npos);
    EXPECT_EQ(log_text().find("executable script OK"), std::string::npos);
}

} // namespace
