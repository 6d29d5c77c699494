#include "documents/recent_files.h"

#include "documents/position_entry.h"
#include "documents/safe_write.h"

Lines& recent_files() {
    static Lines list;
    return list;
}

void recent_files_load(const std::string& path, long max) {
    auto lines = file_to_lines_max(path, max > 0 ? static_cast<std::size_t>(max) : 0);
    recent_files() = lines ? std::move(*lines) : Lines{};
}

// Only real entries are written: the empty entry a final newline leaves when
// the file is read would otherwise come back as one more blank line at every
// exit, each taking the place of a file in the list.
bool recent_files_write(const std::string& path) {
    return write_file_safely(path, position_list_text(recent_files())).ok;
}
