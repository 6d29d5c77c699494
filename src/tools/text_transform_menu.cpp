#include "tools/text_transform_menu.h"

#include <random>

#include "tools/text_line_shape.h"

namespace {

using In = const TransformInput&;

template <TransformResult (*F)(std::string_view)> TransformResult plain(In in) {
    return F(in.text);
}

template <TransformResult (*F)(std::string_view, long)> TransformResult with_number(In in) {
    return F(in.text, entry_number(in.entry));
}

template <TransformResult (*F)(std::string_view, std::string_view)>
TransformResult with_entry(In in) {
    return F(in.text, in.entry);
}

template <std::vector<TextEdit> (*F)(std::string_view)> std::vector<TextEdit> edits(In in) {
    return F(in.text);
}

template <std::vector<TextEdit> (*F)(std::string_view, long)>
std::vector<TextEdit> edits_with_number(In in) {
    return F(in.text, entry_number(in.entry));
}

template <WordOrder order, bool fold_case> TransformResult analysis(In in) {
    return word_analysis(in.text, in.path, order, fold_case);
}

TransformResult words(In in) {
    return extract_words(in.text);
}

// "start~end~factor": without a start everything is 0 with factor 1; without
// an end, the end is 0.
TransformResult counter(In in) {
    const auto pieces = entry_pieces(in.entry, 4);
    const long start = pieces.empty() ? 0 : entry_number(pieces[0]);
    const long end = pieces.size() > 1 ? entry_number(pieces[1]) : 0;
    const long factor = pieces.size() > 2 ? entry_number(pieces[2]) : 1;
    return counter_text(start, end, factor);
}

// "template~step~offset"; step 1 and offset 0 when left out.
TransformResult numbering(In in) {
    const auto pieces = entry_pieces(in.entry);
    if (pieces.empty()) return std::nullopt;
    const long step = pieces.size() > 1 ? entry_number(pieces[1]) : 1;
    const long offset = pieces.size() > 2 ? entry_number(pieces[2]) : 0;
    return number_lines(in.text, pieces[0], step, offset);
}

TransformResult shuffle(In in) {
    std::random_device device;
    return shuffle_lines(in.text, (std::uint64_t{device()} << 32) | device());
}

constexpr auto sel = TransformScope::selection;
constexpr auto sel_or_word = TransformScope::selection_or_word;
constexpr auto sel_or_text = TransformScope::selection_or_text;
constexpr auto whole = TransformScope::whole_text;

const char* const analyse = "Analyser de texte UNIversal";
const char* const characters = "Caractères";
const char* const numbers = "Nombres";
const char* const format = "Format";
const char* const sorting = "Trier";
const char* const chain = "Chaîne";
const char* const filters = "Filtrer";
const char* const line_ends = "Fin de ligne";

} // namespace

