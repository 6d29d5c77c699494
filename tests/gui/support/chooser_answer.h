// Answers the next file chooser dialog of a test with a chosen file, as a user
// who types a name and presses the accept button:
//
//   answer_next_chooser("/tmp/x/out.txt");
//   save_as_dialog(SaveAsKind::plain);
//   EXPECT_EQ(last_chooser().title, "Sauvegarde sous...");
//
// An empty path cancels the dialog instead. What the dialog showed when it
// appeared (title, folder, buttons, the labels of its extra area) is recorded.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

struct SeenChooser {
    bool found = false;
    std::string title;
    std::string folder;   // the current folder when the dialog appeared
    std::string name;     // the name it offered, if any
    std::vector<std::pair<int, std::string>> buttons;
    std::vector<std::string> extra_labels; // labels and button labels of the extra area
};

// `before_accept` runs while the chooser is still shown, just before the accept:
// the place to arm the answer of a question the accept will ask.
void answer_next_chooser(const std::string& path, std::function<void()> before_accept = {},
                         int timeout_ms = 10000);
const SeenChooser& last_chooser();
