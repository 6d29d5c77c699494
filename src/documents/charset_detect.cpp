#include "documents/charset_detect.h"

#include <glib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include "shell/gobj.h"
#include "shell/settings.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define ORVANE_HAVE_SSSE3_PATH 1
#endif

namespace {

// The marker words as text; each is turned into the bytes of `charset` once.
// A marker is the word with a space on each side, except where written otherwise.
struct MarkerWords {
    bool CharsetDetectFlags::*flag;
    const char* result;
    const char* charset;
    std::vector<const char*> markers;
};

const std::vector<const char*> russian_markers = {
    " на ", " не ", " без ", " тут ", " же ", " до ", " еще ",
    " вы ", " мой ", " его ", " ее ", " вас ", " нас ",
};

const std::vector<MarkerWords>& marker_words() {
    static const std::vector<MarkerWords> words = {
        {&CharsetDetectFlags::koi8u, "KOI8-U", "KOI8-U",
         {" ви ", " ще ", " які", " або ", " ніж ", " він ", " що ", " його ", " із ", " між ",
          " ім'я ", " під ", " цю "}},
        {&CharsetDetectFlags::koi8r, "KOI8-R", "KOI8-R", russian_markers},
        {&CharsetDetectFlags::cp1251, "CP1251", "CP1251", russian_markers},
        {&CharsetDetectFlags::cp866, "866", "CP866", russian_markers},
        {&CharsetDetectFlags::finnish, "ISO-8859-15", "ISO-8859-15",
         {" eri ", " sen ", " ovat ", " voi ", " mutta ", " joka ", " jotta ", " sen "}},
        {&CharsetDetectFlags::portuguese, "ISO-8859-1", "ISO-8859-1",
         {" por ", " pelo ", " um ", " uma "}},
        {&CharsetDetectFlags::slovak, "ISO-8859-2", "ISO-8859-2",
         {" tomto ", " sa ", " jeho ", " pre ", " bolo ", " ste "}},
        {&CharsetDetectFlags::slovenian, "ISO-8859-2", "ISO-8859-2",
         {" sta ", " ki ", " kot ", " ter ", " tudi ", " vec "}},
        {&CharsetDetectFlags::turkish, "ISO-8859-9", "ISO-8859-9",
         {" bir ", " bu ", " ile ", " olan "}},
        {&CharsetDetectFlags::spanish, "ISO-8859-1", "ISO-8859-1",
         {" los ", " las ", " sobre ", " dar ", " del ", " por "}},
        {&CharsetDetectFlags::polish, "ISO-8859-2", "ISO-8859-2",
         {" nie ", " gdzie ", " sie ", " wam ", " jest ", " mozna ", " moze "}},
        {&CharsetDetectFlags::latvian, "ISO-8859-13", "ISO-8859-13",
         {" lai ", " visu ", " visi ", " arī ", " ir ", " vai "}},
        {&CharsetDetectFlags::german, "ISO-8859-15", "ISO-8859-15",
         {" der ", " das ", " ich ", " ist ", " uns ", " dem ", " und ", " auf "}},
        {&CharsetDetectFlags::serbian, "ISO-8859-2", "ISO-8859-2",
         {" kako ", " koji ", " druge ", " koja ", " skup ", " ako ", " drugu "}},
    };
    return words;
}

constexpr std::size_t language_count = 14;
using LanguageMask = std::uint16_t;

std::optional<std::string> convert_from_utf8(const char* text, const char* charset) {
    gsize written = 0;
    GCharPtr out(g_convert(text, -1, charset, "UTF-8", nullptr, &written, nullptr));
    if (!out) return std::nullopt;
    return std::string(out.get(), written);
}

// One distinct marker byte sequence and every language that uses it.
struct Pattern {
    std::string bytes;
    LanguageMask languages = 0;
};

const std::vector<Pattern>& all_patterns() {
    static const std::vector<Pattern> patterns = [] {
        std::vector<Pattern> out;
        const auto& langs = charset_marker_languages();
        for (std::size_t i = 0; i < langs.size(); ++i) {
            for (const auto& m : langs[i].markers) {
                auto it = std::find_if(out.begin(), out.end(),
                                       [&](const Pattern& p) { return p.bytes == m; });
                if (it == out.end()) it = out.insert(out.end(), Pattern{m, 0});
                it->languages |= static_cast<LanguageMask>(1u << i);
            }
        }
        return out;
    }();
    return patterns;
}

// The filter recognises markers that start with a space and are 4 to 8 bytes
// long from three bytes after the space and, for markers that end with a space
// 3 to 6 bytes after the start, that second space. Up to eight buckets of
// markers; a position is a candidate for a bucket when every test agrees.
constexpr std::size_t bucket_count = 8;
constexpr std::size_t filtered_bytes = 3;   // bytes 1..3 after the leading space
constexpr std::size_t end_checks = 4;       // closing space at offset 3, 4, 5 or 6
constexpr std::size_t lookahead = 8;        // the longest marker the filter handles

struct BucketEntry {
    std::uint64_t key = 0;
    std::uint64_t mask = 0;
    std::size_t length = 0;
    LanguageMask languages = 0;
};

struct Filter {
    // Exact bucket sets per byte value, for the portable scan.
    std::array<std::array<std::uint8_t, 256>, filtered_bytes> byte_buckets{};
    // The same by nibble, for the vector scan (their product is a superset).
    alignas(16) std::array<std::array<std::uint8_t, 16>, filtered_bytes> low_nibble{};
    alignas(16) std::array<std::array<std::uint8_t, 16>, filtered_bytes> high_nibble{};
    std::array<std::uint8_t, end_checks> end_space{};   // buckets needing that closing space
    std::uint8_t no_end_check = 0;                        // buckets without a closing space
    std::array<std::vector<BucketEntry>, bucket_count> buckets;
    std::vector<const Pattern*> unfiltered;               // markers the filter cannot handle
};

std::uint64_t load_u64(const unsigned char* p, std::size_t available) {
    std::uint64_t w = 0;
    std::memcpy(&w, p, std::min<std::size_t>(available, 8));
    return w;
}

Filter build_filter(LanguageMask wanted) {
    Filter f;
    // Classes by closing-space offset (3..6), and class 4 for markers without one.
    std::array<std::vector<const Pattern*>, end_checks + 1> classes;
    for (const auto& p : all_patterns()) {
        if (!(p.languages & wanted)) continue;
        const std::string& b = p.bytes;
        if (b.size() < 1 + filtered_bytes || b.size() > lookahead || b[0] != ' ') {
            f.unfiltered.push_back(&p);
            continue;
        }
        std::size_t end = b.size() - 1;
        bool closing = b.back() == ' ' && end >= 3 && end <= 6;
        classes[closing ? end - 3 : end_checks].push_back(&p);
    }
    std::array<std::size_t, end_checks + 1> share{};
    std::size_t used = 0;
    for (std::size_t c = 0; c < classes.size(); ++c)
        if (!classes[c].empty()) share[c] = 1, ++used;
    while (used > 0 && used < bucket_count) {
        std::size_t best = 0;
        double best_load = -1;
        for (std::size_t c = 0; c < classes.size(); ++c) {
            if (share[c] == 0 || share[c] >= classes[c].size()) continue;
            double load = static_cast<double>(classes[c].size()) / static_cast<double>(share[c]);
            if (load > best_load) best_load = load, best = c;
        }
        if (best_load < 0) break;
        ++share[best];
        ++used;
    }
    std::size_t bucket = 0;
    for (std::size_t c = 0; c < classes.size(); ++c) {
        auto& list = classes[c];
        if (list.empty()) continue;
        // Neighbours in byte order share leading letters, which keeps the
        // cross products of each bucket's byte sets small.
        std::sort(list.begin(), list.end(),
                  [](const Pattern* a, const Pattern* b) { return a->bytes < b->bytes; });
        for (std::size_t k = 0; k < share[c]; ++k, ++bucket) {
            auto bit = static_cast<std::uint8_t>(1u << bucket);
            if (c < end_checks)
                f.end_space[c] |= bit;
            else
                f.no_end_check |= bit;
            std::size_t from = list.size() * k / share[c], to = list.size() * (k + 1) / share[c];
            for (std::size_t i = from; i < to; ++i) {
                const std::string& b = list[i]->bytes;
                for (std::size_t j = 0; j < filtered_bytes; ++j) {
                    auto v = static_cast<unsigned char>(b[1 + j]);
                    f.byte_buckets[j][v] |= bit;
                    f.low_nibble[j][v & 15] |= bit;
                    f.high_nibble[j][v >> 4] |= bit;
                }
                BucketEntry e;
                e.length = b.size();
                e.key = load_u64(reinterpret_cast<const unsigned char*>(b.data()), b.size());
                e.mask = b.size() >= 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * b.size())) - 1;
                e.languages = list[i]->languages;
                f.buckets[bucket].push_back(e);
            }
        }
    }
    return f;
}

