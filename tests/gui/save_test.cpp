// Saving pages in the real main window: the save command and its refusals,
// backups, failed writes and conversions, save-as in its three kinds, versions,
// revert and the reload of the program's own files.
#include <glib/gstdio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "documents/ui/doc_primitives.h"
#include "documents/ui/document_hooks.h"
#include "documents/ui/document_page.h"
#include "documents/ui/open.h"
#include "documents/ui/save.h"
#include "gui/support/chooser_answer.h"
#include "gui/support/dialog_answer.h"
#include "gui/support/gui_fixture.h"
#include "shell/config_dir.h"
#include "shell/gobj.h"
#include "shell/settings.h"
#include "shell/ui/window_parts.h"

namespace {

std::string buffer_text(const DocumentPage* page) {
    return doc_get_text(GTK_TEXT_BUFFER(page->buffer.get()));
}

bool modified(const DocumentPage* page) {
    return gtk_text_buffer_get_modified(GTK_TEXT_BUFFER(page->buffer.get()));
}

bool indicator_visible(const DocumentPage* page) {
    return gtk_widget_get_visible(page->saved_indicator);
}

bool exists(const std::string& path) {
    return g_file_test(path.c_str(), G_FILE_TEST_EXISTS);
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// A page bound to a file on disk, as opening one leaves it, then edited.
DocumentPage* edited_file_page(const std::string& path, const std::string& on_disk,
                               const std::string& in_buffer, const char* encoding = "UTF-8") {
    write_file(path, on_disk);
    DocumentPage* page = new_document_page();
    page->path = path;
    page->is_file = true;
    page->encoding = encoding;
    gtk_label_set_text(GTK_LABEL(page->tab_label), path.c_str());
    GtkTextBuffer* buffer = GTK_TEXT_BUFFER(page->buffer.get());
    gtk_text_buffer_set_text(buffer, in_buffer.c_str(), -1);
    gtk_text_buffer_set_modified(buffer, TRUE);
    gtk_widget_hide(page->saved_indicator);
    return page;
}

std::string file_mode(const std::string& path) {
    GStatBuf st{};
    if (g_stat(path.c_str(), &st) != 0) return "none";
    return std::to_string(st.st_mode & 07777);
}

// A soft limit on the size of files this process writes; the hard limit and
// the previous soft limit come back when it goes.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        applied_ = setrlimit(RLIMIT_FSIZE, &limited) == 0;
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &saved_); }
    bool applied() const { return applied_; }

  private:
    rlimit saved_{};
    bool applied_ = false;
};

TEST_F(GuiTest, SaveWritesThePageAndReportsOnEveryChannel) {
    const std::string path = home().file("page.txt");
    DocumentPage* page = edited_file_page(path, "old\n", "new text\n");
    g_chmod(path.c_str(), 0640);
    ASSERT_TRUE(activate_menu_item_path({"Fichier", "Sauvegarder"}));
    EXPECT_EQ(read_file(path), "new text\n");
    EXPECT_EQ(file_mode(path), std::to_string(0640));
    EXPECT_FALSE(modified(page));
    EXPECT_TRUE(indicator_visible(page));
    EXPECT_TRUE(contains(log_text(), path + " Sauvegarde [OK]"));
    EXPECT_EQ(status_text(), "Save [OK]");
    // No backup unless asked for, and no temporary file left beside it.
    EXPECT_FALSE(exists(path + ".bak"));
    GDir* dir = g_dir_open(home().path().c_str(), 0, nullptr);
    ASSERT_NE(dir, nullptr);
    int files = 0;
    while (const char* name = g_dir_read_name(dir))
        if (g_file_test(home().file(name).c_str(), G_FILE_TEST_IS_REGULAR)) ++files;
    g_dir_close(dir);
    EXPECT_EQ(files, 1);
}

TEST_F(GuiTest, SaveWritesThroughASymbolicLinkAndKeepsIt) {
    const std::string target = home().file("real.txt");
    const std::string link = home().file("link.txt");
    write_file(target, "old");
    ASSERT_EQ(symlink("real.txt", link.c_str()), 0);
    DocumentPage* page = edited_file_page(target, "old", "through the link");
    page->path = link;
    EXPECT_TRUE(save_page(*page));
    EXPECT_TRUE(g_file_test(link.c_str(), G_FILE_TEST_IS_SYMLINK));
    EXPECT_EQ(read_file(target), "through the link");
}

class BackupTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "do_backup=1\n"); }
};

