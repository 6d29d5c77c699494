// The automatic replacement table (orvane_autoreplace): word typed -> replacement.
#pragma once

#include <optional>
#include <string>

#include "shell/key_file.h"

const std::optional<KeyTable>& autoreplace_table();
// Loads the table when the file exists; otherwise the table is empty.
void autoreplace_load(const std::string& path);
void autoreplace_clear();
