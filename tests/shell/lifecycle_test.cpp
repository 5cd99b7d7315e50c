// The module's entry point as the host drives it: which messages hold the host's suites,
// start-up and shut-down, unload and reload, missing suites, and the module's memory.
#include <string>

#include "host/suite_catalog.h"
#include "plugin_fixture.h"

namespace shell_test {
namespace {

using Lifecycle = PluginTest;

// Every row of the suite table was acquired exactly `times` times, and none is held now.
void ExpectWholeTableAcquired(const substitute::Host& host, int times) {
    for (const SuiteId& id : kSuiteTableIds) {
        int rows = 0;
        for (const SuiteId& other : kSuiteTableIds) rows += std::string(other.name) == id.name ? 1 : 0;
        EXPECT_EQ(host.AcquireCount(id.name), rows * times) << id.name;
    }
    EXPECT_EQ(host.TotalHeld(), 0);
}

int TotalAcquisitions(const substitute::Host& host) {
    int total = 0;
    for (const SuiteId& id : kSuiteTableIds) total += host.AcquireCount(id.name);
    return total;
}

TEST_F(Lifecycle, EveryMessageButAccessHoldsTheWholeTableForItsLength) {
    EXPECT_EQ(session_.Send("SP Interface", "Something New"), kNoErr);
    ExpectWholeTableAcquired(host_, 1);
    EXPECT_EQ(session_.Send("Some Other Caller", "Startup"), kNoErr);
    ExpectWholeTableAcquired(host_, 2);
    EXPECT_TRUE(host_.Formats().empty()) << "Startup under another caller must not start the plug-in";
    EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(Lifecycle, AccessMessagesHoldNothing) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    const int before = TotalAcquisitions(host_);
    EXPECT_EQ(session_.Send("SP Access", "Flush"), kNoErr);
    EXPECT_EQ(session_.Send("SP Access", "Unload"), kNoErr);
    EXPECT_NE(session_.SavedGlobals(), nullptr);
    EXPECT_EQ(session_.Send("SP Access", "Reload"), kNoErr);
    EXPECT_EQ(TotalAcquisitions(host_), before);
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(Lifecycle, StartupRegistersBothFormatsAndShutdownFreesEverything) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    ASSERT_EQ(host_.Formats().size(), 2u);
    const substitute::FormatRegistration& wpf = host_.Formats()[0];
    const substitute::FormatRegistration& wpfe = host_.Formats()[1];
    EXPECT_EQ(wpf.name, "Windows Presentation Foundation XAML format");
    EXPECT_EQ(wpf.title, "Windows Presentation Foundation XAML");
    EXPECT_EQ(wpf.titleOrder, 0);
    EXPECT_EQ(wpfe.name, "Windows Presentation Foundation/Everywhere XAML format");
    EXPECT_EQ(wpfe.title, "Windows Presentation Foundation/Everywhere XAML");
    EXPECT_EQ(wpfe.titleOrder, 1);
    for (const substitute::FormatRegistration& format : host_.Formats()) {
        EXPECT_EQ(format.extension, "xaml");
        EXPECT_EQ(format.options, kFileFormatExport);
        EXPECT_EQ(format.plugin, host_.PluginReference());
    }
    // The globals block stays with the plug-in; the title buffers went back after registering.
    EXPECT_EQ(host_.Allocations().liveBlocks, 1u);

    EXPECT_EQ(session_.Shutdown(), kNoErr);
    EXPECT_EQ(host_.Allocations().liveBlocks, 0u);
    EXPECT_EQ(session_.SavedGlobals(), nullptr);
    EXPECT_EQ(host_.TotalHeld(), 0);
    EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(Lifecycle, AllOfAnExportsMemoryComesFromTheHostAndGoesBack) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    const size_t beforeExport = host_.Allocations().allocations;
    ASSERT_EQ(session_.Go(WpfFormat(), scratch_.File("out.xaml")), kNoErr);
    // The art list and its names are the host's memory, and all of it is given back.
    EXPECT_GT(host_.Allocations().allocations, beforeExport);
    EXPECT_EQ(host_.Allocations().liveBlocks, 1u);
    ASSERT_EQ(session_.Shutdown(), kNoErr);
    const substitute::AllocationStats memory = host_.Allocations();
    EXPECT_EQ(memory.liveBlocks, 0u);
    EXPECT_EQ(memory.liveBytes, 0u);
    EXPECT_EQ(memory.allocations, memory.releases);
}

TEST_F(Lifecycle, FormatHandlesSurviveAnUnloadOfTheModule) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    ASSERT_EQ(session_.UnloadAndReload(), kNoErr);
    EXPECT_EQ(session_.Check(WpfeFormat()), 1);
    EXPECT_EQ(session_.Check(WpfFormat()), 0);
    const std::string path = scratch_.File("after-reload.xaml");
    ASSERT_EQ(session_.Go(WpfeFormat(), path), kNoErr);
    EXPECT_NE(ReadFile(path).find("http://schemas.microsoft.com/client/2007"), std::string::npos);
    // The reloaded module freed the block it was handed back.
    ASSERT_EQ(session_.Shutdown(), kNoErr);
    EXPECT_EQ(host_.Allocations().liveBlocks, 0u);
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(Lifecycle, AMessageSentFromInsideAnotherSharesItsSuites) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    host_.SetKeyState(kLeftShiftKey, 0);  // the export asks to open its file: the host answers with a message
    int heldBeforeInner = -1;
    int heldAfterInner = -1;
    int acquisitionsByInner = -1;
    HostErr innerAnswer = -1;
    host_.OnOpenRequest([&](const std::string&) {
        heldBeforeInner = host_.TotalHeld();
        const int before = TotalAcquisitions(host_);
        innerAnswer = session_.Check(WpfeFormat());
        acquisitionsByInner = TotalAcquisitions(host_) - before;
        heldAfterInner = host_.TotalHeld();
    });
    ASSERT_EQ(session_.Go(WpfFormat(), scratch_.File("nested.xaml")), kNoErr);
    ASSERT_EQ(host_.OpenRequests().size(), 1u);
    EXPECT_EQ(innerAnswer, 1);
    EXPECT_EQ(heldBeforeInner, kSuiteTableRows);
    EXPECT_EQ(acquisitionsByInner, 0);
    EXPECT_EQ(heldAfterInner, kSuiteTableRows) << "the inner message must leave the outer one's suites held";
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(Lifecycle, ASuiteMissingAfterTheAlertSuiteIsNamedAndTheWorkIsSkipped) {
    host_.MakeSuiteUnavailable("ADM Item Suite");
    EXPECT_EQ(session_.Startup(), kSuiteNotFoundErr);
    ASSERT_EQ(host_.Alerts().size(), 1u);
    EXPECT_EQ(host_.Alerts()[0], "Error: " + std::to_string(kSuiteNotFoundErr) + ", suite: ADM Item Suite, version: 7!");
    EXPECT_TRUE(host_.Formats().empty());
    // The walk stopped at the missing suite; what it had taken went back.
    EXPECT_EQ(host_.AcquireCount("ATE ApplicationPaint Suite"), 0);
    EXPECT_EQ(host_.TotalHeld(), 0);
    // The host's "not found" answer is passed back without an error dialog.
    EXPECT_TRUE(host_.Dialogs().empty());
}

TEST_F(Lifecycle, AnyOtherAcquisitionFailureIsAlsoShownInTheErrorDialog) {
    // The 31st request is for a text-engine suite, well after the alert suite.
    host_.FailOperation("SP Basic Suite/AcquireSuite", kOutOfMemoryErr, 30);
    EXPECT_EQ(session_.Startup(), kOutOfMemoryErr);
    ASSERT_EQ(host_.Alerts().size(), 1u);
    EXPECT_EQ(host_.Alerts()[0], "Error: -108, suite: " + std::string(kSuiteTableIds[30].name) + ", version: 1!");
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0].second, "-108");
    EXPECT_TRUE(host_.Formats().empty());
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(Lifecycle, ASuiteMissingBeforeTheAlertSuiteStopsTheMessageSilently) {
    host_.MakeSuiteUnavailable("AI File Format Suite");
    EXPECT_EQ(session_.Startup(), kSuiteNotFoundErr);
    // Nothing can be shown yet, and start-up did not run without the suite.
    EXPECT_TRUE(host_.Alerts().empty());
    EXPECT_EQ(host_.CallCount("SP Blocks Suite/AllocateBlock"), 0);
    EXPECT_TRUE(host_.Formats().empty());
    // The rest of the table was still taken, and all of it given back.
    EXPECT_EQ(host_.AcquireCount("ATE TextRunsIterator Suite"), 1);
    EXPECT_EQ(host_.TotalHeld(), 0);
}

TEST_F(Lifecycle, SuitesLeftAfterAFailedReleaseAreNotUsedOrReleasedByTheNextMessage) {
    // The release of the first row (the blocks suite) fails: the walk stops there, and the
    // other rows were still held when the message ended.
    host_.FailOperation("SP Basic Suite/ReleaseSuite", kBadParameterErr, 0, 1);
    session_.Send("SP Interface", "Something New");
    host_.ClearFaults();
    host_.ClearRecords();
    // The next message cannot have the blocks suite: it must neither alert through the alert
    // suite of the message before nor give back suites it never took this time.
    host_.FailOperation("SP Basic Suite/AcquireSuite", kBadParameterErr, 0, 1);
    session_.Send("SP Interface", "Something New");
    EXPECT_TRUE(host_.Problems().empty()) << host_.Problems().front();
    EXPECT_TRUE(host_.Alerts().empty());
}

TEST_F(Lifecycle, AnExportWithoutOneOfItsSuitesWritesNothing) {
    ASSERT_EQ(session_.Startup(), kNoErr);
    host_.MakeSuiteUnavailable("AI Layer Suite");
    const std::string path = scratch_.File("never.xaml");
    EXPECT_EQ(session_.Go(WpfFormat(), path), kSuiteNotFoundErr);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(host_.TotalHeld(), 0);

    host_.ClearFaults();
    EXPECT_EQ(session_.Go(WpfFormat(), path), kNoErr);
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(Lifecycle, AHostThatRefusesMemoryGetsAnOutOfMemoryAnswer) {
    host_.FailOperation("SP Basic Suite/AllocateBlock", kOutOfMemoryErr);
    EXPECT_EQ(session_.Startup(), kOutOfMemoryErr);
    EXPECT_TRUE(host_.Formats().empty());
    ASSERT_EQ(ErrorDialogs().size(), 1u);
    EXPECT_EQ(ErrorDialogs()[0],
              std::make_pair(std::string("The filter cannot complete because there isn't enough memory (RAM) available."),
                             std::string("-108")));
    host_.ClearFaults();
    EXPECT_EQ(session_.Shutdown(), kNoErr);
    EXPECT_EQ(host_.Allocations().liveBlocks, 0u);
}

}  // namespace
}  // namespace shell_test
