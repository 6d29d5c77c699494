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
#include <immintrin.h>
#define ORVANE_HAVE_AVX2_PATH 1
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
    " на ", " не ",  " без ", " тут ", " же ",  " до ",  " еще ",
    " вы ", " мой ", " его ", " ее ",  " вас ", " нас ",
};

const std::vector<MarkerWords>& marker_words() {
    static const std::vector<MarkerWords> words = {
        {&CharsetDetectFlags::koi8u,
         "KOI8-U",
         "KOI8-U",
         {" ви ", " ще ", " які", " або ", " ніж ", " він ", " що ", " його ", " із ", " між ",
          " ім'я ", " під ", " цю "}},
        {&CharsetDetectFlags::koi8r, "KOI8-R", "KOI8-R", russian_markers},
        {&CharsetDetectFlags::cp1251, "CP1251", "CP1251", russian_markers},
        {&CharsetDetectFlags::cp866, "866", "CP866", russian_markers},
        {&CharsetDetectFlags::finnish,
         "ISO-8859-15",
         "ISO-8859-15",
         {" eri ", " sen ", " ovat ", " voi ", " mutta ", " joka ", " jotta ", " sen "}},
        {&CharsetDetectFlags::portuguese,
         "ISO-8859-1",
         "ISO-8859-1",
         {" por ", " pelo ", " um ", " uma "}},
        {&CharsetDetectFlags::slovak,
         "ISO-8859-2",
         "ISO-8859-2",
         {" tomto ", " sa ", " jeho ", " pre ", " bolo ", " ste "}},
        {&CharsetDetectFlags::slovenian,
         "ISO-8859-2",
         "ISO-8859-2",
         {" sta ", " ki ", " kot ", " ter ", " tudi ", " vec "}},
        {&CharsetDetectFlags::turkish,
         "ISO-8859-9",
         "ISO-8859-9",
         {" bir ", " bu ", " ile ", " olan "}},
        {&CharsetDetectFlags::spanish,
         "ISO-8859-1",
         "ISO-8859-1",
         {" los ", " las ", " sobre ", " dar ", " del ", " por "}},
        {&CharsetDetectFlags::polish,
         "ISO-8859-2",
         "ISO-8859-2",
         {" nie ", " gdzie ", " sie ", " wam ", " jest ", " mozna ", " moze "}},
        {&CharsetDetectFlags::latvian,
         "ISO-8859-13",
         "ISO-8859-13",
         {" lai ", " visu ", " visi ", " arī ", " ir ", " vai "}},
        {&CharsetDetectFlags::german,
         "ISO-8859-15",
         "ISO-8859-15",
         {" der ", " das ", " ich ", " ist ", " uns ", " dem ", " und ", " auf "}},
        {&CharsetDetectFlags::serbian,
         "ISO-8859-2",
         "ISO-8859-2",
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
// 3 to 6 bytes after the start, that second space. Sixteen buckets of
// markers; a position is a candidate for a bucket when every test agrees, and a
// candidate is then looked up exactly.
constexpr std::size_t bucket_count = 16;
using BucketMask = std::uint16_t;
constexpr std::size_t filtered_bytes = 3; // bytes 1..3 after the leading space
constexpr std::size_t end_checks = 4;     // closing space at offset 3, 4, 5 or 6
constexpr std::size_t lookahead = 8;      // the longest marker the filter handles
constexpr std::size_t exact_slots = 512;

struct ExactSlot {
    std::uint64_t key = 0;
    std::size_t length = 0; // 0: empty
    LanguageMask languages = 0;
};

struct Filter {
    // Exact bucket sets per byte value, for the portable scan.
    std::array<std::array<BucketMask, 256>, filtered_bytes> byte_buckets{};
    // The same by nibble, for the vector scan (their product is a superset).
    std::array<std::array<BucketMask, 16>, filtered_bytes> low_nibble{};
    std::array<std::array<BucketMask, 16>, filtered_bytes> high_nibble{};
    std::array<BucketMask, end_checks> end_space{}; // buckets needing that closing space
    BucketMask no_end_check = 0;                    // buckets without a closing space
    unsigned open_lengths = 0;                      // lengths of markers without one
    std::array<ExactSlot, exact_slots> exact{};
    std::vector<const Pattern*> unfiltered; // markers the filter cannot handle
};

std::uint64_t load_u64(const unsigned char* p, std::size_t available) {
    std::uint64_t w = 0;
    if (available >= 8)
        std::memcpy(&w, p, 8);
    else
        std::memcpy(&w, p, available);
    return w;
}

std::uint64_t low_bytes(std::uint64_t w, std::size_t n) {
    return n >= 8 ? w : w & ((std::uint64_t{1} << (8 * n)) - 1);
}

std::size_t exact_slot(std::uint64_t key, std::size_t length) {
    return static_cast<std::size_t>(((key ^ length) * 0x9E3779B97F4A7C15ull) >> 55) &
           (exact_slots - 1);
}

// Where a marker goes: 0..3 for a closing space at offset 3..6, 4 for none,
// -1 when the filter cannot take it.
int marker_class(const std::string& b) {
    if (b.size() < 1 + filtered_bytes || b.size() > lookahead || b[0] != ' ') return -1;
    std::size_t end = b.size() - 1;
    if (b.back() == ' ' && end >= 3 && end <= 3 + end_checks - 1) return static_cast<int>(end - 3);
    return static_cast<int>(end_checks);
}

// The nibbles a group of markers uses at each filtered byte.
struct NibbleSets {
    std::array<std::uint16_t, filtered_bytes> low{}, high{};

    void add(const std::string& b) {
        for (std::size_t j = 0; j < filtered_bytes; ++j) {
            auto v = static_cast<unsigned char>(b[1 + j]);
            low[j] = static_cast<std::uint16_t>(low[j] | 1u << (v & 15));
            high[j] = static_cast<std::uint16_t>(high[j] | 1u << (v >> 4));
        }
    }
    NibbleSets merged(const NibbleSets& o) const {
        NibbleSets m;
        for (std::size_t j = 0; j < filtered_bytes; ++j) {
            m.low[j] = static_cast<std::uint16_t>(low[j] | o.low[j]);
            m.high[j] = static_cast<std::uint16_t>(high[j] | o.high[j]);
        }
        return m;
    }
    // The share of byte triples the group lets through, counted apart for
    // ASCII text and for text in the upper half, since one text is rarely both.
    // A byte that is the closing space of every member is given by the class.
    double spread() const {
        double total = 0;
        for (std::uint16_t half : {std::uint16_t{0x00ff}, std::uint16_t{0xff00}}) {
            double n = 1;
            for (std::size_t j = 0; j < filtered_bytes; ++j) {
                if (low[j] == 1u << (' ' & 15) && high[j] == 1u << (' ' >> 4)) continue;
                n *= __builtin_popcount(low[j]) * __builtin_popcount(high[j] & half) / 128.0;
            }
            total += n;
        }
        return total;
    }
};

// The bucket of every marker (parallel to all_patterns(); -1: not filtered).
// Markers start alone and the two groups of one class whose union widens the
// filter least are merged until the buckets suffice; worked out once.
const std::vector<int>& marker_buckets() {
    static const std::vector<int> buckets = [] {
        const auto& patterns = all_patterns();
        struct Group {
            int cls;
            NibbleSets sets;
            std::vector<std::size_t> members;
        };
        std::vector<Group> groups;
        for (std::size_t i = 0; i < patterns.size(); ++i) {
            int cls = marker_class(patterns[i].bytes);
            if (cls < 0) continue;
            Group g{cls, {}, {i}};
            g.sets.add(patterns[i].bytes);
            groups.push_back(std::move(g));
        }
        while (groups.size() > bucket_count) {
            std::size_t best_a = 0, best_b = 0;
            bool any = false;
            double least = 0;
            for (std::size_t a = 0; a < groups.size(); ++a)
                for (std::size_t b = a + 1; b < groups.size(); ++b) {
                    if (groups[a].cls != groups[b].cls) continue;
                    double growth = groups[a].sets.merged(groups[b].sets).spread() -
                                    groups[a].sets.spread() - groups[b].sets.spread();
                    if (!any || growth < least) any = true, least = growth, best_a = a, best_b = b;
                }
            if (!any) break; // more classes than buckets
            groups[best_a].sets = groups[best_a].sets.merged(groups[best_b].sets);
            groups[best_a].members.insert(groups[best_a].members.end(),
                                          groups[best_b].members.begin(),
                                          groups[best_b].members.end());
            groups.erase(groups.begin() + static_cast<std::ptrdiff_t>(best_b));
        }
        std::vector<int> out(patterns.size(), -1);
        // Groups past the last bucket (more classes than buckets) stay unfiltered.
        for (std::size_t g = 0; g < groups.size() && g < bucket_count; ++g)
            for (std::size_t i : groups[g].members)
                out[i] = static_cast<int>(g);
        return out;
    }();
    return buckets;
}

Filter build_filter(LanguageMask wanted) {
    Filter f;
    const auto& patterns = all_patterns();
    const auto& buckets = marker_buckets();
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        const Pattern& p = patterns[i];
        if (!(p.languages & wanted)) continue;
        const std::string& b = p.bytes;
        int cls = marker_class(b);
        if (cls < 0 || buckets[i] < 0) {
            f.unfiltered.push_back(&p);
            continue;
        }
        auto bit = static_cast<BucketMask>(1u << buckets[i]);
        for (std::size_t j = 0; j < filtered_bytes; ++j) {
            auto v = static_cast<unsigned char>(b[1 + j]);
            f.byte_buckets[j][v] |= bit;
            f.low_nibble[j][v & 15] |= bit;
            f.high_nibble[j][v >> 4] |= bit;
        }
        if (cls < static_cast<int>(end_checks)) {
            f.end_space[static_cast<std::size_t>(cls)] |= bit;
        } else {
            f.no_end_check |= bit;
            f.open_lengths |= 1u << b.size();
        }
        std::uint64_t key = load_u64(reinterpret_cast<const unsigned char*>(b.data()), b.size());
        for (std::size_t s = exact_slot(key, b.size());; s = (s + 1) & (exact_slots - 1)) {
            if (f.exact[s].length == 0) {
                f.exact[s] = ExactSlot{key, b.size(), p.languages};
                break;
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
    LanguageMask wanted() const { return static_cast<LanguageMask>(enabled & ((1u << best) - 1)); }
    // True when the match changed what is wanted.
    bool record(LanguageMask languages) {
        LanguageMask hit = languages & wanted();
        if (!hit) return false;
        best = static_cast<std::size_t>(__builtin_ctz(hit));
        return true;
    }
    bool done() const { return wanted() == 0; }
};

// What the scans learnt about bytes 0x80-0x9F on the way: whether one was seen
// anywhere, and how far from the start every byte has been looked at.
struct C1Bytes {
    bool seen = false;
    std::size_t checked = 0;
    void note(bool any, std::size_t from, std::size_t upto) {
        seen |= any;
        if (from <= checked) checked = std::max(checked, upto);
    }
};

bool is_c1(unsigned char b) {
    return (b & 0xE0) == 0x80;
}

// Looks up the markers that may start at `pos`; true when the state changed.
bool verify(const Filter& f, const unsigned char* data, std::size_t size, std::size_t pos,
            SearchState& state) {
    const std::size_t available = size - pos;
    const std::uint64_t w = load_u64(data + pos, available);
    unsigned lengths = f.open_lengths;
    for (std::size_t k = 3; k < 3 + end_checks && k < available; ++k)
        if (data[pos + k] == ' ') lengths |= 1u << (k + 1);
    bool changed = false;
    while (lengths) {
        auto n = static_cast<std::size_t>(__builtin_ctz(lengths));
        lengths &= lengths - 1;
        if (n > available) break;
        std::uint64_t key = low_bytes(w, n);
        for (std::size_t s = exact_slot(key, n); f.exact[s].length; s = (s + 1) & (exact_slots - 1))
            if (f.exact[s].length == n && f.exact[s].key == key)
                changed |= state.record(f.exact[s].languages);
    }
    return changed;
}

bool is_candidate(const Filter& f, const unsigned char* data, std::size_t size, std::size_t pos) {
    if (data[pos] != ' ' || size - pos < 1 + filtered_bytes) return false;
    unsigned bits = f.byte_buckets[0][data[pos + 1]] & f.byte_buckets[1][data[pos + 2]] &
                    f.byte_buckets[2][data[pos + 3]];
    if (!bits) return false;
    unsigned ends = f.no_end_check;
    for (std::size_t k = 0; k < end_checks; ++k)
        if (pos + 3 + k < size && data[pos + 3 + k] == ' ') ends |= f.end_space[k];
    return (bits & ends) != 0;
}

// Scans positions [from, size) one by one. Returns the position to go on from
// when the filter must be rebuilt, or `size`.
std::size_t scan_portable(const Filter& f, const unsigned char* data, std::size_t size,
                          std::size_t from, SearchState& state) {
    for (std::size_t pos = from; pos < size; ++pos)
        if (is_candidate(f, data, size, pos) && verify(f, data, size, pos, state)) return pos + 1;
    return size;
}

#ifdef ORVANE_HAVE_AVX2_PATH
bool have_avx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}

__attribute__((target("avx2"), always_inline)) inline __m256i load(const unsigned char* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Thirty-two positions at a time: the tests of `is_candidate`, with the byte
// sets taken by nibble, eight buckets to a vector. The spaces that may close a
// marker (offsets 3 to 6) make a 4-bit index, with the top bit set where no
// space opens one, so that one table lookup gives the buckets whose closing
// space is there. Returns where to go on; stops early when the filter must be
// rebuilt. Until one has been seen, a byte from 0x80-0x9F is let through as a
// candidate is, so that noting it costs one compare in the loop.
__attribute__((target("avx2"))) std::size_t scan_avx2(const Filter& f, const unsigned char* data,
                                                      std::size_t size, std::size_t from,
                                                      SearchState& state, C1Bytes& c1) {
    constexpr std::size_t block_reach = 32 + 6; // a block reads 32 + 6 bytes
    constexpr std::size_t lanes = bucket_count / 8;
    const __m256i space = _mm256_set1_epi8(' ');
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    __m256i lo[lanes][filtered_bytes], hi[lanes][filtered_bytes], ends[lanes];
    for (std::size_t l = 0; l < lanes; ++l) {
        auto part = [l](unsigned m) { return static_cast<char>((m >> (8 * l)) & 0xff); };
        alignas(16) char table[16];
        for (std::size_t j = 0; j < filtered_bytes; ++j) {
            for (std::size_t n = 0; n < 16; ++n)
                table[n] = part(f.low_nibble[j][n]);
            lo[l][j] = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(table)));
            for (std::size_t n = 0; n < 16; ++n)
                table[n] = part(f.high_nibble[j][n]);
            hi[l][j] = _mm256_broadcastsi128_si256(
                _mm_load_si128(reinterpret_cast<const __m128i*>(table)));
        }
        for (unsigned e = 0; e < 16; ++e) {
            unsigned m = f.no_end_check;
            for (std::size_t k = 0; k < end_checks; ++k)
                if (e & (1u << k)) m |= f.end_space[k];
            table[e] = part(m);
        }
        ends[l] =
            _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(table)));
    }
    // Signed, 0x80-0x9F are the bytes not above 0x9F.
    const __m256i c1_top = _mm256_set1_epi8(static_cast<char>(0x9F));
    __m256i c1_done = c1.seen ? _mm256_set1_epi8(-1) : _mm256_setzero_si256();
    bool c1_any = false;
    std::size_t pos = from;
    for (; pos + block_reach <= size; pos += 32) {
        const unsigned char* p = data + pos;
        __m256i v0 = load(p), v1 = load(p + 1), v2 = load(p + 2), v3 = load(p + 3);
        // Spaces are -1: e = -(s3 + 2 s4 + 4 s5 + 8 s6), then the top bit where
        // no space opens a marker.
        __m256i e = _mm256_cmpeq_epi8(load(p + 6), space);
        e = _mm256_add_epi8(_mm256_add_epi8(e, e), _mm256_cmpeq_epi8(load(p + 5), space));
        e = _mm256_add_epi8(_mm256_add_epi8(e, e), _mm256_cmpeq_epi8(load(p + 4), space));
        e = _mm256_add_epi8(_mm256_add_epi8(e, e), _mm256_cmpeq_epi8(v3, space));
        e = _mm256_sub_epi8(_mm256_setzero_si256(), e);
        e = _mm256_or_si256(
            e, _mm256_andnot_si256(_mm256_cmpeq_epi8(v0, space), _mm256_set1_epi8(-128)));
        __m256i n1 = _mm256_and_si256(v1, nibble),
                h1 = _mm256_and_si256(_mm256_srli_epi16(v1, 4), nibble);
        __m256i n2 = _mm256_and_si256(v2, nibble),
                h2 = _mm256_and_si256(_mm256_srli_epi16(v2, 4), nibble);
        __m256i n3 = _mm256_and_si256(v3, nibble),
                h3 = _mm256_and_si256(_mm256_srli_epi16(v3, 4), nibble);
        __m256i none = _mm256_or_si256(_mm256_cmpgt_epi8(v0, c1_top), c1_done);
        for (std::size_t l = 0; l < lanes; ++l) {
            __m256i r = _mm256_shuffle_epi8(ends[l], e);
            r = _mm256_and_si256(r, _mm256_shuffle_epi8(lo[l][0], n1));
            r = _mm256_and_si256(r, _mm256_shuffle_epi8(hi[l][0], h1));
            r = _mm256_and_si256(r, _mm256_shuffle_epi8(lo[l][1], n2));
            r = _mm256_and_si256(r, _mm256_shuffle_epi8(hi[l][1], h2));
            r = _mm256_and_si256(r, _mm256_shuffle_epi8(lo[l][2], n3));
            r = _mm256_and_si256(r, _mm256_shuffle_epi8(hi[l][2], h3));
            none = _mm256_and_si256(none, _mm256_cmpeq_epi8(r, _mm256_setzero_si256()));
        }
        auto m = ~static_cast<std::uint32_t>(_mm256_movemask_epi8(none));
        while (m) {
            auto i = static_cast<std::size_t>(__builtin_ctz(m));
            m &= m - 1;
            if (p[i] != ' ') { // no marker starts here: the byte is from 0x80-0x9F
                c1_any = true;
                c1_done = _mm256_set1_epi8(-1);
                continue;
            }
            if (verify(f, data, size, pos + i, state)) {
                c1.note(c1_any, from, pos + i + 1);
                return pos + i + 1;
            }
        }
    }
    c1.note(c1_any, from, pos);
    return pos;
}

__attribute__((target("avx2"))) bool has_c1_avx2(const unsigned char* data, std::size_t size) {
    const __m256i c1_limit = _mm256_set1_epi8(static_cast<char>(0xA0));
    std::size_t pos = 0;
    for (; pos + 128 <= size; pos += 128) {
        __m256i a = _mm256_or_si256(_mm256_cmpgt_epi8(c1_limit, load(data + pos)),
                                    _mm256_cmpgt_epi8(c1_limit, load(data + pos + 32)));
        __m256i b = _mm256_or_si256(_mm256_cmpgt_epi8(c1_limit, load(data + pos + 64)),
                                    _mm256_cmpgt_epi8(c1_limit, load(data + pos + 96)));
        a = _mm256_or_si256(a, b);
        if (!_mm256_testz_si256(a, a)) return true;
    }
    for (; pos < size; ++pos)
        if (is_c1(data[pos])) return true;
    return false;
}
#endif

bool has_c1(std::string_view bytes, bool vector_scan) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
#ifdef ORVANE_HAVE_AVX2_PATH
    if (vector_scan && have_avx2()) return has_c1_avx2(data, bytes.size());
#else
    (void)vector_scan;
#endif
    std::size_t pos = 0, size = bytes.size();
    for (; pos + 8 <= size; pos += 8) {
        std::uint64_t w;
        std::memcpy(&w, data + pos, 8);
        // Bit 7 set, bits 6 and 5 clear, per byte.
        if (w & ~(w << 1) & ~(w << 2) & 0x8080808080808080ull) return true;
    }
    for (; pos < size; ++pos)
        if (is_c1(data[pos])) return true;
    return false;
}