const std::vector<TextTransform>& text_transforms() {
    static const std::vector<TextTransform> table = {
        {analyse, "UNITAZ avec trie abc", sel_or_text, nullptr, true,
         analysis<WordOrder::alphabetical, false>, nullptr},
        {analyse, "UNITAZ avec trie par compte", sel_or_text, nullptr, true,
         analysis<WordOrder::by_count, false>, nullptr},
        {analyse, "UNITAZ avec trie abc avec case insensitive", sel_or_text, nullptr, true,
         analysis<WordOrder::alphabetical, true>, nullptr},
        {analyse, "UNITAZ avec trie par compte case insensitive", sel_or_text, nullptr, true,
         analysis<WordOrder::by_count, true>, nullptr},
        {analyse, "UNITAZ plaine", sel_or_text, nullptr, true, analysis<WordOrder::unsorted, false>,
         nullptr},
        {analyse, "Extraire des mots", sel_or_text, nullptr, true, words, nullptr},

        {characters, "Majuscule", sel_or_word, nullptr, false, plain<text_upper>, nullptr},
        {characters, "Minuscule", sel_or_word, nullptr, false, plain<text_lower>, nullptr},
        {characters, "Majuscule sur la première lettre de chaque mot", sel, nullptr, false,
         plain<text_title_case>, nullptr},

        {numbers, "Arabe à Roman", sel, nullptr, false, plain<arabic_to_roman>, nullptr},
        {numbers, "Hexadécimal au format décimal", sel, nullptr, false, plain<hex_to_decimal>,
         nullptr},
        {numbers, "Binaire en décimal", sel, nullptr, false, plain<binary_to_decimal>, nullptr},
        {numbers, "Compteur", TransformScope::cursor, "1~5~10", false, counter, nullptr},

        {format, "Tuez le formatage", sel, nullptr, false, plain<squeeze_spaces>, nullptr},
        {format, "Tuez le formatage sur chaque ligne", sel, nullptr, false,
         plain<squeeze_spaces_each_line>, nullptr},
        {format, "Envelopper première à la position", sel, "72", false, with_number<wrap_hard>,
         nullptr},
        {format, "Envelopper sur les espaces à la position", sel, "72", false,
         with_number<wrap_at_spaces>, nullptr},
        {format, "Tuez les espaces au début de chaque ligne", sel, nullptr, false,
         plain<trim_line_starts>, nullptr},
        {format, "Tuez espaces à la fin de chaque ligne", sel, nullptr, false,
         plain<trim_line_ends>, nullptr},

        {sorting, "Trier les lignes", sel, nullptr, false, plain<sort_lines>, nullptr},
        {sorting, "Trier les lignes en longueur", sel, nullptr, false, plain<sort_lines_by_length>,
         nullptr},
        {sorting, "Trier les lignes avec case insensetive", sel, nullptr, false,
         plain<sort_lines_nocase>, nullptr},
        {sorting, "Inverser l'ordre des lignes", sel, nullptr, false, plain<reverse_lines>,
         nullptr},

        {chain, "Inerser", sel, nullptr, false, plain<reverse_characters>, nullptr},
        {chain, "Supprimer les lignes vides", sel, nullptr, false, plain<remove_empty_lines>,
         nullptr},
        {chain, "Tuez les doublons", sel, nullptr, false, plain<remove_duplicate_lines>, nullptr},
        {chain, "Numeroter les lignes", sel, "%d.)%s", false, numbering, nullptr},
        {chain, "Shuffle lines", sel, nullptr, false, shuffle, nullptr},
        {chain, "Convertir des tabulations en espaces", whole, "1", false, nullptr,
         edits_with_number<tabs_to_spaces_edits>},
        {chain, "Convertir des espaces en tabulations", whole, "2", false, nullptr,
         edits_with_number<spaces_to_tabs_edits>},
        {chain,
         "Appliquer un modèle à chaque ligne en séléction (sur la ligne de commande Ex: "
         "%s<br>)",
         sel, "<li>%s</li>", false, with_entry<apply_line_template>, nullptr},

        {filters, "Tuez les lignes qui contiennent une expression", sel,
         "Chirurgus mente prius et oculis agat, quam armata manu", false,
         with_entry<remove_lines_containing>, nullptr},
        {filters, "Tuez toutes les lignes sauf une phrase", sel, "Tantum possumus, quantum scimus.",
         false, with_entry<keep_lines_containing>, nullptr},
        {filters, "Tuez toutes les lignes < N caractères", sel, "2", false,
         with_number<remove_lines_shorter_than>, nullptr},
        {filters, "Tuez toutes les lignes > N caractères", sel, "2", false,
         with_number<remove_lines_longer_than>, nullptr},

        {line_ends, "CR/LF to LF", whole, nullptr, false, nullptr, edits<crlf_to_lf_edits>},
        {line_ends, "LF to CR/LF", whole, nullptr, false, nullptr, edits<lf_to_crlf_edits>},
    };
    return table;
}

const TextTransform* find_text_transform(std::string_view label) {
    for (const auto& row : text_transforms())
        if (label == row.label) return &row;
    return nullptr;
}

TransformResult run_text_transform(const TextTransform& row, const TransformInput& input) {
    if (!row.replace || !text_is_utf8(input.text)) return std::nullopt;
    TransformResult result = row.replace(input);
    if (!result || !text_is_utf8(*result)) return std::nullopt;
    if (row.scope == TransformScope::cursor && result->empty()) return std::nullopt;
    if (!row.new_document && row.scope != TransformScope::cursor && *result == input.text)
        return std::nullopt;
    return result;
}