// What is still worth finding: the enabled languages tried before the best one
// found so far.
struct SearchState {
    LanguageMask enabled = 0;
    std::size_t best = language_count;
    LanguageMask wanted() const {
        return static_cast<LanguageMask>(enabled & ((1u << best) - 1));
    }
    // True when the match changed what is wanted.
    bool record(LanguageMask languages) {
        LanguageMask hit = languages & wanted();
        if (!hit) return false;
        best = static_cast<std::size_t>(__builtin_ctz(hit));
        return true;
    }
    bool done() const { return wanted() == 0; }
};

// Checks the markers of the candidate buckets at `pos`; true when the state changed.
bool verify(const Filter& f, const unsigned char* data, std::size_t size, std::size_t pos,
            unsigned bucket_bits, SearchState& state) {
    std::size_t available = size - pos;
    std::uint64_t w = load_u64(data + pos, available);
    bool changed = false;
    while (bucket_bits) {
        unsigned b = static_cast<unsigned>(__builtin_ctz(bucket_bits));
        bucket_bits &= bucket_bits - 1;
        for (const auto& e : f.buckets[b])
            if (e.length <= available && (w & e.mask) == e.key) changed |= state.record(e.languages);
    }
    return changed;
}

unsigned candidate_buckets(const Filter& f, const unsigned char* data, std::size_t size,
                           std::size_t pos) {
    if (data[pos] != ' ' || size - pos < 1 + filtered_bytes) return 0;
    unsigned bits = f.byte_buckets[0][data[pos + 1]] & f.byte_buckets[1][data[pos + 2]] &
                    f.byte_buckets[2][data[pos + 3]];
    if (!bits) return 0;
    unsigned ends = f.no_end_check;
    for (std::size_t k = 0; k < end_checks; ++k)
        if (pos + 3 + k < size && data[pos + 3 + k] == ' ') ends |= f.end_space[k];
    return bits & ends;
}

