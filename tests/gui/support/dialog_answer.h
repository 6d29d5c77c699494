// Answers the next modal dialog of a test, so flows that run a dialog can be
// driven without a person. Call before the code that runs the dialog:
//
//   answer_next_dialog(GTK_RESPONSE_OK);
//   bool yes = ask_confirmation(main_window(), "%s ?", "a.txt");
//   EXPECT_EQ(last_dialog().text, "a.txt ?");
//
// The answer waits on the main loop (the dialog's own loop runs it) for a
// visible dialog that was not there when it was armed, records what it shows,
// then answers it. It gives up after `timeout_ms`.
#pragma once

#include <gtk/gtk.h>
#include <string>
#include <utility>
#include <vector>

struct SeenDialog {
    bool found = false;
    std::string text; // the labels of the content area, joined by "\n"
    std::vector<std::pair<int, std::string>>
        buttons; // response and label (a stock id for stock buttons)
    bool modal = false;
    bool destroy_with_parent = false;
    bool label_wraps = false; // every label of the content area wraps
    GtkWindow* transient_for = nullptr;
};

// Emits `response` on the next dialog.
void answer_next_dialog(GtkResponseType response, int timeout_ms = 10000);
// Closes the next dialog as the window manager's close button does: a delete
// event sent to its window.
void close_next_dialog(int timeout_ms = 10000);

// What the last dialog found by either showed.
const SeenDialog& last_dialog();
// Its text, for short assertions.
std::string last_dialog_text();
