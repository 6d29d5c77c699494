// Files named on the command line that do not exist yet: created where the
// program started, opened, given the header of their kind, made executable.
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "documents/ui/document_page.h"
#include "gui/support/gui_fixture.h"
#include "shell/commands.h"
#include "shell/ui/app.h"

namespace fs = std::filesystem;

namespace {
class NewFileTest : public GuiTest {
  protected:
    std::string cwd;
    std::string saved_cwd = fs::current_path();
    std::vector<std::string> commands;

    void SetUp() override {
        GuiTest::SetUp();
        cwd = home().file("work");
        fs::create_directory(cwd);
        fs::current_path(cwd);
        set_command_recorder([this](const std::string& c, bool) {
            commands.push_back(c);
            return 0;
        });
    }
    void TearDown() override {
        set_command_recorder(nullptr);
        fs::current_path(saved_cwd);
        GuiTest::TearDown();
    }
    std::string current_text() {
        DocumentPage* page = current_document();
        return page ? text_view_text(page->view) : std::string();
    }
};
} // namespace

TEST_F(NewFileTest, EachKnownExtensionGetsItsHeaderInItsOwnPage) {
    struct Case {
        const char* name;
        const char* starts_with;
    };
    for (Case c : {Case{"new.sh", "#!/bin/bash\n\n# Script BASH"},
                   Case{"tool.pl", "#!/usr/bin/perl\n\n# Script perl"},
                   Case{"page.php", "<?php\n\n/* \n * Script PHP"},
                   Case{"index.html", "<!DOCTYPE HTML PUBLIC"}}) {
        ASSERT_TRUE(create_new_file(c.name)) << c.name;
        DocumentPage* page = current_document();
        ASSERT_NE(page, nullptr) << c.name;
        EXPECT_EQ(page->path, cwd + "/" + c.name);
        EXPECT_EQ(current_text().rfind(c.starts_with, 0), 0u) << c.name << ": " << current_text();
    }
    EXPECT_EQ(commands.back(), "chmod u+x '" + cwd + "/index.html'");
}

TEST_F(NewFileTest, OtherExtensionsAreCreatedEmptyButStillMadeExecutable) {
    ASSERT_TRUE(create_new_file("page.HTML"));
    EXPECT_EQ(current_text(), "");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], "chmod u+x '" + cwd + "/page.HTML'");
}

TEST_F(NewFileTest, AFileThatCannotBeCreatedOpensNothingAndRunsNothing) {
    EXPECT_FALSE(create_new_file("missing/dir/x.sh"));
    EXPECT_EQ(current_document(), nullptr);
    EXPECT_TRUE(commands.empty());
}
