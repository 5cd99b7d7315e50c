// Every host operation that an export of an example calls, made to fail at its first call
// (and from then on), at its second call only, at a later call only and at its last call, in
// every mode.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "tests/fault/export_check.h"

namespace fault_test {
namespace {

// The operations an export of the documents calls, start-up and shut-down included.
const std::vector<std::string> kExportOperations = {
    "SP Basic Suite/AcquireSuite",
    "SP Basic Suite/ReleaseSuite",
    "SP Basic Suite/IsEqual",
    "SP Basic Suite/AllocateBlock",
    "SP Basic Suite/FreeBlock",
    "SP Blocks Suite/AllocateBlock",
    "SP Blocks Suite/FreeBlock",
    "AI File Format Suite/AddFileFormat",
    "AI Layer Suite/CountLayers",
    "AI Layer Suite/GetNthLayer",
    "AI Art Suite/GetFirstArtOfLayer",
    "AI Art Suite/GetArtType",
    "AI Art Suite/GetArtUserAttr",
    "AI Art Suite/GetArtFirstChild",
    "AI Art Suite/GetArtSibling",
    "AI Art Suite/GetArtBounds",
    "AI Art Suite/GetArtName",
    "AI Path Suite/GetPathSegmentCount",
    "AI Path Suite/GetPathSegments",
    "AI Path Suite/GetPathClosed",
    "AI Path Suite/GetPathIsGuide",
    "AI Path Style Suite/GetPathStyle",
    "AI Blend Style Suite/GetOpacity",
    "AI Plugin Group Suite/GetPluginArtName",
    "AI Plugin Group Suite/GetPluginArtResultArt",
    "AI Real Math Suite/IdentityMatrix",
    "AI Real Math Suite/ConcatScale",
    "AI Real Math Suite/ConcatTranslate",
    "AI Real Math Suite/ConcatMatrix",
    "AI Real Math Suite/TransformPoint",
    "AI Gradient Suite/GetGradientType",
    "AI Gradient Suite/GetGradientStopCount",
    "AI Gradient Suite/GetNthGradientStop",
    "AI Custom Color Suite/GetCustomColor",
    "AI Color Conversion Suite/ConvertSamples",
};

// The list is what the examples' exports call: neither an operation missing from it nor one
// that no export calls any more.
TEST(HostFaults, TheListHoldsEveryOperationThatTheExportsCall) {
    std::set<std::string> called;
    for (const Scenario& scenario : AllScenarios()) {
        for (const std::string& operation : OperationsOfCleanExport(scenario)) called.insert(operation);
    }
    EXPECT_EQ(called, std::set<std::string>(kExportOperations.begin(), kExportOperations.end()));
}

// What tells a whole file from a partial one.
TEST(HostFaults, OnlyAWholeFileIsWellFormed) {
    const std::string whole = "<!-- header -->\n<Canvas Width=\"1\">\n  <!-- a - b -->\n  <Path Data=\"M 0,0\"/>\n</Canvas>";
    std::string error;
    EXPECT_TRUE(IsWellFormedXml(whole, &error)) << error;
    EXPECT_FALSE(IsWellFormedXml(whole.substr(0, whole.size() - 3), &error));
    EXPECT_FALSE(IsWellFormedXml(whole.substr(0, whole.find("<Path")), &error));
    EXPECT_FALSE(error.empty());
}

class HostFaults : public testing::TestWithParam<std::string> {};

TEST_P(HostFaults, NoCrashNothingHeldAndNoPartialFile) {
    const std::string& operation = GetParam();
    int exercised = 0;
    for (const Scenario& scenario : AllScenarios()) {
        const int calls = CallsInCleanExport(scenario, operation);
        if (calls == 0) continue;
        ++exercised;
        // succeedFirst, failTimes (negative: from then on), and what that is.
        struct Position {
            int succeedFirst;
            int failTimes;
            std::string what;
        };
        std::vector<Position> positions = {{0, -1, "failing from its first call on"}};
        if (calls >= 2) positions.push_back({1, 1, "failing at its second call"});
        // A call in the middle of the export: for most operations one during "AI Go".
        const int later = std::max(2, calls / 2);
        if (calls >= 3) positions.push_back({later, 1, "failing at call " + std::to_string(later + 1) + " of " +
                                                           std::to_string(calls)});
        // From the middle on: a host that refuses everything from some message on (for a suite,
        // one of "AI Go"'s acquisitions, then all of the shut-down's).
        if (calls >= 3) positions.push_back({later, -1, "failing from call " + std::to_string(later + 1) + " of " +
                                                            std::to_string(calls) + " on"});
        // The last call, for most operations one of the shut-down (where a refusal must not
        // leave the plug-in's globals in the host's memory).
        if (calls >= 4) positions.push_back({calls - 1, -1, "failing at its last call"});
        for (const Position& position : positions) {
            const Misbehaviour seen = ExportAndCheck(
                scenario,
                [&](substitute::Host& host) {
                    host.FailOperation(operation, kBadParameterErr, position.succeedFirst, position.failTimes);
                },
                operation + " " + position.what, operation, true);
            // A fault at the first call may end the export early; any other must be reached.
            EXPECT_GT(seen.calls, position.succeedFirst) << Describe(scenario) << ": " << operation << " "
                                                         << position.what << " was never reached";
        }
    }
    EXPECT_GT(exercised, 0) << "no document's export calls " << operation;
}

std::string TestName(const testing::TestParamInfo<std::string>& info) {
    std::string name;
    for (char c : info.param) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(EveryOperation, HostFaults, testing::ValuesIn(kExportOperations), TestName);

}  // namespace
}  // namespace fault_test
