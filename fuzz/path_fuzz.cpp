// Path normalisation, resolution and relative paths, from arbitrary bytes: the
// input is split at its first NUL into a document path and a target.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "documents/path_helpers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = input.find('\0');
    std::string_view document = input.substr(0, cut);
    std::string_view target = cut == std::string_view::npos ? input : input.substr(cut + 1);

    // Normalising only ever removes text, and a second pass finds nothing more.
    const std::string normal = normalise_path(target);
    if (normal.size() > target.size()) __builtin_trap();
    if (normalise_path(normal) != normal) __builtin_trap();

    const std::string resolved = resolve_path(target, document.empty() ? "/" : document);
    if (resolved.empty()) __builtin_trap();

    const std::string relative = relative_path(document, target);
    // A relative target never comes back absolute; an absolute one comes back
    // relative to an absolute document unless the document's path keeps a "..".
    const bool relative_is_absolute = !relative.empty() && relative.front() == '/';
    if (relative_is_absolute && !normal.empty() && normal.front() != '/') __builtin_trap();
    const std::string normal_document = normalise_path(document);
    if (relative_is_absolute && !normal_document.empty() && normal_document.front() == '/' &&
        normal_document.find("/..") == std::string::npos)
        __builtin_trap();

    (void)to_filesystem_encoding(target);
    (void)to_utf8_path(target);
    return 0;
}
