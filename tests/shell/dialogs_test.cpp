// The error dialog's message and code text for the codes of the error list and for codes
// it does not list, and the About dialog, as the host shows them from the module's resources.
#include <string>
#include <utility>

#include "plugin_fixture.h"

namespace shell_test {
namespace {

constexpr char kOutOfMemory[] = "The filter cannot complete because there isn't enough memory (RAM) available.";
constexpr char kUnknown[] = "The filter cannot complete because of an unknown error.";

struct ErrorCase {
    HostErr error;
    const char* message;
    const char* codeText;
};

class ErrorDialog : public PluginTest {
protected:
    // Start-up answers the error that the host's block allocation gives it. The error
    // dialogs that this start-up showed.
    std::vector<std::pair<std::string, std::string>> DialogsFor(HostErr error) {
        const size_t before = ErrorDialogs().size();
        host_.FailOperation("SP Blocks Suite/AllocateBlock", error);
        EXPECT_EQ(session_.Startup(), error);
        auto shown = ErrorDialogs();
        shown.erase(shown.begin(), shown.begin() + static_cast<std::ptrdiff_t>(before));
        return shown;
    }
};

TEST_F(ErrorDialog, ListedCodesShowTheirMessageAndCode) {
    const ErrorCase cases[] = {
        {-108, kOutOfMemory, "-108"},
        {271, kOutOfMemory, "271"},
        {FourCharCode('S', 'E', 'G', 'M'), "The filter cannot complete because a layer is locked or invisible.",
         "SEGM"},
        {FourCharCode('N', 'E', 'S', 'S'), "The filter cannot complete because a path has too many anchor points.",
         "NESS"},
        {FourCharCode('!', 's', 'e', 'l'), "The selection is not valid for this filter.", "!sel"},
    };
    for (const ErrorCase& c : cases) {
        const auto shown = DialogsFor(c.error);
        ASSERT_EQ(shown.size(), 1u) << c.codeText;
        EXPECT_EQ(shown[0].first, c.message) << c.codeText;
        EXPECT_EQ(shown[0].second, c.codeText);
    }
}

TEST_F(ErrorDialog, UnlistedCodesShowTheUnknownErrorWithTheirOwnCode) {
    const ErrorCase cases[] = {
        {-50, kUnknown, "-50"},
        {1, nullptr, nullptr},  // answers a check: passed back silently
        {65535, kUnknown, "65535"},
        {-65536, kUnknown, "-65536"},
        // The low 16 bits of 65807 are those of 271, but the code is not 271. Outside the
        // 16-bit range a code is shown as four characters, here cut short by a zero byte.
        {65807, kUnknown, ""},
        {FourCharCode('Q', 'u', 'i', 'l'), kUnknown, "Quil"},
        {FourCharCode('<', 'O', 't', 'h'), kUnknown, "<Oth"},
    };
    for (const ErrorCase& c : cases) {
        const auto shown = DialogsFor(c.error);
        if (c.message == nullptr) {
            EXPECT_TRUE(shown.empty()) << c.error;
            continue;
        }
        ASSERT_EQ(shown.size(), 1u) << c.error;
        EXPECT_EQ(shown[0].first, c.message) << c.error;
        EXPECT_EQ(shown[0].second, c.codeText) << c.error;
    }
}

TEST_F(ErrorDialog, CancelAndMissingSuitesShowNothing) {
    EXPECT_TRUE(DialogsFor(kStopErr).empty());
    EXPECT_TRUE(DialogsFor(kSuiteNotFoundErr).empty());
}

TEST_F(ErrorDialog, TheOkButtonBehavesAsTheHostsDefault) {
    ASSERT_EQ(DialogsFor(-108).size(), 1u);
    const substitute::DialogRun& run = host_.Dialogs().back();
    EXPECT_EQ(run.name, "Error Dialog");
    EXPECT_EQ(run.caption, "Plug-in Error");
    EXPECT_TRUE(run.defaultNotifyCalled);
    EXPECT_EQ(run.answer, 1);
}

TEST_F(ErrorDialog, WithoutItsStringsTheDialogIsNotShown) {
    host_.FailOperation("ADM Basic Suite/GetIndexString", kBadParameterErr, 1);
    EXPECT_TRUE(DialogsFor(-108).empty());
}

using AboutDialog = PluginTest;

TEST_F(AboutDialog, ShowsTheProjectsMaintainersVersionAndHomePage) {
    EXPECT_EQ(session_.About(), kNoErr);
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    const substitute::DialogRun& run = host_.Dialogs()[0];
    EXPECT_EQ(run.resourceId, 16050);
    EXPECT_EQ(run.name, "About Dialog");
    EXPECT_EQ(run.caption, "Quillmark");
    EXPECT_TRUE(run.defaultNotifyCalled);
    EXPECT_EQ(run.VisibleTexts(),
              (std::vector<std::string>{"By " QUILLMARK_MAINTAINERS "\nVersion 0.16",
                                        "Exports Illustrator artwork to XAML\n\n" QUILLMARK_HOME_PAGE}));
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(AboutDialog, AnswersSuccessHoweverTheDialogEnds) {
    host_.FailOperation("ADM Dialog Suite/Modal", kBadParameterErr);
    EXPECT_EQ(session_.About(), kNoErr);
    EXPECT_TRUE(host_.Dialogs().empty());
}

}  // namespace
}  // namespace shell_test
