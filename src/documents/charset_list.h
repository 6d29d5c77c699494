// The charsets the user can choose: fixed names, then the ones marked with '+'
// in iconv_rc; and the pending charset that the next open uses.
#pragma once

#include <optional>
#include <string>

#include "shell/lines.h"

// Runs `iconv -l` into the file when it is missing, then reads it. When it cannot
// be read the lists keep their previous content. Sets the pending charset to UTF-8.
void charset_lists_rebuild(const std::string& iconv_rc_path);

// "autodetect", "Japanese autodetect", "UTF-8", "current locale", then the marked names.
const Lines& open_charsets();
// "UTF-8", "current locale", then the marked names.
const Lines& save_charsets();

// The charset the next open uses; none means `default_charset`.
const std::optional<std::string>& pending_open_charset();
void set_pending_open_charset(std::optional<std::string> charset);