TEST_F(BackupTest, SavingAnExistingFileWritesItsBackupFirst) {
    const std::string path = home().file("f.html");
    edited_file_page(path, "<p>before</p>\n", "<p>after</p>\n");
    save_current_document();
    EXPECT_EQ(read_file(path + ".bak"), "<p>before</p>\n");
    EXPECT_EQ(read_file(path), "<p>after</p>\n");
    EXPECT_TRUE(contains(log_text(), path + ".bak est créé"));
}

TEST_F(BackupTest, TheFirstSaveOfANewFileMakesNoBackup) {
    const std::string path = home().file("new.txt");
    new_document_with_text("fresh");
    answer_next_chooser(path);
    save_current_document();
    EXPECT_EQ(read_file(path), "fresh");
    EXPECT_FALSE(exists(path + ".bak"));
    EXPECT_FALSE(contains(log_text(), "est créé"));
    EXPECT_TRUE(contains(log_text(), path + " Sauvegarde [OK]"));
}

TEST_F(GuiTest, TheBackupCommandCopiesEvenWhenBackupsAreOff) {
    const std::string path = home().file("b.txt");
    edited_file_page(path, "on disk", "in buffer");
    ASSERT_TRUE(activate_menu_item("Backup"));
    EXPECT_EQ(read_file(path + ".bak"), "on disk");
    EXPECT_EQ(read_file(path), "on disk");
    EXPECT_TRUE(contains(log_text(), path + ".bak est créé"));

    // A backup that cannot be written says so.
    g_mkdir(home().file("d.txt.bak").c_str(), 0700);
    edited_file_page(home().file("d.txt"), "x", "y");
    ASSERT_TRUE(activate_menu_item("Backup"));
    EXPECT_TRUE(
        contains(log_text(), "Ne peut pas faire de sauvegarde pour " + home().file("d.txt")));
}

TEST_F(GuiTest, RtfFilesAndFoldersAreRefusedAndStayModified) {
    const std::string rtf = home().file("x.RTF");
    DocumentPage* page = edited_file_page(rtf, "{\\rtf1 old}", "plain text");
    save_current_document();
    EXPECT_EQ(read_file(rtf), "{\\rtf1 old}");
    EXPECT_TRUE(contains(log_text(), "Orvane can't save RTF. Because."));
    EXPECT_TRUE(modified(page));
    EXPECT_EQ(status_text(), "Save [ERROR]");

    const std::string folder = home().file("folder");
    g_mkdir(folder.c_str(), 0700);
    page = edited_file_page(home().file("placeholder"), "", "text");
    page->path = folder;
    save_current_document();
    EXPECT_TRUE(g_file_test(folder.c_str(), G_FILE_TEST_IS_DIR));
    EXPECT_TRUE(contains(log_text(),
                         "Et comment je peux enregistrer ce fichier texte comme un répertoire?!"));
    EXPECT_FALSE(indicator_visible(page));
    EXPECT_TRUE(modified(page));
}

TEST_F(GuiTest, AFileTheUserMayNotWriteIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "root may write any file";
    const std::string path = home().file("ro.txt");
    DocumentPage* page = edited_file_page(path, "kept", "lost");
    g_chmod(path.c_str(), 0444);
    save_current_document();
    EXPECT_EQ(read_file(path), "kept");
    EXPECT_TRUE(contains(log_text(), path + " n'est pas accessible en écriture pour vous!"));
    EXPECT_TRUE(modified(page));
}

class FailedWriteTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "prompt_on_not_saved=1\n"); }
};

TEST_F(FailedWriteTest, AWriteThatFailsKeepsTheFileAndTheModifiedState) {
    const std::string path = home().file("big.txt");
    const std::string original = "the original content\n";
    DocumentPage* page = edited_file_page(path, original, std::string(64 * 1024, 'x'));
    {
        FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.applied());
        save_current_document();
    }
    EXPECT_EQ(read_file(path), original);
    EXPECT_TRUE(modified(page));
    EXPECT_FALSE(indicator_visible(page));
    EXPECT_TRUE(contains(log_text(), "Ne peut pas écrire " + path));
    EXPECT_FALSE(contains(log_text(), "Sauvegarde [OK]"));
    EXPECT_EQ(status_text(), "Save [ERROR]");

    // So closing still asks; this time the write goes through.
    answer_next_dialog(GTK_RESPONSE_OK);
    close_current_document();
    EXPECT_TRUE(last_dialog().found);
    EXPECT_EQ(read_file(path), std::string(64 * 1024, 'x'));
}