void search_unfiltered(const Filter& f, std::string_view bytes, SearchState& state) {
    for (const Pattern* p : f.unfiltered)
        if (p->languages & state.wanted() && bytes.find(p->bytes) != std::string_view::npos)
            state.record(p->languages);
}

// The index of the language found (language_count for none).
std::size_t marker_search(std::string_view bytes, const CharsetDetectFlags& flags, bool vector_scan,
                          C1Bytes& c1) {
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
#ifdef ORVANE_HAVE_AVX2_PATH
        if (vector_scan && have_avx2()) {
            pos = scan_avx2(f, data, size, pos, state, c1);
            if (state.wanted() != before) continue;
        }
#else
        (void)vector_scan;
#endif
        pos = scan_portable(f, data, size, pos, state);
        if (state.wanted() == before) break;
    }
    return state.best;
}

bool has_zero_byte(std::uint64_t w) {
    return ((w - 0x0101010101010101ull) & ~w & 0x8080808080808080ull) != 0;
}

// A Latin charset and the Windows code page that agrees with it on most of the
// upper half and puts letters and punctuation where it has C1 codes.
struct CodePage {
    const char* iso;
    const char* windows;
};
constexpr std::array<CodePage, 5> code_pages = {{
    {"ISO-8859-1", "CP1252"},
    {"ISO-8859-15", "CP1252"},
    {"ISO-8859-2", "CP1250"},
    {"ISO-8859-9", "CP1254"},
    {"ISO-8859-13", "CP1257"},
}};

