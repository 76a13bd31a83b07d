// The per-file pass over a large image and the dictionary lookup, indexed against linear.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "BatchPass.h"
#include "BenchData.h"
#include "Startup.h"

namespace {

CDictionaryText PreparedDictionary(int entries) {
    std::string text = bench::MakeDictionary(entries);
    CTranslationEngine::PrepareDictionaryText(reinterpret_cast<unsigned char*>(text.data()),
                                              text.size());
    return CDictionaryText(text);
}

// Scan, translate and lay in over a 64 MiB image with a 5,000-entry dictionary; the final write
// goes over a temporary file of the image's length, as a program file's would.
void BM_FilePass(benchmark::State& bm) {
    const std::size_t size = static_cast<std::size_t>(bm.range(0)) << 20;
    const std::vector<unsigned char> pristine = bench::MakeImage(size);
    std::vector<unsigned char> image(size);
    auto state = std::make_unique<AppState>();
    ApplyStartupDefaults(*state);
    state->m_bWholeSentence = static_cast<int>(bm.range(1));
    auto engine = std::make_unique<CTranslationEngine>();
    engine->m_strMainDict = PreparedDictionary(5000);
    CSilentDisplay display;
    const char* folder = std::getenv("TMPDIR");
    std::string path = std::string(folder != nullptr ? folder : "/tmp") + "/vokra-bench-XXXXXX";
    const int fd = mkstemp(path.data());
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(size)) != 0) {
        bm.SkipWithError("no temporary file");
        return;
    }
    close(fd);
    for (auto _ : bm) {
        bm.PauseTiming();
        std::memcpy(image.data(), pristine.data(), size);
        state->m_bStopped = 0;
        bm.ResumeTiming();
        RunFile(*state, *engine, display, path, image.data(), static_cast<std::int64_t>(size));
    }
    unlink(path.c_str());
    bm.SetBytesProcessed(static_cast<std::int64_t>(bm.iterations() * size));
    bm.counters["found"] = state->m_nFoundCount;
    bm.counters["translated"] = state->m_nTranslatedCount;
}
BENCHMARK(BM_FilePass)->Args({64, 1})->Args({64, 0})->Unit(benchmark::kMillisecond);

// The pass over a real Windows program (the self-check test program, about 70 KiB), by its
// structure (0) or by the whole-file walk (1), held in memory.
void BM_ProgramPass(benchmark::State& bm) {
    const char* program = std::getenv("VOKRA_BENCH_PROGRAM");
    FILE* file =
        std::fopen(program != nullptr ? program : VOKRA_TEST_PROGRAMS "/selfcheck.exe", "rb");
    if (file == nullptr) {
        bm.SkipWithError("no test program (set VOKRA_BENCH_PROGRAM)");
        return;
    }
    std::vector<unsigned char> pristine;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        pristine.push_back(static_cast<unsigned char>(c));
    }
    std::fclose(file);
    std::vector<unsigned char> image(pristine.size());
    auto state = std::make_unique<AppState>();
    ApplyStartupDefaults(*state);
    state->m_bWholeFileWalk = static_cast<int>(bm.range(0));
    auto engine = std::make_unique<CTranslationEngine>();
    engine->m_strMainDict = PreparedDictionary(5000);
    CSilentDisplay display;
    for (auto _ : bm) {
        bm.PauseTiming();
        image = pristine;
        state->m_bStopped = 0;
        bm.ResumeTiming();
        TranslateImage(*state, *engine, display, image.data(),
                       static_cast<std::int64_t>(image.size()));
    }
    bm.SetBytesProcessed(static_cast<std::int64_t>(bm.iterations() * pristine.size()));
    bm.counters["found"] = static_cast<double>(state->m_nFoundCount);
    bm.SetLabel(bm.range(0) == 1 ? "whole-file walk" : "by structure");
}
BENCHMARK(BM_ProgramPass)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Keys of a 5,000-entry dictionary, three in four of them present.
std::vector<std::string> LookupKeys(const std::string& text) {
    std::vector<std::string> keys;
    for (std::size_t at = text.find('['); at != std::string::npos; at = text.find('[', at + 1)) {
        keys.push_back(text.substr(at, text.find('=', at) - at + 1));
    }
    std::mt19937 rng(3);
    std::shuffle(keys.begin(), keys.end(), rng);
    for (std::size_t i = 0; i < keys.size(); i += 4) {
        keys[i] = "[MISSING" + std::to_string(i) + "=";
    }
    return keys;
}

void BM_Lookup(benchmark::State& bm) {
    const bool bIndexed = bm.range(0) == 1;
    const CDictionaryText dict = PreparedDictionary(5000);
    const std::vector<std::string> keys = LookupKeys(dict.Text());
    std::size_t i = 0;
    for (auto _ : bm) {
        const char* key = keys[i++ % keys.size()].c_str();
        benchmark::DoNotOptimize(bIndexed ? dict.Find(key)
                                          : CTranslationEngine::FindKey(dict.Text(), key));
    }
    bm.SetLabel(bIndexed ? "index" : "linear search");
}
BENCHMARK(BM_Lookup)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
