#include "tools/scrapbook_text.h"

#include <glib/gi18n-lib.h>

#include "documents/word_files.h"

std::string scrapbook_first_text() {
    return _("Déposez vos séléctions ici...");
}

std::string scrapbook_intro() {
    std::string intro = _("\nPour afficher les notes [ALT+M]\n");
    intro += _("Pour integrer une séléction dans la note [CTR+E]\n\n");
    intro += std::string(148, '_');
    intro += "\n\n";
    return intro;
}

std::string scrapbook_display_text(std::string_view bytes) {
    return utf8_or_locale_lines(bytes, true);
}

std::string scrapbook_fragment(std::string_view selection) {
    std::string out(selection);
    out += '\n';
    return out;
}

std::string scrapbook_with_addition(std::string_view selection, std::string_view old_bytes) {
    std::string out = scrapbook_fragment(selection);
    out += '\n';
    out.append(old_bytes);
    return out;
}
