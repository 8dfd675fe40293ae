// The host setting is read at start-up and at every refresh, from a Wine hive of tens of
// thousands of keys. One lookup (open, query, close: the whole file read and scanned) must
// stay a few milliseconds; the baseline is reading the same file into memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/file_system.h"
#include "settings/module1.h"
#include "settings/registry_file.h"

namespace {

using namespace infotrakon::settings;

const std::string& HivePath() {
    static const std::string path = [] {
        const std::string file = std::filesystem::temp_directory_path() /
                                 ("infotrakon-bench-" + std::to_string(::getpid()) + ".reg");
        std::ofstream out(file, std::ios::binary);
        out << "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
        std::size_t written = 0;
        for (int i = 0; written < 1'700'000; ++i) {
            std::ostringstream key;
            key << "[Software\\\\Classes\\\\CLSID\\\\{" << i
                << "-0000-0000}\\\\InprocServer32] 1733480000\n"
                << "#time=1db47c6f2a1b2c0\n@=\"C:\\\\windows\\\\system32\\\\x" << i << ".dll\"\n"
                << "\"ThreadingModel\"=\"Both\"\n\n";
            written += key.str().size();
            out << key.str();
        }
        out << "[Software\\\\Wow6432Node\\\\Velmora\\\\Trakon\\\\ProgramSeting] 1733480000\n"
            << "\"LastFullFileNameOpen\"=\"C:\\\\Trakon\\\\Data\\\\agenda.mdb\"\n";
        return file;
    }();
    return path;
}

void BM_ReadFileOnly(benchmark::State& state) {
    for (auto _ : state) {
        std::ifstream file(HivePath(), std::ios::binary | std::ios::ate);
        std::string contents(static_cast<std::size_t>(file.tellg()), '\0');
        file.seekg(0);
        file.read(contents.data(), static_cast<std::streamsize>(contents.size()));
        benchmark::DoNotOptimize(contents.data());
    }
}
BENCHMARK(BM_ReadFileOnly)->Unit(benchmark::kMillisecond);

void BM_ReadRegistryValue(benchmark::State& state) {
    RegistryFileStore store(infotrakon::PlatformFileSystem(), HivePath());
    for (auto _ : state) {
        const auto value = ReadRegistryValue(store, kHostSettingsKey, kLastFileValue);
        if (value.isEmpty()) state.SkipWithError("the value was not found");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(BM_ReadRegistryValue)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
