// Word counts and word lists over the layout's words.
#include <glib.h>
#include <glib/gi18n-lib.h>

#include <algorithm>
#include <iomanip>
#include <locale>
#include <sstream>
#include <tuple>
#include <unordered_map>

#include "documents/text_words.h"
#include "shell/gobj.h"
#include "tools/text_line_shape.h"
#include "tools/text_transform.h"

namespace {

struct WordCount {
    std::string word;
    long count = 0;
    std::string key; // collation key, made only when sorting needs it
};

// Distinct words in the order they first occur, with their counts.
std::vector<WordCount> count_words(std::string_view text, bool fold_case, long& total) {
    std::vector<WordCount> words;
    std::unordered_map<std::string, std::size_t> index;
    total = 0;
    if (!text_is_utf8(text)) return words;
    for (const ByteSpan& span : layout_word_spans(text)) {
        std::string word(text.substr(span.start, span.end - span.start));
        if (fold_case) {
            GCharPtr lower(g_utf8_strdown(word.data(), static_cast<gssize>(word.size())));
            word = lower.get();
        }
        ++total;
        auto [at, added] = index.try_emplace(word, words.size());
        if (added) words.push_back({std::move(word), 0, {}});
        ++words[at->second].count;
    }
    return words;
}

void order_words(std::vector<WordCount>& words, WordOrder order) {
    if (order == WordOrder::unsorted) return;
    for (auto& w : words) {
        GCharPtr key(g_utf8_collate_key(w.word.data(), static_cast<gssize>(w.word.size())));
        w.key = key.get();
    }
    auto alphabetical = [](const WordCount& a, const WordCount& b) {
        return std::tie(a.key, a.word) < std::tie(b.key, b.word);
    };
    if (order == WordOrder::alphabetical)
        std::ranges::sort(words, alphabetical);
    else
        std::ranges::sort(words, [&](const WordCount& a, const WordCount& b) {
            return a.count != b.count ? a.count > b.count : alphabetical(a, b);
        });
}

// `text` followed by blanks up to `width` characters.
std::string padded(std::string text, long width) {
    const long length = utf8_char_count(text);
    if (length < width) text.append(static_cast<std::size_t>(width - length), ' ');
    return text;
}

} // namespace

std::string word_analysis(std::string_view text, std::string_view path, WordOrder order,
                          bool fold_case) {
    long total = 0;
    std::vector<WordCount> words = count_words(text, fold_case, total);
    order_words(words, order);
    const long unique = static_cast<long>(words.size());
    std::ostringstream ratio;
    ratio.imbue(std::locale::classic());
    ratio << std::fixed << std::setprecision(6)
          << (unique ? static_cast<double>(total) / static_cast<double>(unique) : 0.0);

    std::string out = _("Text analysis results for ");
    out += ' ';
    out += path;
    out += "\n\nWords total: " + std::to_string(total);
    out += "\nWords unique: " + std::to_string(unique);
    out += "\nWords total / Words unique = " + ratio.str() + "\n\n";
    out += padded(_("Count:"), 10) + " " + _("Word:");
    for (const auto& w : words)
        out += "\n" + padded(std::to_string(w.count), 10) + " " + w.word;
    return out;
}

std::string extract_words(std::string_view text) {
    long total = 0;
    std::string out;
    for (const auto& w : count_words(text, false, total)) {
        if (!out.empty()) out += '\n';
        out += w.word;
    }
    return out;
}