// Another program (or another tab of the same file) wrote it meanwhile.
TEST_F(GuiTest, AFileChangedOnDiskIsOverwrittenOnlyWhenTheUserSaysSo) {
    const std::string path = home().file("shared.txt");
    write_file(path, "first\n");
    set_pending_charset(std::string("UTF-8"));
    DocumentPage* page = open_and_show(path);
    ASSERT_NE(page, nullptr);
    doc_insert_at_cursor(page, "mine ");
    write_file(path, "theirs, meanwhile\n");

    answer_next_dialog(GTK_RESPONSE_CANCEL);
    save_current_document();
    EXPECT_EQ(last_dialog_text(), path + " a changé sur le disque depuis sa dernière lecture ou "
                                         "sauvegarde. Remplacer ce qu'il contient par le texte "
                                         "de l'onglet?");
    EXPECT_EQ(read_file(path), "theirs, meanwhile\n");
    EXPECT_TRUE(modified(page));
    EXPECT_FALSE(contains(log_text(), "Sauvegarde [OK]"));

    answer_next_dialog(GTK_RESPONSE_OK);
    save_current_document();
    EXPECT_EQ(read_file(path), "mine first\n");
    EXPECT_FALSE(modified(page));

    // The page knows the file it wrote: the next save asks nothing.
    doc_insert_at_cursor(page, "again ");
    close_next_dialog(300);
    save_current_document();
    EXPECT_FALSE(last_dialog().found);
    EXPECT_EQ(read_file(path), "mine again first\n");
}

TEST_F(GuiTest, AFolderThatWasRemovedFailsTheSave) {
    const std::string folder = home().file("gone");
    g_mkdir(folder.c_str(), 0700);
    DocumentPage* page = edited_file_page(folder + "/f.txt", "x", "y");
    g_remove((folder + "/f.txt").c_str());
    g_rmdir(folder.c_str());
    EXPECT_FALSE(save_page(*page));
    EXPECT_TRUE(modified(page));
    EXPECT_FALSE(exists(folder));
}

TEST_F(GuiTest, TextTheCharsetCannotHoldWritesNothing) {
    const std::string path = home().file("latin.txt");
    DocumentPage* page = edited_file_page(path, "caf\xE9\n", "café ∑ 😀\n", "ISO-8859-1");
    save_current_document();
    EXPECT_EQ(read_file(path), "caf\xE9\n");
    EXPECT_TRUE(modified(page));
    EXPECT_EQ(buffer_text(page), "café ∑ 😀\n");
    EXPECT_TRUE(contains(log_text(), "ISO-8859-1: rien n'est écrit"));

    // Text it can hold is converted.
    gtk_text_buffer_set_text(GTK_TEXT_BUFFER(page->buffer.get()), "déjà\n", -1);
    save_current_document();
    EXPECT_EQ(read_file(path), "d\xE9j\xE0\n");
    EXPECT_FALSE(modified(page));
}

TEST_F(GuiTest, SaveAsStoresTheSavingCharsetWhateverThePageWasOpenedIn) {
    const std::string source = home().file("ru.txt");
    // "Привет" in CP1251.
    write_file(source, "\xCF\xF0\xE8\xE2\xE5\xF2\n");
    DocumentPage* page = open_path_with_charset(source, "CP1251");
    ASSERT_NE(page, nullptr);
    ASSERT_EQ(page->encoding, "CP1251");
    ASSERT_EQ(buffer_text(page), "Привет\n");

    // Saved in place it keeps its charset.
    doc_insert_at_cursor(page, "Да ");
    save_current_document();
    EXPECT_EQ(read_file(source), "\xC4\xE0 \xCF\xF0\xE8\xE2\xE5\xF2\n");

    const std::string copy = home().file("ru-utf8.txt");
    answer_next_chooser(copy);
    ASSERT_TRUE(activate_menu_item("Sauvegarder sous"));
    EXPECT_EQ(read_file(copy), "Да Привет\n");
    EXPECT_EQ(page->encoding, "UTF-8");
    EXPECT_EQ(page->path, copy);
    EXPECT_TRUE(page->is_file);
    EXPECT_EQ(gtk_label_get_text(GTK_LABEL(page->tab_label)), std::string("ru-utf8.txt"));
    EXPECT_EQ(read_file(source), "\xC4\xE0 \xCF\xF0\xE8\xE2\xE5\xF2\n");
}

