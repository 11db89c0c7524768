// Replays the fuzz seed corpus and every input the fuzzer once failed on
// through the fuzz body, one test per file, so they run without clang.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz/framer_fuzz_body.h"
#include "fuzz/persistence_fuzz_body.h"

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        if (entry.is_regular_file()) {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> ReplayedFiles() {
    std::vector<fs::path> files = FilesIn(MARLO_FUZZ_CORPUS);
    const std::vector<fs::path> regressions = FilesIn(MARLO_FUZZ_REGRESSIONS);
    files.insert(files.end(), regressions.begin(), regressions.end());
    return files;
}

std::vector<std::uint8_t> Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// "corpus_worked_example_hdb": folder and file name, letters and digits only.
std::string TestName(const testing::TestParamInfo<fs::path>& info) {
    std::string name =
        info.param.parent_path().filename().string() + "_" + info.param.filename().string();
    std::replace_if(
        name.begin(), name.end(), [](unsigned char c) { return !std::isalnum(c); }, '_');
    return name;
}

class FuzzInput : public testing::TestWithParam<fs::path> {};

}  // namespace

TEST_P(FuzzInput, ReadsAndRoundTrips) {
    const std::vector<std::uint8_t> bytes = Bytes(GetParam());
    EXPECT_TRUE(FuzzPersistenceInput(bytes.data(), bytes.size())) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Saved, FuzzInput, testing::ValuesIn(ReplayedFiles()), TestName);

class FramerFuzzInput : public testing::TestWithParam<fs::path> {};

TEST_P(FramerFuzzInput, KeepsTheFramingPromises) {
    const std::vector<std::uint8_t> bytes = Bytes(GetParam());
    EXPECT_TRUE(FuzzFramerInput(bytes.data(), bytes.size())) << GetParam();
}

INSTANTIATE_TEST_SUITE_P(Saved, FramerFuzzInput, testing::ValuesIn(FilesIn(MARLO_FRAMER_CORPUS)),
                         TestName);

// Guards against replaying nothing because a folder moved.
TEST(FuzzCorpus, HoldsTheSeeds) {
    EXPECT_GE(FilesIn(MARLO_FUZZ_CORPUS).size(), 4u);
    EXPECT_GE(FilesIn(MARLO_FRAMER_CORPUS).size(), 4u);
    EXPECT_TRUE(fs::is_directory(MARLO_FUZZ_REGRESSIONS));
}
