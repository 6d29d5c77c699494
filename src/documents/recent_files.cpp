#include "documents/recent_files.h"

Lines& recent_files() {
    static Lines list;
    return list;
}

void recent_files_load(const std::string& path, long max) {
    auto lines = file_to_lines_max(path, max > 0 ? static_cast<std::size_t>(max) : 0);
    recent_files() = lines ? std::move(*lines) : Lines{};
}

void recent_files_write(const std::string& path) { lines_to_file(recent_files(), path); }
