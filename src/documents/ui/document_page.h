// The open documents: one DocumentPage per tab of the editor notebook, kept in
// a list whose order is the notebook's (page i of the list is tab i).
#pragma once

#include <gtk/gtk.h>
#include <gtksourceview/gtksource.h>
#include <memory>
#include <optional>
#include <string>

#include "documents/file_stamp.h"
#include "documents/large_file_policy.h"
#include "shell/gobj.h"

// The text of a page still loading (documents/ui/page_loading.h).
struct PageLoad;
struct PageLoadDeleter {
    void operator()(PageLoad* load) const;
};

struct DocumentPage {
    std::string highlight_mode = "gettext PO file";
    bool is_file = false;           // bound to a file on disk (after an open or save-as)
    std::string path = "noname";    // UTF-8; "noname_<n>" for a new document
    std::string encoding = "UTF-8"; // the charset the file was read in and is written in
    GtkWidget* saved_indicator = nullptr;
    // The page holds its own reference: the text outlives the widgets when the
    // window is destroyed before the pages are closed at exit.
    GObjectPtr<GtkSourceBuffer> buffer;
    GtkWidget* tab_label = nullptr;
    GtkWidget* close_button = nullptr;
    GtkWidget* tab_head = nullptr;
    GtkWidget* page_widget = nullptr; // the scrolled window that is the notebook page
    GtkWidget* view = nullptr;
    std::optional<std::string> last_search;
    // The user chose to close without saving: the page goes without a question.
    bool changes_given_up = false;
    // What the file was when the page last read or wrote it; a save that finds
    // it changed since asks before overwriting.
    std::optional<FileStamp> disk_stamp;

    // Completion word providers of this page and the hidden buffer of the user's
    // word file; unregistered when the page closes.
    GObjectPtr<GtkSourceCompletionWords> own_words;
    GObjectPtr<GtkSourceCompletionWords> user_words;
    GObjectPtr<GtkTextBuffer> user_words_buffer;

    // What stays on for the size of the file the page was read from.
    PageFeatures features;
    // The file's text still to come while it goes in slice by slice.
    std::unique_ptr<PageLoad, PageLoadDeleter> load;

    DocumentPage() = default;
    DocumentPage(const DocumentPage&) = delete;
    DocumentPage& operator=(const DocumentPage&) = delete;
    ~DocumentPage();
};

// The page of the editor notebook's current tab, or null; remembered as the
// current page.
DocumentPage* current_document();
// The page current_document() found last (null before any call or without pages).
DocumentPage* current_page();

int document_count();
DocumentPage* page_at_index(int index);     // null when out of range
int index_of_path(const std::string& path); // first exact match, or -1
// The page's index; the last index (count - 1) when the page is not listed.
int index_of_page(const DocumentPage* page);

// Builds a page with an empty buffer, appends it to the list and the notebook.
// Null when there is no editor notebook.
DocumentPage* create_page();
// A page named "noname_<n>" with the editor settings applied, made the current tab.
DocumentPage* new_document_page();
// "Nouveau": a new page that becomes current, with title, focus, menu, editor
// area and status bar brought up to date.
DocumentPage* new_document_command();
// A fresh page holding `text` as one undoable insertion; the tool's result tab.
DocumentPage* new_document_page_with_text(std::string_view text);

// Closes tab `index` (-1 and other missing indexes do nothing): the scrapbook is
// written without asking; a page whose text would be lost (a modified file, a
// page never saved that holds text) is asked about when `prompt_on_not_saved`
// is on and saved on OK (a page never saved through the save-as dialog); a
// file that exists goes to the recent list. False when the page stays open:
// the user cancelled, or the save failed or was cancelled.
bool close_page_at_index(int index);
// Every page in tab order, as the program's exit does: nothing stays open.
void close_all_pages();
// Before the program quits: every page whose text would be lost is asked about
// in tab order, and saved when the user says so. False as soon as the user
// cancels or a save does not happen; the program then keeps running with its
// pages as they were.
bool pages_may_quit();

// Saves a page to its path; until saving is wired in it saves nothing and says so.
bool save_page(DocumentPage& page);
// The saving code registers what save_page does (null unregisters).
using PageSaver = bool (*)(DocumentPage& page);
void set_page_saver(PageSaver saver);

// Window title, status bar and file panel folder for `page`.
void show_page_state(const DocumentPage* page);
void rebuild_open_documents_menu();
// The editor notebook while a document exists, the start page otherwise.
void update_editor_area();

// The page whose buffer `buffer` is, or null.
DocumentPage* page_of_buffer(GtkTextBuffer* buffer);
// Turns off on the page what `features` leaves off: without word completion
// the page's own words are no longer indexed or offered.
void set_page_features(DocumentPage& page, const PageFeatures& features);

// Font, colours, tab stops and wrapping of the page's view from the settings.
void apply_editor_settings(DocumentPage& page);

// The tab that was current before the last tab switch, or -1.
int previous_tab_index();
