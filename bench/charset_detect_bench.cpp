// Charset autodetection over 50 MB of text that is not UTF-8, with all fourteen
// languages enabled, beside one plain pass over the same bytes (memchr for a
// byte that is absent).
#include <benchmark/benchmark.h>
#include <glib.h>

#include <cstring>
#include <string>

#include "documents/charset_detect.h"
#include "documents/rtf_text.h"

namespace {

constexpr std::size_t text_size = 50u << 20;

std::string repeat_in(const char* utf8, const char* charset) {
    gsize written = 0;
    gchar* bytes = g_convert(utf8, -1, charset, "UTF-8", nullptr, &written, nullptr);
    std::string piece(bytes ? bytes : "", bytes ? written : 0);
    g_free(bytes);
    std::string text;
    text.reserve(text_size + piece.size());
    while (text.size() < text_size)
        text += piece;
    return text;
}

// French in Latin-1: no marker of any language, so every byte is searched.
const std::string& french() {
    static const std::string text =
        repeat_in("Le renard brun très rapide saute par-dessus le chien paresseux, puis il s'en va "
                  "vers la forêt où ses amis l'attendent depuis le début de l'après-midi. ",
                  "ISO-8859-1");
    return text;
}

// German in Latin-9: German markers everywhere, but every earlier language
// must still be ruled out over the whole text.
const std::string& german() {
    static const std::string text =
        repeat_in("Der schnelle braune Fuchs springt über den faulen Hund und läuft weiter in den "
                  "Wald hinein, wo er seine Freunde trifft, die auf ihn warten. ",
                  "ISO-8859-15");
    return text;
}

// German in CP1252: the same search, then every byte checked against the code
// page's undefined bytes, since its quotes and dashes sit in 0x80-0x9F.
const std::string& german_cp1252() {
    static const std::string text =
        repeat_in("Der schnelle braune Fuchs springt „über“ den faulen Hund – und läuft weiter in "
                  "den Wald hinein, wo er seine Freunde trifft, die auf ihn warten… ",
                  "CP1252");
    return text;
}

// Russian in CP1251: Cyrillic markers of the later Cyrillic tables occur.
const std::string& russian() {
    static const std::string text =
        repeat_in("Мы не знаем, где он живёт, но его брат сказал нам, что дом стоит у реки "
                  "и что без карты туда не дойти. ",
                  "CP1251");
    return text;
}

CharsetDetectFlags all_flags() {
    CharsetDetectFlags f;
    for (const auto& lang : charset_marker_languages())
        f.*(lang.flag) = true;
    return f;
}

void baseline(benchmark::State& state, const std::string& text) {
    for (auto _ : state) {
        const void* hit = std::memchr(text.data(), '\x01', text.size());
        benchmark::DoNotOptimize(hit);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void detection(benchmark::State& state, const std::string& text) {
    const CharsetDetectFlags flags = all_flags();
    for (auto _ : state)
        benchmark::DoNotOptimize(charset_autodetect(text, flags));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_BaselineMemchr(benchmark::State& state) {
    baseline(state, french());
}
void BM_AutodetectFrench(benchmark::State& state) {
    detection(state, french());
}
void BM_AutodetectGerman(benchmark::State& state) {
    detection(state, german());
}
void BM_AutodetectGermanCp1252(benchmark::State& state) {
    detection(state, german_cp1252());
}
void BM_AutodetectRussian(benchmark::State& state) {
    detection(state, russian());
}

void BM_AutodetectFrenchPortable(benchmark::State& state) {
    const CharsetDetectFlags flags = all_flags();
    for (auto _ : state)
        benchmark::DoNotOptimize(charset_autodetect_portable(french(), flags));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(french().size()));
}

void BM_JapaneseAutodetectEucJp(benchmark::State& state) {
    static const std::string text = repeat_in("ひらがなとカタカナと漢字の文章です。", "EUC-JP");
    for (auto _ : state)
        benchmark::DoNotOptimize(japanese_autodetect(text));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_RtfExtract(benchmark::State& state) {
    static const std::string rtf = [] {
        std::string body = "{\\rtf1\\ansi {\\fonttbl Arial;}";
        while (body.size() < (8u << 20))
            body += "Some \\'e9text\\par with a \\tab tab. ";
        return body + "}";
    }();
    for (auto _ : state)
        benchmark::DoNotOptimize(rtf_extract_text(rtf, "CP1251"));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(rtf.size()));
}

BENCHMARK(BM_BaselineMemchr)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutodetectFrench)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutodetectGerman)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutodetectGermanCp1252)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutodetectRussian)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AutodetectFrenchPortable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JapaneseAutodetectEucJp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RtfExtract)->Unit(benchmark::kMillisecond);

} // namespace