class SaveCharsetTest : public GuiTest {
    void prepare_home() override {
        write_config_file("orvane_rc", "def_filesave_charset=CP1251\nuse_def_save_dir=0\n");
    }
};

TEST_F(SaveCharsetTest, TheDialogShowsItsTitleButtonsAndExtraAreaAndUsesTheSetting) {
    const std::string path = home().file("existing.txt");
    edited_file_page(path, "x", "Ёж");
    const std::string out = home().file("out.txt");
    answer_next_chooser(out);
    EXPECT_TRUE(save_as_dialog(SaveAsKind::plain));
    const SeenChooser& seen = last_chooser();
    EXPECT_EQ(seen.title, "Sauvegarde sous...");
    EXPECT_EQ(seen.buttons,
              (std::vector<std::pair<int, std::string>>{{GTK_RESPONSE_CANCEL, "gtk-cancel"},
                                                        {GTK_RESPONSE_ACCEPT, "gtk-save"}}));
    EXPECT_EQ(seen.extra_labels, (std::vector<std::string>{"Marque page", "+", "Encodage: "}));
    // Without a default folder the page's own file is preselected.
    EXPECT_EQ(seen.folder + "/" + seen.name, path);
    EXPECT_EQ(read_file(out), "\xA8\xE6");
    EXPECT_EQ(current_document()->encoding, "CP1251");
}

TEST_F(GuiTest, CancellingTheSaveOfANewDocumentWritesAndLogsNothing) {
    new_document_with_text("draft");
    DocumentPage* page = current_document();
    const std::string log_before = log_text();
    answer_next_chooser("");
    ASSERT_TRUE(activate_menu_item("Sauvegarder"));
    EXPECT_TRUE(last_chooser().found);
    EXPECT_EQ(page->path, "noname_1");
    EXPECT_FALSE(page->is_file);
    EXPECT_EQ(log_text(), log_before);
    // The default save folder is where the dialog starts.
    EXPECT_EQ(last_chooser().folder, home().path());
}

class OverwriteTest : public GuiTest {
    void prepare_home() override { write_config_file("orvane_rc", "prompt_on_file_exists=1\n"); }
};

TEST_F(OverwriteTest, AnExistingFileIsReplacedOnlyAfterTheQuestion) {
    const std::string target = home().file("taken.txt");
    write_file(target, "keep me");
    new_document_with_text("replacement");
    answer_next_chooser(target, [] { answer_next_dialog(GTK_RESPONSE_CANCEL); });
    EXPECT_FALSE(save_as_dialog(SaveAsKind::plain));
    EXPECT_EQ(last_dialog_text(), target + " il existe voulez vous le remplacer?");
    EXPECT_EQ(read_file(target), "keep me");
    EXPECT_EQ(current_document()->path, "noname_1");

    answer_next_chooser(target, [] { answer_next_dialog(GTK_RESPONSE_OK); });
    EXPECT_TRUE(save_as_dialog(SaveAsKind::plain));
    EXPECT_EQ(read_file(target), "replacement");
}

std::vector<std::string> submenu_names(const char* label) {
    return submenu_item_names(find_menu_item(label));
}

TEST_F(GuiTest, TemplatesAndSnippetsAreSavedInTheirFoldersAndListed) {
    new_document_with_text("<html></html>\n");
    const std::string templ = config_paths().templates_dir + "page.html";
    answer_next_chooser(templ);
    ASSERT_TRUE(activate_menu_item("Sauvegarder sous un template"));
    EXPECT_EQ(last_chooser().folder + "/", config_paths().templates_dir);
    EXPECT_EQ(read_file(templ), "<html></html>\n");
    EXPECT_EQ(submenu_names("Templates"), (std::vector<std::string>{"-x-", "page.html"}));

    new_document_with_text("snippet body");
    const std::string snippet = config_paths().snippets_dir + "s1";
    answer_next_chooser(snippet);
    ASSERT_TRUE(activate_menu_item("Sauvegarder sous un snippet"));
    EXPECT_EQ(last_chooser().folder + "/", config_paths().snippets_dir);
    EXPECT_EQ(read_file(snippet), "snippet body");
    std::vector<std::string> snippets = submenu_names("Snippets");
    EXPECT_NE(std::find(snippets.begin(), snippets.end(), "s1"), snippets.end());
}

