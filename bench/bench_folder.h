// A fresh folder under the temporary directory for one benchmark's files.
#pragma once

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

// Empty, after telling the benchmark, when none can be made.
inline std::string BenchFolder(benchmark::State& state) {
    std::string folder = (std::filesystem::temp_directory_path() / "marlo-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return {};
    }
    return folder;
}
