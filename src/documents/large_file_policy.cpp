#include "documents/large_file_policy.h"

#include <glib/gi18n-lib.h>

#include "shell/message_format.h"

PageFeatures page_features_for_size(std::uint64_t bytes) {
    PageFeatures features;
    if (bytes < kLargeFileBytes) return features;
    features.word_completion = false;
    features.marks_beyond_screen = false;
    features.highlighting = bytes < kUnhighlightedFileBytes;
    return features;
}

namespace {
// "4,8" for 5 000 000 bytes: megabytes with one decimal, French style.
std::string megabytes(std::uint64_t bytes) {
    const std::uint64_t tenths = (bytes * 10 + (std::uint64_t{1} << 19)) >> 20;
    return std::to_string(tenths / 10) + "," + std::to_string(tenths % 10);
}
} // namespace

std::string large_file_notice(const PageFeatures& features, std::uint64_t bytes) {
    if (features == PageFeatures{}) return {};
    const char* text =
        features.highlighting
            ? _("Gros fichier (%s Mo) : la complétion des mots du document et le marquage des "
                "occurrences hors de l'écran sont désactivés pour cette page.")
            : _("Gros fichier (%s Mo) : la complétion des mots du document, le marquage des "
                "occurrences hors de l'écran et la coloration syntaxique sont désactivés pour "
                "cette page ; le menu Vue > Coloration syntaxique rétablit la coloration.");
    return format_with_text(text, megabytes(bytes));
}
