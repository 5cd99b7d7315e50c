// Format registration against a file-format service of the test's own, for the failures the
// substitute host cannot single out: one registration failing while the other succeeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/file_format.h"
#include "shell/records.h"
#include "shell/suite_table.h"

namespace {

struct FakeHost {
    static inline std::vector<HostErr> answers;  // one per registration, in order
    static inline std::vector<std::string> titles;
    static inline int liveBlocks = 0;

    static HostErr Allocate(size_t size, void** block) {
        *block = std::malloc(size);
        ++liveBlocks;
        return kNoErr;
    }
    static HostErr Free(void* block) {
        std::free(block);
        --liveBlocks;
        return kNoErr;
    }
    static HostErr Register(PluginRef, const char*, const FileFormatRegistration* data, int32_t,
                            FileFormatHandle* format) {
        titles.emplace_back(reinterpret_cast<const char*>(data->title + 1), data->title[0]);
        const HostErr answer = answers.at(titles.size() - 1);
        if (answer == kNoErr) *format = reinterpret_cast<FileFormatHandle>(titles.size());
        return answer;
    }
    static constexpr BasicSuite basic{nullptr, nullptr, nullptr, Allocate, Free};
    static constexpr FileFormatSuite fileFormat{Register};
};

class Registration : public ::testing::Test {
protected:
    Registration() {
        FakeHost::titles.clear();
        sBasicSuite = &FakeHost::basic;
        sFileFormat = &FakeHost::fileFormat;
        sGlobals = &globals_;
    }
    ~Registration() override {
        sBasicSuite = nullptr;
        sFileFormat = nullptr;
        sGlobals = nullptr;
    }
    HostErr Register(std::vector<HostErr> answers) {
        FakeHost::answers = std::move(answers);
        FakeHost::titles.clear();
        MessageRecord message{0, nullptr, nullptr, &FakeHost::basic};
        return RegisterFileFormats(&message);
    }
    PluginGlobals globals_{nullptr, nullptr};
};

TEST_F(Registration, BothFormatsRegisteredInOrderWithTheirTitleBuffersFreed) {
    EXPECT_EQ(Register({kNoErr, kNoErr}), kNoErr);
    EXPECT_EQ(FakeHost::titles,
              (std::vector<std::string>{"Windows Presentation Foundation XAML",
                                        "Windows Presentation Foundation/Everywhere XAML"}));
    EXPECT_EQ(globals_.wpfFormatHandle, reinterpret_cast<FileFormatHandle>(1));
    EXPECT_EQ(globals_.wpfeFormatHandle, reinterpret_cast<FileFormatHandle>(2));
    EXPECT_EQ(FakeHost::liveBlocks, 0);
}

TEST_F(Registration, AFailureOfEitherRegistrationFailsStartup) {
    const HostErr refused = FourCharCode('N', 'O', 'P', 'E');
    EXPECT_EQ(Register({refused, kNoErr}), refused) << "a missing first format must not pass for success";
    EXPECT_EQ(globals_.wpfFormatHandle, nullptr);
    EXPECT_EQ(Register({kNoErr, refused}), refused);
    // When both fail, the second's answer is the one passed on.
    EXPECT_EQ(Register({kOutOfMemoryErr, refused}), refused);
    EXPECT_EQ(FakeHost::liveBlocks, 0);
}

}  // namespace
