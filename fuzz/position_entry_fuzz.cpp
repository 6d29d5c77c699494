// Position entries ("path,charset,offset") and the lists made of them, from
// arbitrary bytes: what a hand-edited recent, session or bookmarks file holds.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "documents/position_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Lines list = position_list_from_text(text);
    for (const std::string& line : list) {
        auto entry = parse_position_entry(line);
        if (!entry) continue;
        if (entry->path.empty() || entry->offset < 0) __builtin_trap();
        // What was read is written back in a form that reads back the same.
        if (auto again = format_position_entry(*entry)) {
            auto reread = parse_position_entry(*again);
            if (!reread || !(*reread == *entry)) __builtin_trap();
        }
    }
    Lines session = session_list(list, 5);
    if (session.size() > 5) __builtin_trap();
    const std::string written = position_list_text(list);
    if (written.size() > text.size() + list.size()) __builtin_trap();
    return 0;
}