// Scans positions [from, to) one by one. Returns the position to go on from
// when the filter must be rebuilt, or `to`.
std::size_t scan_portable(const Filter& f, const unsigned char* data, std::size_t size,
                          std::size_t from, std::size_t to, SearchState& state) {
    for (std::size_t pos = from; pos < to; ++pos) {
        unsigned bits = candidate_buckets(f, data, size, pos);
        if (bits && verify(f, data, size, pos, bits, state)) return pos + 1;
    }
    return to;
}

#ifdef ORVANE_HAVE_SSSE3_PATH
bool have_ssse3() {
    static const bool yes = __builtin_cpu_supports("ssse3");
    return yes;
}

__attribute__((target("ssse3"), always_inline)) inline __m128i
nibble_classify(__m128i lo, __m128i hi, __m128i nibble, __m128i v) {
    __m128i l = _mm_shuffle_epi8(lo, _mm_and_si128(v, nibble));
    __m128i h = _mm_shuffle_epi8(hi, _mm_and_si128(_mm_srli_epi16(v, 4), nibble));
    return _mm_and_si128(l, h);
}

// Sixteen positions at a time: the same tests as `candidate_buckets`, with the
// byte sets taken by nibble. Returns where to go on; stops early when the
// filter must be rebuilt.
__attribute__((target("ssse3"))) std::size_t scan_ssse3(const Filter& f,
                                                         const unsigned char* data,
                                                         std::size_t size, std::size_t from,
                                                         SearchState& state) {
    // A block reads 16 + 6 bytes.
    constexpr std::size_t block_reach = 16 + 6;
    const __m128i space = _mm_set1_epi8(' ');
    const __m128i nibble = _mm_set1_epi8(0x0f);
    __m128i lo[filtered_bytes], hi[filtered_bytes], end[end_checks];
    for (std::size_t j = 0; j < filtered_bytes; ++j) {
        lo[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(f.low_nibble[j].data()));
        hi[j] = _mm_load_si128(reinterpret_cast<const __m128i*>(f.high_nibble[j].data()));
    }
    for (std::size_t k = 0; k < end_checks; ++k)
        end[k] = _mm_set1_epi8(static_cast<char>(f.end_space[k]));
    const __m128i always = _mm_set1_epi8(static_cast<char>(f.no_end_check));
    auto at = [data](std::size_t p) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + p));
    };
    std::size_t pos = from;
    alignas(16) std::uint8_t bits[16];
    for (; pos + block_reach <= size; pos += 16) {
        __m128i v3 = at(pos + 3);
        __m128i r = _mm_and_si128(_mm_cmpeq_epi8(at(pos), space), nibble_classify(lo[0], hi[0], nibble, at(pos + 1)));
        r = _mm_and_si128(r, nibble_classify(lo[1], hi[1], nibble, at(pos + 2)));
        r = _mm_and_si128(r, nibble_classify(lo[2], hi[2], nibble, v3));
        __m128i ends = _mm_or_si128(always, _mm_and_si128(_mm_cmpeq_epi8(v3, space), end[0]));
        ends = _mm_or_si128(ends, _mm_and_si128(_mm_cmpeq_epi8(at(pos + 4), space), end[1]));
        ends = _mm_or_si128(ends, _mm_and_si128(_mm_cmpeq_epi8(at(pos + 5), space), end[2]));
        ends = _mm_or_si128(ends, _mm_and_si128(_mm_cmpeq_epi8(at(pos + 6), space), end[3]));
        r = _mm_and_si128(r, ends);
        unsigned m = ~static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(r, _mm_setzero_si128()))) & 0xffffu;
        if (!m) continue;
        _mm_store_si128(reinterpret_cast<__m128i*>(bits), r);
        while (m) {
            unsigned i = static_cast<unsigned>(__builtin_ctz(m));
            m &= m - 1;
            if (verify(f, data, size, pos + i, bits[i], state)) return pos + i + 1;
        }
    }
    return pos;
}
#endif

