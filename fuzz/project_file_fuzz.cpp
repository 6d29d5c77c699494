// Project files and make's output from arbitrary bytes: once read, a project
// writes a file that reads back as the same project (unset fields come back as
// the defaults the first time), and every line of output is judged without failing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/project_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    Project p = project_from_table(parse_key_text(text), "/p/x.prj");
    auto reread = [](const Project& q) {
        return project_from_table(parse_key_text(project_file_text(q)), "/p/x.prj");
    };
    Project once = reread(p);
    if (!(reread(once) == once)) std::abort();
    (void)project_log_opened_text("/p/x.prj", text);
    (void)project_log_saved_text("/p/x.prj", p);
    for (std::size_t start = 0; start <= text.size();) {
        auto nl = text.find('\n', start);
        std::string_view line = text.substr(start, nl == std::string_view::npos ? nl : nl - start);
        (void)make_line_is_error(line);
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return 0;
}