TEST_F(GuiTest, AVersionIsWrittenBesideTheFileAndThePageKeepsItsPath) {
    new_document_with_text("unsaved");
    ASSERT_TRUE(activate_menu_item("Sauvegarder version"));
    EXPECT_TRUE(contains(log_text(), "Sauvegardez le fichier avant..."));

    const std::string folder = home().file("site");
    g_mkdir(folder.c_str(), 0700);
    const std::string path = folder + "/index.html";
    DocumentPage* page = edited_file_page(path, "v1", "v2");
    ASSERT_TRUE(activate_menu_item("Sauvegarder version"));
    EXPECT_EQ(page->path, path);
    EXPECT_EQ(read_file(path), "v1");
    // The page's own file still lacks the text, and closing must know it.
    EXPECT_TRUE(modified(page));
    EXPECT_FALSE(indicator_visible(page));
    EXPECT_EQ(status_text(), "Save [OK]");

    std::string version;
    GDir* dir = g_dir_open(folder.c_str(), 0, nullptr);
    ASSERT_NE(dir, nullptr);
    while (const char* name = g_dir_read_name(dir))
        if (std::string(name) != "index.html") version = name;
    g_dir_close(dir);
    ASSERT_FALSE(version.empty());
    EXPECT_EQ(read_file(folder + "/" + version), "v2");
    EXPECT_TRUE(g_str_has_suffix(version.c_str(), "_index.html")) << version;
    EXPECT_EQ(version.find(' '), std::string::npos);
    EXPECT_EQ(version.find(':'), std::string::npos);
    EXPECT_TRUE(contains(log_text(), folder + "/" + version + " Sauvegarde OK..."));
}

TEST_F(GuiTest, RevertReadsTheFileAgainInThePageCharset) {
    const std::string path = home().file("r.txt");
    DocumentPage* page = edited_file_page(path, "caf\xE9", "edited", "ISO-8859-1");
    ASSERT_TRUE(activate_menu_item("Revenir à la sauvegarde"));
    EXPECT_EQ(buffer_text(page), "café");
    EXPECT_FALSE(modified(page));
    EXPECT_TRUE(contains(log_text(), path + " est rechargé"));

    page->encoding = "UTF-8";
    ASSERT_TRUE(activate_menu_item("Revenir à la sauvegarde"));
    EXPECT_TRUE(contains(log_text(), "Je ne peux pas recharger " + path));
    EXPECT_EQ(buffer_text(page), "café");
}

TEST_F(GuiTest, SavingTheMainConfigurationAppliesItAtOnceToEveryPage) {
    new_document_with_text("a\tb");
    DocumentPage* other = current_document();
    PangoTabArray* before = gtk_text_view_get_tabs(GTK_TEXT_VIEW(other->view));
    gint width_before = 0;
    pango_tab_array_get_tab(before, 0, nullptr, &width_before);
    pango_tab_array_free(before);

    const std::string rc = config_paths().rc;
    const std::string text = read_file(rc);
    ASSERT_FALSE(text.empty());
    std::istringstream lines(text);
    std::string edited;
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("tab_size=", 0) != 0 && line.rfind("max_recent_items=", 0) != 0)
            edited += line + "\n";
    DocumentPage* page = edited_file_page(rc, text, edited + "tab_size=16\nmax_recent_items=3\n");
    save_current_document();
    EXPECT_TRUE(contains(log_text(), "config reloaded"));
    EXPECT_EQ(settings().tab_size, 16);
    EXPECT_EQ(settings().max_recent_items, 3);
    for (DocumentPage* p : {other, page}) {
        PangoTabArray* after = gtk_text_view_get_tabs(GTK_TEXT_VIEW(p->view));
        gint width = 0;
        pango_tab_array_get_tab(after, 0, nullptr, &width);
        pango_tab_array_free(after);
        EXPECT_GT(width, width_before);
    }
}

TEST_F(GuiTest, SavingTheBookmarksFileRebuildsItsMenu) {
    const std::string bmx = config_paths().bmx;
    edited_file_page(bmx, "", "/srv/a.html,UTF-8,3\n");
    save_current_document();
    EXPECT_TRUE(contains(log_text(), bmx + " reloaded"));
    EXPECT_EQ(submenu_names("Marque page"), (std::vector<std::string>{"/srv/a.html,UTF-8,3"}));
    // Files of no interest to the program reload nothing.
    edited_file_page(home().file("plain.txt"), "", "x");
    save_current_document();
    EXPECT_FALSE(contains(log_text(), "plain.txt reloaded"));
}

} // namespace