void search_unfiltered(const Filter& f, std::string_view bytes, SearchState& state) {
    for (const Pattern* p : f.unfiltered)
        if (p->languages & state.wanted() && bytes.find(p->bytes) != std::string_view::npos)
            state.record(p->languages);
}

std::optional<std::string> marker_search(std::string_view bytes, const CharsetDetectFlags& flags,
                                         bool vector_scan) {
    const auto& langs = charset_marker_languages();
    SearchState state;
    for (std::size_t i = 0; i < langs.size(); ++i)
        if (flags.*(langs[i].flag)) state.enabled |= static_cast<LanguageMask>(1u << i);

    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    std::size_t pos = 0;
    while (!state.done() && pos < size) {
        Filter f = build_filter(state.wanted());
        search_unfiltered(f, bytes, state);
        if (state.done()) break;
        LanguageMask before = state.wanted();
#ifdef ORVANE_HAVE_SSSE3_PATH
        if (vector_scan && have_ssse3()) {
            pos = scan_ssse3(f, data, size, pos, state);
            if (state.wanted() != before) continue;
        }
#else
        (void)vector_scan;
#endif
        pos = scan_portable(f, data, size, pos, size, state);
        if (state.wanted() == before) break;
    }
    if (state.best < language_count) return std::string(langs[state.best].result);
    return std::nullopt;
}

bool has_zero_byte(std::uint64_t w) {
    return ((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) != 0;
}

} // namespace

