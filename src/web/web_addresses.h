// The addresses the program builds for its web views and the rules it reads
// back out of them: a web search and a translation of a text, the address of a
// file, and what the Mini Web's picture buttons make of the address it shows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Every byte of `text` outside the unreserved set (letters, digits, "-._~")
// written %XX, so that the text stays one whole query value whatever it holds
// ("a b&c#d" gives "a%20b%26c%23d"; UTF-8 and NUL bytes are escaped too).
std::string percent_encode(std::string_view text);

// The search engine's result page for `text`; the encoded text ends the address.
// The one search address of the program: the selection search, the terminal's
// search and the help trees' fallback all use it.
std::string web_search_address(std::string_view text);
// The translation service's page translating `text` (F6: French to English,
// F7: English to French); the encoded text ends the address.
enum class TranslationDirection { french_to_english, english_to_french };
std::string translation_address(std::string_view text, TranslationDirection direction);

// The file:// address of an absolute path, escaped as URIs require ("#" and
// blanks included); none for a relative path or one GLib cannot convert.
std::optional<std::string> file_address(const std::string& path);

// Whether the Mini Web's picture buttons show for `address`: true when the text
// from its last "." is exactly ".jpg", ".png", ".gif" or ".jpeg", false for any
// other ending, none (leave them as they are) when it holds no ".".
std::optional<bool> picture_buttons_shown(std::string_view address);

// The file name a picture address stands for, as the picture buttons insert it
// and hand it to GIMP: the decoded path of a file: address (as UTF-8), otherwise
// the text after the first "://" up to a second one; none without "://".
std::optional<std::string> picture_address_name(std::string_view address);
