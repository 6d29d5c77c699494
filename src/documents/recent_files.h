// The recent-files list: loaded at start, handed entries as documents close,
// written to orvane_recent at a normal exit.
#pragma once

#include <string>

#include "shell/lines.h"

Lines& recent_files();
// Reads at most `max` lines of the file; a missing file leaves the list empty.
void recent_files_load(const std::string& path, long max);
// Writes each non-empty entry followed by "\n", replacing the file whole; false
// when it could not be written (the file then keeps what it held).
bool recent_files_write(const std::string& path);