// The bytes each code page leaves undefined, as the converter that reads the
// file sees them; worked out once.
using ByteSet = std::array<bool, 256>;
const ByteSet& undefined_bytes(std::size_t code_page) {
    static const auto sets = [] {
        std::array<ByteSet, code_pages.size()> out{};
        for (std::size_t i = 0; i < code_pages.size(); ++i)
            for (unsigned b = 0x80; b < 256; ++b) {
                const char byte = static_cast<char>(b);
                GCharPtr decoded(
                    g_convert(&byte, 1, "UTF-8", code_pages[i].windows, nullptr, nullptr, nullptr));
                out[i][b] = !decoded;
            }
        return out;
    }();
    return sets[code_page];
}

#ifdef ORVANE_HAVE_AVX2_PATH
// A byte is looked up by its two nibbles: the high one picks a bit (upper half
// only), the low one gives the high nibbles under which it is undefined.
__attribute__((target("avx2"))) bool all_defined_avx2(const unsigned char* data, std::size_t size,
                                                      const ByteSet& undefined) {
    alignas(16) char high[16] = {}, low[16] = {};
    for (unsigned b = 0x80; b < 256; ++b) {
        high[b >> 4] = static_cast<char>(1u << ((b >> 4) - 8));
        if (undefined[b]) low[b & 15] = static_cast<char>(low[b & 15] | 1u << ((b >> 4) - 8));
    }
    const __m256i high_bits =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(high)));
    const __m256i low_bits =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(low)));
    const __m256i nibble = _mm256_set1_epi8(0x0f);
    std::size_t pos = 0;
    for (; pos + 64 <= size; pos += 64) {
        __m256i hit = _mm256_setzero_si256();
        for (std::size_t k = 0; k < 64; k += 32) {
            __m256i v = load(data + pos + k);
            __m256i h =
                _mm256_shuffle_epi8(high_bits, _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble));
            __m256i l = _mm256_shuffle_epi8(low_bits, _mm256_and_si256(v, nibble));
            hit = _mm256_or_si256(hit, _mm256_and_si256(h, l));
        }
        if (!_mm256_testz_si256(hit, hit)) return false;
    }
    for (; pos < size; ++pos)
        if (undefined[data[pos]]) return false;
    return true;
}
#endif

