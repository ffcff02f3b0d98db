// Runs one fuzz target without libFuzzer: every input of its corpus (each a
// finding or a seed kept in the repository), then seeded random inputs, so
// every build exercises the target and keeps its findings fixed.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "fuzz_check.h"

namespace {

void run(const std::vector<std::uint8_t>& input, const std::string& name) {
    try {
        LLVMFuzzerTestOneInput(input.data(), input.size());
    } catch (const vor3::fuzz::Broken& e) {
        ADD_FAILURE() << name << ": " << e.what();
    }
}

TEST(Fuzz, ReplaysTheCorpus) {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(VOR3_FUZZ_CORPUS))
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    EXPECT_FALSE(files.empty()) << "no corpus in " << VOR3_FUZZ_CORPUS;
    for (const auto& file : files) {
        std::ifstream in(file, std::ios::binary);
        run({std::istreambuf_iterator<char>(in), {}}, file.filename().string());
    }
}

TEST(Fuzz, SeededRandomInputs) {
    std::mt19937 random(20240607);
    for (int i = 0; i < VOR3_FUZZ_RANDOM_INPUTS; ++i) {
        std::vector<std::uint8_t> input(random() % 600);
        for (auto& b : input) b = static_cast<std::uint8_t>(random());
        run(input, "random input " + std::to_string(i));
    }
}

}  // namespace
