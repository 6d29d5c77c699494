// The symbol list of a 5 MB PHP file, beside one plain pass over the same bytes
// (counting line feeds with memchr); the list is built after every open and
// save, so it should cost no more than ten such passes.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>

#include "tools/doc_gen.h"
#include "tools/symbol_scan.h"

namespace {
const std::string& php_file() {
    static const std::string text = [] {
        std::string t = "<?php\n";
        for (int i = 0; t.size() < 5 * 1024 * 1024; ++i) {
            const std::string n = std::to_string(i);
            t += "include \"lib/part" + n +
                 ".php\";\n"
                 "/**\n * Renders block " +
                 n +
                 " of the page.\n */\n"
                 "public static function render" +
                 n +
                 "($item, $count = 3)\n"
                 "{\n"
                 "    $id = $_GET['id" +
                 n +
                 "'];\n"
                 "    if ($count > 0 && isset($item['name']))\n"
                 "    {\n"
                 "        $total = $count * " +
                 n +
                 ";\n"
                 "        echo htmlspecialchars($item['name']) . \"<br>\";\n"
                 "    } elseif ($count == 0) {\n"
                 "        log_message(\"empty\")\n"
                 "    }\n"
                 "    $result = array_map(function ($x) { return $x * 2; }, $item);\n"
                 "    return $result\n"
                 "}\n\n";
        }
        return t;
    }();
    return text;
}

void BM_BaselinePhpLineFeeds(benchmark::State& state) {
    const std::string& text = php_file();
    for (auto _ : state) {
        std::size_t n = 0;
        for (const char *p = text.data(), *end = p + text.size();
             (p = static_cast<const char*>(std::memchr(p, '\n', end - p))); ++p)
            ++n;
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_SymbolScanPhp(benchmark::State& state) {
    const std::string& text = php_file();
    for (auto _ : state)
        benchmark::DoNotOptimize(symbol_scan(text, "/srv/site/index.php"));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}

void BM_DocGenPhp(benchmark::State& state) {
    const std::string& text = php_file();
    for (auto _ : state)
        benchmark::DoNotOptimize(generate_documentation(text, "/srv/site/index.php"));
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
} // namespace

BENCHMARK(BM_BaselinePhpLineFeeds)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SymbolScanPhp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DocGenPhp)->Unit(benchmark::kMillisecond);
