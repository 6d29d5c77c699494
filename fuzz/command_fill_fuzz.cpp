// Command templates and typed names from arbitrary bytes: the template fill, the
// run plan, chmod and the ssh line never fail, and nothing typed into a
// terminal carries a control character other than its line feeds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "shell/commands.h"
#include "terminal/run_plan.h"

namespace {
void check_typed(std::string_view typed) {
    for (unsigned char c : typed)
        if ((c < 0x20 && c != '\n') || c == 0x7f) std::abort();
}
} // namespace

// Input: template, NUL, argument.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto nul = input.find('\0');
    std::string_view templ = input.substr(0, nul);
    std::string_view arg = nul == std::string_view::npos ? "" : input.substr(nul + 1);

    std::string filled = shell_fill_command(templ, arg);
    if (templ.find("%s") == std::string_view::npos && filled != templ) std::abort();

    Project p = project_new();
    p.dir_makefile = std::string(templ);
    p.dir_source = std::string(arg);
    p.file_executable = std::string(arg);
    for (const auto& name : {std::string(arg) + ".sh", std::string(arg) + ".c"}) {
        RunPlan plan = run_plan(name, &p);
        check_typed(plan.typed);
    }
    if (auto ssh = ssh_typed_line(templ, arg)) check_typed(*ssh);
    (void)chmod_command(arg);
    return 0;
}
