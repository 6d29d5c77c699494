// Word files for completion: plain text in the locale's charset, one word a line
// as a rule, though the completion picks words out of any text.
#pragma once

#include <string>
#include <string_view>

// The file's bytes as UTF-8, converted line by line from the locale's charset so
// that one bad line costs only itself: a line that cannot be converted is left
// out, every other one is kept whole with its line end.
std::string word_file_text(std::string_view bytes);
