// Answers no real host would give, where the host may answer anything: negative and huge
// counts, type and kind codes outside the known ones, NaN and infinite reals, null handles,
// names without a terminator. Each is given from an operation's first call on (a huge count at
// the first call only), and once at a later call, in every example and mode.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "tests/fault/export_check.h"

namespace fault_test {
namespace {

using substitute::Host;

using NonsenseCase = std::pair<std::string, Host::Nonsense>;

const char* KindName(Host::Nonsense kind) {
    switch (kind) {
        case Host::Nonsense::kNegative: return "Negative";
        case Host::Nonsense::kHuge: return "Huge";
        case Host::Nonsense::kOutsideTable: return "OutsideTable";
        case Host::Nonsense::kNotANumber: return "NaN";
        case Host::Nonsense::kInfinite: return "Infinite";
        case Host::Nonsense::kNull: return "Null";
        case Host::Nonsense::kUnterminated: return "Unterminated";
    }
    return "?";
}

std::vector<NonsenseCase> AllCases() {
    std::vector<NonsenseCase> cases;
    for (const auto& [operation, kinds] : Host::NonsenseKinds()) {
        for (Host::Nonsense kind : kinds) cases.emplace_back(operation, kind);
    }
    return cases;
}

class Nonsense : public testing::TestWithParam<NonsenseCase> {};

TEST_P(Nonsense, NoCrashNothingHeldAndNoPartialFile) {
    const auto& [operation, kind] = GetParam();
    const std::string what = operation + " answering " + KindName(kind);
    int exercised = 0;
    for (const Scenario& scenario : AllScenarios()) {
        const int calls = CallsInCleanExport(scenario, operation);
        if (calls == 0) continue;
        ++exercised;
        // A huge count is given once: every path or gradient of 32767 parts would make an
        // export of hundreds of megabytes, and one shows the same.
        const int times = kind == Host::Nonsense::kHuge ? 1 : -1;
        Misbehaviour seen =
            ExportAndCheck(scenario, [&](Host& host) { host.AnswerNonsense(operation, kind, 0, times); },
                           what + (times < 0 ? " from its first call on" : " at its first call"), operation, false);
        EXPECT_GT(seen.nonsenseGiven, 0) << Describe(scenario) << ": " << what << " was never given";
        if (calls >= 3) {
            const int later = calls / 2;
            seen = ExportAndCheck(scenario, [&](Host& host) { host.AnswerNonsense(operation, kind, later, 1); },
                                  what + " at call " + std::to_string(later + 1) + " of " + std::to_string(calls),
                                  operation, false);
            EXPECT_EQ(seen.nonsenseGiven, 1) << Describe(scenario) << ": " << what << " at a later call";
        }
    }
    EXPECT_GT(exercised, 0) << "no document's export calls " << operation;
}

std::string TestName(const testing::TestParamInfo<NonsenseCase>& info) {
    std::string name;
    for (char c : info.param.first) name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name + "_" + KindName(info.param.second);
}

INSTANTIATE_TEST_SUITE_P(EveryAnswer, Nonsense, testing::ValuesIn(AllCases()), TestName);

}  // namespace
}  // namespace fault_test
