// The language word list a file's name brings to completion when it is opened.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct LanguageWords {
    std::string provider_name; // "[PERL] AutoComp", ...
    std::string file_name;     // the word file under the data folder's doc/
};

// By the text from the path's last '.', compared exactly (a.PHP has none):
// .pl perl, .sh bash, .c and .h c, .htm and .html html, .php php.
std::optional<LanguageWords> language_words_for(std::string_view path);
