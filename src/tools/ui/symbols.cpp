#include "tools/ui/symbols.h"

// The symbol scanner is not built yet; the side panel keeps what it shows.
void scan_symbols(DocumentPage&) {}
