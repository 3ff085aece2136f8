// What reading and writing the settings costs: a start-up load of a typical file, a close-time
// save, and opening the largest file the store accepts.
#include "core/settings_defaults.h"
#include "core/settings_persistence.h"
#include "platform/settings_store.h"

#include "support/temp_folder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace galerion {
namespace {

using test::TTempFolder;

void BM_LoadTypicalSettings(benchmark::State& state) {
    TTempFolder folder;
    const std::string file = folder.File("Galerion.reg");
    TProcessingLog log;
    {
        TSettingsStore store(file);
        SaveToRegistry(DefaultSettings(), store, log);
    }
    const TSettings defaults = DefaultSettings();  // asks the system for the pictures folder
    for (auto _ : state) {
        TSettings settings = defaults;
        TSettingsStore store(file);
        LoadFromRegistry(settings, store, log, 1920, 1080);
        benchmark::DoNotOptimize(settings);
    }
}
BENCHMARK(BM_LoadTypicalSettings)->Unit(benchmark::kMicrosecond);

void BM_SaveTypicalSettings(benchmark::State& state) {
    TTempFolder folder;
    const std::string file = folder.File("Galerion.reg");
    const TSettings settings = DefaultSettings();
    TProcessingLog log;
    for (auto _ : state) {
        TSettingsStore store(file);
        SaveToRegistry(settings, store, log);  // includes the fsync of the atomic replacement
    }
}
BENCHMARK(BM_SaveTypicalSettings)->Unit(benchmark::kMicrosecond);

// Just under the 1 MiB limit: one key with tens of thousands of values, then many keys.
void BM_OpenLargestFile(benchmark::State& state) {
    TTempFolder folder;
    const std::string file = folder.File("Large.reg");
    const bool manyKeys = state.range(0) != 0;
    {
        std::ofstream out(file, std::ios::binary);
        out << "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Big]\n";
        size_t written = 64;
        for (int i = 0; written < 1000 * 1000; ++i) {
            const std::string line =
                manyKeys ? "[HKEY_CURRENT_USER\\Software\\Big\\K" + std::to_string(i) + "]\n"
                         : "\"Value" + std::to_string(i) + "\"=dword:0000002a\n";
            out << line;
            written += line.size();
        }
    }
    for (auto _ : state) {
        TSettingsStore store(file);
        benchmark::DoNotOptimize(store.OpenKey("Software\\Big", false));
        if (!store.LoadProblem().empty()) state.SkipWithError(store.LoadProblem().c_str());
    }
}
BENCHMARK(BM_OpenLargestFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Hostile files of 1 MiB (the most the store reads): the time must stay linear in the size
// whatever the lines hold. 0: removal lines between the keys and values they remove; 1: a value
// removed and set again, over and over, in one key; 2: random bytes; 3: lines that cannot be
// read, each of them recorded; 4: deeply nested keys removed by their top.
std::string HostileFile(int kind) {
    std::string text =
        "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\Software\\Big]\n";
    std::srand(1);
    for (int i = 0; text.size() < TSettingsStore::kMaxFileSize - 200; ++i) {
        const std::string n = std::to_string(i);
        switch (kind) {
            case 0:
                text += "[HKEY_CURRENT_USER\\Software\\Big\\K" + n + "]\n\"V\"=dword:1\n" +
                        "[-HKEY_CURRENT_USER\\Software\\Big\\K" + std::to_string(i / 2) + "]\n";
                break;
            case 1:
                text += "\"Value" + std::to_string(i % 50) + "\"=-\n\"Value" + n + "\"=dword:2\n";
                break;
            case 2: text += static_cast<char>(std::rand() % 256); break;
            case 3: text += "\"N" + n + "\"=dword:-1\n"; break;
            default:
                text += "[HKEY_CURRENT_USER\\Software\\Big\\T\\" + n + "]\n";
                if (i % 100 == 99) text += "[-HKEY_CURRENT_USER\\Software\\Big\\T]\n";
        }
    }
    return text;
}

void BM_OpenHostileFile(benchmark::State& state) {
    TTempFolder folder;
    const std::string file = folder.File("Hostile.reg");
    std::ofstream(file, std::ios::binary) << HostileFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TSettingsStore store(file);
        benchmark::DoNotOptimize(store.OpenKey("Software\\Big", false));
    }
}
BENCHMARK(BM_OpenHostileFile)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace galerion

BENCHMARK_MAIN();
