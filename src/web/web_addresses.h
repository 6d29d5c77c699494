// The addresses the program builds for the web views: a web search of a text
// and its translation, each with the text percent-encoded as one query value.
#pragma once

#include <string>
#include <string_view>

// The search engine's result page for `text`.
std::string web_search_address(std::string_view text);
// The translation service's page translating `text` (F6: French to English,
// F7: English to French).
enum class TranslationDirection { french_to_english, english_to_french };
std::string translation_address(std::string_view text, TranslationDirection direction);