bool all_defined(std::string_view bytes, const ByteSet& undefined, bool vector_scan) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
#ifdef ORVANE_HAVE_AVX2_PATH
    if (vector_scan && have_avx2()) return all_defined_avx2(data, size, undefined);
#else
    (void)vector_scan;
#endif
    std::size_t pos = 0;
    while (pos < size) {
        std::uint64_t w = 0;
        if (pos + 8 <= size) std::memcpy(&w, data + pos, 8);
        if (pos + 8 <= size && !(w & 0x8080808080808080ull)) {
            pos += 8; // plain ASCII
            continue;
        }
        if (undefined[data[pos]]) return false;
        ++pos;
    }
    return true;
}

// Bytes 0x80-0x9F are control codes in the Latin charsets that real text never
// holds; text that has them was written in the matching Windows code page. A
// byte that page leaves undefined keeps the Latin answer, which reads every byte.
std::optional<std::string> autodetect(std::string_view bytes, const CharsetDetectFlags& flags,
                                      bool vector_scan) {
    if (bytes_are_utf8(bytes)) return std::string("UTF-8");
    C1Bytes c1;
    const std::size_t found = marker_search(bytes, flags, vector_scan, c1);
    if (found >= language_count) return std::nullopt;
    const std::string result = charset_marker_languages()[found].result;
    for (std::size_t i = 0; i < code_pages.size(); ++i) {
        if (result != code_pages[i].iso) continue;
        const bool c1_bytes =
            c1.seen || has_c1(bytes.substr(std::min(c1.checked, bytes.size())), vector_scan);
        if (c1_bytes && all_defined(bytes, undefined_bytes(i), vector_scan))
            return code_pages[i].windows;
        break;
    }
    return result;
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
    return autodetect(bytes, flags, true);
}

std::optional<std::string> charset_autodetect_portable(std::string_view bytes,
                                                       const CharsetDetectFlags& flags) {
    return autodetect(bytes, flags, false);
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