CharsetDetectFlags charset_detect_flags(const Settings& s) {
    CharsetDetectFlags f;
    f.koi8u = s.enc_det_koi8u != 0;
    f.koi8r = s.enc_det_koi8r != 0;
    f.cp1251 = s.enc_det_cp1251 != 0;
    f.cp866 = s.enc_det_866 != 0;
    f.finnish = s.enc_det_finnish != 0;
    f.portuguese = s.enc_det_portuguese != 0;
    f.slovak = s.enc_det_slovak != 0;
    f.slovenian = s.enc_det_slovenian != 0;
    f.turkish = s.enc_det_turkish != 0;
    f.spanish = s.enc_det_spanish != 0;
    f.polish = s.enc_det_polish != 0;
    f.latvian = s.enc_det_latvian != 0;
    f.german = s.enc_det_german != 0;
    f.serbian = s.enc_det_serbian != 0;
    return f;
}

const std::vector<CharsetMarkerLanguage>& charset_marker_languages() {
    static const std::vector<CharsetMarkerLanguage> languages = [] {
        std::vector<CharsetMarkerLanguage> out;
        for (const auto& w : marker_words()) {
            CharsetMarkerLanguage lang{w.flag, w.result, {}};
            // A charset the converter lacks leaves its language without markers.
            for (const char* m : w.markers)
                if (auto bytes = convert_from_utf8(m, w.charset)) lang.markers.push_back(*bytes);
            out.push_back(std::move(lang));
        }
        return out;
    }();
    return languages;
}

bool bytes_are_utf8(std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t n = bytes.size();
    // Plain ASCII without NUL is valid as it stands; GLib checks from the first
    // word that holds anything else.
    while (n >= 8) {
        std::uint64_t w;
        std::memcpy(&w, p, 8);
        if ((w & 0x8080808080808080ull) || has_zero_byte(w)) break;
        p += 8;
        n -= 8;
    }
    return g_utf8_validate_len(p, n, nullptr);
}

std::optional<std::string> charset_autodetect(std::string_view bytes,
                                              const CharsetDetectFlags& flags) {
    if (bytes_are_utf8(bytes)) return std::string("UTF-8");
    return marker_search(bytes, flags, true);
}

std::optional<std::string> charset_autodetect_portable(std::string_view bytes,
                                                       const CharsetDetectFlags& flags) {
    if (bytes_are_utf8(bytes)) return std::string("UTF-8");
    return marker_search(bytes, flags, false);
}

std::string japanese_autodetect(std::string_view bytes) {
    for (std::size_t i = bytes.find('\x1b'); i != std::string_view::npos;
         i = bytes.find('\x1b', i + 1)) {
        std::string_view tail = bytes.substr(i + 1, 2);
        if (tail == "$@" || tail == "$B" || tail == "(B" || tail == "(J") return "ISO-2022-JP-2";
    }
    if (bytes_are_utf8(bytes)) return "UTF-8";

    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    for (std::size_t i = 0; i < size; ++i) {
        unsigned b = data[i];
        // A lead byte at the very end has no partner; it is read as 0, which
        // decides nothing for the double-byte leads.
        unsigned c = i + 1 < size ? data[i + 1] : 0;
        if (b == 0) return "EUC-JP";
        if (b <= 0x80 || b == 0xA0) continue;
        if (b == 0x8E) {
            if ((c >= 0xE0 && c <= 0xFC) || (c >= 0x40 && c <= 0xA0)) return "Shift_JIS";
            ++i;
        } else if (b <= 0x9F && b != 0x8F) {
            return "Shift_JIS";
        } else if (b == 0x8F || (b >= 0xE0 && b <= 0xEF)) {
            if (c >= 0x40 && c <= 0xA0) return "Shift_JIS";
            if (c > 0xFC) return "EUC-JP";
            ++i;
        } else if (b >= 0xA1 && b <= 0xDF) {
            if (c <= 0x9F) return "Shift_JIS";
            if (c > 0xFC) return "EUC-JP";
            ++i;
        } else {
            return "EUC-JP"; // 0xF0..0xFF
        }
    }
    // Nothing told the two apart: text made only of EUC-JP kana and kanji pairs
    // (both bytes from 0xA1) ends here, while Shift_JIS text almost always has a
    // lead byte below 0xA0.
    return "EUC-JP";
}
