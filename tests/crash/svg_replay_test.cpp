// Replays the kept SVG fuzz inputs: each is read (an error must name the file) and exported as
// the fuzz target did, under its host fault, then in each mode without one.
#include <gtest/gtest.h>

#include "document/svg/svg_reader.h"
#include "fuzz/driver/fuzz_input.h"
#include "replay_files.h"

namespace {

using crash_test::ReplayFile;

class SvgReplayTest : public ::testing::TestWithParam<ReplayFile> {};

TEST_P(SvgReplayTest, ReadsAndExportsCleanly) {
    const std::string bytes = crash_test::ReadBytes(GetParam().path);
    const fuzz::FuzzInput input = fuzz::DecodeInput(bytes);
    const std::string& fileName = GetParam().name;
    try {
        document::svg::ReadSvg(input.document, fileName);
    } catch (const document::svg::SvgError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(fileName, 0), 0u) << "the error does not name the file: " << error.what();
        return;
    }

    const auto load = [&] { return document::svg::ReadSvg(input.document, fileName).document; };
    crash_test::ExpectCleanExports(load, input);
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, SvgReplayTest, ::testing::ValuesIn(crash_test::ReplayFiles("svg")),
                         [](const auto& test) { return crash_test::TestName(test.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(SvgReplayTest);

}  // namespace
