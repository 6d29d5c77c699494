// Todo row files (and the profile, parsed the same way) from arbitrary bytes:
// whatever reads as a row writes back to a file that reads as the same row, and
// every text read is valid UTF-8 a row file can carry.
#include <glib.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "tools/todo_model.h"

namespace {
void check_text(const std::string& text) {
    if (!g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr)) __builtin_trap();
    if (todo_clean_text(text) != text) __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TodoRowRead row = todo_parse_row(bytes);
    if (row.status == TodoReadStatus::ok || row.status == TodoReadStatus::wrong_root) {
        for (const TodoCell& cell : row.cells) {
            check_text(cell.name);
            check_text(cell.value);
        }
        TodoRowRead again = todo_parse_row(todo_row_text(row.cells));
        if (again.status != TodoReadStatus::ok || again.cells != row.cells) __builtin_trap();
    } else if (!row.cells.empty()) {
        __builtin_trap();
    }
    TodoProfile profile = todo_parse_profile(bytes);
    for (const TodoColumn& column : profile.columns)
        check_text(column.default_value);
    return 0;
}
