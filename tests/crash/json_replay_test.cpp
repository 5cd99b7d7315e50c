// Replays the kept JSON fuzz inputs: each is read from a file (an error must name the file
// and the place) and exported as the fuzz target did, under its host fault, then in each
// mode without one. A crash, a sanitizer report or misuse of the host fails the test.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "document/json_loader.h"
#include "fuzz/driver/fuzz_input.h"
#include "replay_files.h"

namespace {

using crash_test::ReplayFile;

class JsonReplayTest : public ::testing::TestWithParam<ReplayFile> {};

TEST_P(JsonReplayTest, ReadsAndExportsCleanly) {
    const std::string bytes = crash_test::ReadBytes(GetParam().path);
    const fuzz::FuzzInput input = fuzz::DecodeInput(bytes);

    // The document alone, as a user's file.
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() /
                                          ("quillmark-replay-" + std::to_string(getpid()) + ".json");
    std::ofstream(scratch, std::ios::binary) << input.document;
    bool loaded = false;
    try {
        document::LoadDocumentFile(scratch.string());
        loaded = true;
    } catch (const document::DocumentError& error) {
        const std::string problem = crash_test::UncleanMessage(error.what(), scratch.string());
        EXPECT_EQ(problem, "") << "unclean error message: " << error.what();
    }
    std::filesystem::remove(scratch);
    if (!loaded) return;

    const auto load = [&] { return document::LoadDocument(std::string(input.document)); };
    crash_test::ExpectCleanExports(load, input);
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, JsonReplayTest, ::testing::ValuesIn(crash_test::ReplayFiles("json")),
                         [](const auto& test) { return crash_test::TestName(test.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(JsonReplayTest);

}  // namespace
