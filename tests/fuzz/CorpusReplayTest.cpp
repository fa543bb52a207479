// The fuzzer's pipeline as an ordinary test: every kind's example, and every input of the corpus
// (the fuzzer's seeds and what it found), run through load, drawing, analysis, family, editor and
// save without a breach.
#include "fuzz/GearPipeline.h"

#include "gears/GearKinds.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

namespace linkwright::testing {
namespace {

TEST(CorpusReplay, EveryKindsExampleRunsThePipeline) {
    ScratchDir dir;
    WorkingDirectory cwd(dir.path());
    for (int kind = 0; kind < GearKindCount; ++kind) {
        SCOPED_TRACE(kind);
        const std::vector<std::uint8_t> input = fuzzing::ExampleInput(kind);
        ASSERT_EQ(input.size(), 1 + GearKinds()[static_cast<std::size_t>(kind)].FileSize());
        fuzzing::RunGearPipeline(input);
    }
}

TEST(CorpusReplay, EveryCorpusInputRunsThePipeline) {
    const std::filesystem::path corpus = std::filesystem::path(LINKWRIGHT_SOURCE_DIR) / "fuzz" / "corpus";
    std::vector<std::filesystem::path> inputs;
    for (const auto& entry : std::filesystem::directory_iterator(corpus))
        if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    ASSERT_GE(inputs.size(), static_cast<std::size_t>(GearKindCount));
    ScratchDir dir;
    WorkingDirectory cwd(dir.path());
    for (const std::filesystem::path& input : inputs) {
        SCOPED_TRACE(input.filename().string());
        const std::vector<unsigned char> bytes = ReadBytes(input);
        fuzzing::RunGearPipeline(std::span<const std::uint8_t>(bytes.data(), bytes.size()));
    }
}

} // namespace
} // namespace linkwright::testing
