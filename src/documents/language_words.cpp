#include "documents/language_words.h"

std::optional<LanguageWords> language_words_for(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) return std::nullopt;
    const std::string_view ext = path.substr(dot);
    if (ext == ".pl") return LanguageWords{"[PERL] AutoComp", "perl"};
    if (ext == ".sh") return LanguageWords{"[BASH] AutoComp", "bash"};
    if (ext == ".c" || ext == ".h") return LanguageWords{"[C] AutoComp", "c"};
    if (ext == ".htm" || ext == ".html") return LanguageWords{"[HTML] AutoComp", "html"};
    if (ext == ".php") return LanguageWords{"[PHP] AutoComp", "php"};
    return std::nullopt;
}
