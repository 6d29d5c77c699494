// Line splitting, marked items and history pushes, from arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "shell/lines.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Lines lines = text_to_lines(text);
    if (lines_to_text(lines) != text && !text.empty()) __builtin_trap();
    (void)text_to_marked_items(text, "//");
    Lines history;
    for (const auto& l : lines) lines_push_limited(history, l, 8);
    if (history.size() > 7) __builtin_trap();
    (void)replace_all(text, "%s", "x");
    return 0;
}
