// Replays the kept XAML fuzz inputs through the previewer: each is drawn, or refused with an
// error naming the file and the line.
#include <gtest/gtest.h>

#include "preview/preview.h"
#include "replay_files.h"

namespace {

using crash_test::ReplayFile;

class XamlReplayTest : public ::testing::TestWithParam<ReplayFile> {};

TEST_P(XamlReplayTest, DrawsOrRefusesCleanly) {
    const std::string bytes = crash_test::ReadBytes(GetParam().path);
    const std::string& fileName = GetParam().name;
    try {
        const preview::Scene scene = preview::ReadXaml(bytes, fileName);
        // As the fuzz target draws, and at the scene's own size when that is not too large.
        preview::DrawOptions small;
        small.width = 48;
        preview::Draw(scene, small);
        preview::Draw(scene, preview::DrawOptions{});
    } catch (const preview::XamlError& error) {
        EXPECT_EQ(std::string(error.what()).rfind(fileName + ":" + std::to_string(error.Line()) + ": ", 0), 0u)
            << "the error does not name the file and the line: " << error.what();
    } catch (const preview::PictureError&) {
        // Too large a picture: refused, cleanly.
    }
}

INSTANTIATE_TEST_SUITE_P(KeptInputs, XamlReplayTest, ::testing::ValuesIn(crash_test::ReplayFiles("xaml")),
                         [](const auto& test) { return crash_test::TestName(test.param); });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(XamlReplayTest);

}  // namespace
