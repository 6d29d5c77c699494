// The outside texts the mount code reads: the kernel's mount table, the server
// histories and a typed host field. Decoded mount points never grow longer than
// their escaped field; every accepted host comes back to its own text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "remote/mount_table.h"
#include "remote/remote_fields.h"
#include "remote/remote_history.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto& e : parse_mountinfo(text))
        if (e.point.size() > size) std::abort();

    for (const auto& line : history_lines(text)) {
        HistoryRow row = parse_history_line(line);
        if (row.host.size() + row.user.size() + row.third.size() > line.size()) std::abort();
    }

    std::string_view first = text.substr(0, text.find('\n'));
    if (auto host = parse_host_field(first)) {
        std::string back = host_for_url(*host);
        if (!host->port.empty()) back += ":" + host->port;
        if (back != first) std::abort();
        if (first.find_first_of(" /;$`'\"\\") != std::string_view::npos) std::abort();
    }
    return 0;
}
