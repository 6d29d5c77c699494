#include "documents/document_names.h"

int next_document_number(int counter) {
    if (counter >= 2147483646 || counter < 0) return 0;
    return counter + 1;
}

std::string new_document_name(int number) {
    return "noname_" + std::to_string(number);
}

std::string document_window_title(std::string_view path, bool full_path) {
    if (full_path) return std::string(path);
    auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool is_noname(std::string_view name) {
    return name.substr(0, name.find('_')) == "noname";
}

std::optional<std::string> folder_of(std::string_view path) {
    auto slash = path.rfind('/');
    if (slash == std::string_view::npos) return std::nullopt;
    if (slash == 0) return std::string("/");
    return std::string(path.substr(0, slash));
}
