// DevHelp, GIMP and the "Navigateurs" browsers started from the window, with
// stub programs on PATH that write down the arguments they received.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "shell/ui/command_entry.h"
#include "tools/ui/external_tools_ui.h"

namespace {

class ExternalToolsTest : public GuiTest {
  protected:
    void prepare_home() override {
        // The konqueror template names a program that is nowhere.
        write_config_file("orvane_rc", "konqueror=no-such-browser-x %s&\n");
        stubs_ = home().file("stubs");
        out_ = home().file("out");
        g_mkdir_with_parents(stubs_.c_str(), 0700);
        g_mkdir_with_parents(out_.c_str(), 0700);
        for (const char* name : {"firefox", "gimp", "devhelp"}) {
            const std::string stub = stubs_ + "/" + name;
            write_file(stub, "#!/bin/sh\nfor a; do printf '%s\\n' \"$a\"; done > '" + out_ + "/" +
                                 name + ".tmp'\nmv '" + out_ + "/" + name + ".tmp' '" + out_ + "/" +
                                 name + "'\n");
            g_chmod(stub.c_str(), 0700);
        }
        old_path_ = g_getenv("PATH");
        g_setenv("PATH", (stubs_ + ":/usr/bin:/bin").c_str(), TRUE);
        GCharPtr old(g_get_current_dir());
        old_dir_ = old.get();
        g_chdir(out_.c_str()); // where a split command line would create PWNED
    }
    void TearDown() override {
        GuiTest::TearDown();
        g_setenv("PATH", old_path_.c_str(), TRUE);
        g_chdir(old_dir_.c_str());
    }
    // The arguments the stub `name` received, one per line, once it ran.
    std::string arguments_of(const std::string& name) {
        const std::string path = out_ + "/" + name;
        spin_until([&] { return g_file_test(path.c_str(), G_FILE_TEST_EXISTS); });
        return read_file(path);
    }
    bool pwned() const {
        return g_file_test((out_ + "/PWNED").c_str(), G_FILE_TEST_EXISTS) ||
               g_file_test((out_ + "/PWNED2").c_str(), G_FILE_TEST_EXISTS);
    }
    std::string stubs_, out_, old_path_, old_dir_;
};

TEST_F(ExternalToolsTest, ProgramsGetHostileTextsAsWholeArgumentsAndMissingOnesAreReported) {
    const std::string hostile = "x;touch PWNED $(touch PWNED2) 'q\"";
    // A page without a file opens nothing.
    new_document();
    ASSERT_TRUE(activate_menu_item("Firefox"));
    spin_for(200);
    EXPECT_FALSE(g_file_test((out_ + "/firefox").c_str(), G_FILE_TEST_EXISTS));

    DocumentPage* page = current_document();
    ASSERT_NE(page, nullptr);
    page->path = home().file(hostile + ".html");
    page->is_file = true;
    ASSERT_TRUE(activate_menu_item("Firefox"));
    EXPECT_EQ(arguments_of("firefox"), page->path + "\n");

    ASSERT_TRUE(activate_menu_item("Konqueror"));
    EXPECT_EQ(status_text(), "Browser [ERROR]");
    EXPECT_NE(log_text().find("no-such-browser-x"), std::string::npos);

    gimp_open_address("file:///tmp/" + hostile + ".png");
    EXPECT_EQ(arguments_of("gimp"), "file:///tmp/" + hostile + ".png\n");

    gtk_entry_set_text(GTK_ENTRY(command_entry()), hostile.c_str());
    devhelp_search_command();
    EXPECT_EQ(arguments_of("devhelp"), "-s\n" + hostile + "\n");
    EXPECT_EQ(status_text(), "Search DevHelp [OK]");

    g_setenv("PATH", "/nonexistent", TRUE);
    devhelp_search_command();
    EXPECT_EQ(status_text(), "Search DevHelp [ERROR]");
    EXPECT_NE(log_text().find("Vous devez installer le package DevHelp"), std::string::npos);
    gimp_open_address("file:///tmp/a.png");
    EXPECT_EQ(status_text(),
              "Vous devez installer le package gimp pour utiliser la fonction edition d'image");
    spin_for(300);
    EXPECT_FALSE(pwned());
}

} // namespace
