// The plug-in kept started between a batch's documents: each document is reported on its own,
// and one that leaves anything behind is not followed by another in the same start-up.
#include "cli/started_plugin.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace cli {
namespace {

using namespace substitute;

// The messages the test plug-in received, and the blocks it keeps.
std::vector<std::string> sMessages;
void* sGlobals = nullptr;

const void* Acquire(const BasicSuite* basic, const char* name, int32_t version) {
    const void* suite = nullptr;
    return basic->AcquireSuite(name, version, &suite) == kNoErr ? suite : nullptr;
}

// Like the real plug-in: a block of globals from start-up to shut-down and two formats. Its
// exports misbehave on request, by the path they are given.
int32_t TestPluginMain(const char* caller, const char* selector, void* data) {
    auto* message = static_cast<MessageRecord*>(data);
    const BasicSuite* basic = message->basic;
    sMessages.push_back(selector);
    const auto* blocks = static_cast<const BlocksSuite*>(Acquire(basic, kBlocksSuiteName, kBlocksSuiteVersion));
    if (blocks == nullptr) return kSuiteNotFoundErr;
    HostErr result = kNoErr;
    if (basic->IsEqual(selector, "Startup")) {
        blocks->AllocateBlock(16, "globals", &sGlobals);
        const auto* formats = static_cast<const FileFormatSuite*>(Acquire(basic, kFileFormatSuiteName, kFileFormatSuiteVersion));
        const unsigned char title[] = "\x01T";
        const FileFormatRegistration registration{0, title, 0, "xaml"};
        FileFormatHandle handle = nullptr;
        formats->AddFileFormat(message->self, "first", &registration, kFileFormatExport, &handle);
        formats->AddFileFormat(message->self, "second", &registration, kFileFormatExport, &handle);
        basic->ReleaseSuite(kFileFormatSuiteName, kFileFormatSuiteVersion);
    } else if (basic->IsEqual(selector, "Shutdown")) {
        blocks->FreeBlock(sGlobals);
        sGlobals = nullptr;
    } else if (basic->IsEqual(caller, "AI File Format")) {
        const std::string path = static_cast<FileFormatMessage*>(data)->path;
        void* block = nullptr;
        blocks->AllocateBlock(100, "export", &block);
        if (path != "leak") blocks->FreeBlock(block);
        if (path == "fail") result = FourCharCode('X', 'C', 'R', 'T');
        if (path == "hold") Acquire(basic, kFileFormatSuiteName, kFileFormatSuiteVersion);
        if (path == "alert") {
            static_cast<const ADMBasicSuite*>(Acquire(basic, kADMBasicSuiteName, kADMBasicSuiteVersion))->MessageAlert("!");
            basic->ReleaseSuite(kADMBasicSuiteName, kADMBasicSuiteVersion);
        }
    }
    basic->ReleaseSuite(kBlocksSuiteName, kBlocksSuiteVersion);
    return result;
}

document::Document DocumentNamed(const std::string& name) {
    document::Document document;
    document.layers.push_back(std::make_unique<document::Art>());
    document.layers.back()->name = name;
    return document;
}

class StartedPluginTest : public ::testing::Test {
protected:
    StartedPluginTest() { sMessages.clear(); }
    PluginModule module_{TestPluginMain};
};

TEST_F(StartedPluginTest, DocumentsFollowOneStartupEachWithItsOwnFigures) {
    StartedPlugin plugin(module_, nullptr, DocumentNamed("one"));
    ASSERT_EQ(plugin.Startup(), kNoErr);
    ASSERT_EQ(plugin.Export(1, "a"), kNoErr);
    EXPECT_TRUE(plugin.Clean(kNoErr));
    // The first document's figures hold the start-up's block, which is the plug-in's, not held
    // by the document.
    AllocationStats memory = plugin.DocumentMemory();
    EXPECT_EQ(memory.allocations, 2u);
    EXPECT_EQ(memory.releases, 1u);
    EXPECT_EQ(memory.liveBlocks, 0u);
    EXPECT_EQ(memory.liveBytes, 0u);

    plugin.NextDocument(DocumentNamed("two"));
    EXPECT_EQ(plugin.Host().GetDocument().layers.at(0)->name, "two");
    ASSERT_EQ(plugin.Export(0, "b"), kNoErr);
    EXPECT_TRUE(plugin.Clean(kNoErr));
    memory = plugin.DocumentMemory();
    EXPECT_EQ(memory.allocations, 1u);
    EXPECT_EQ(memory.releases, 1u);
    EXPECT_EQ(memory.liveBlocks, 0u);
    const std::vector<std::string> expected = {"Startup", "AI Go", "AI Go"};
    EXPECT_EQ(sMessages, expected);

    EXPECT_EQ(plugin.Shutdown(), kNoErr);
    EXPECT_TRUE(plugin.ShutDown());
    EXPECT_EQ(plugin.Host().Allocations().liveBlocks, 0u);
}

TEST_F(StartedPluginTest, ADocumentThatLeavesSomethingBehindIsNotClean) {
    for (const char* path : {"leak", "fail", "hold", "alert"}) {
        SCOPED_TRACE(path);
        StartedPlugin plugin(module_, nullptr, DocumentNamed("one"));
        ASSERT_EQ(plugin.Export(0, "fine"), kNoErr);
        ASSERT_TRUE(plugin.Clean(kNoErr));
        plugin.NextDocument(DocumentNamed("two"));
        const std::optional<HostErr> go = plugin.Export(0, path);
        ASSERT_TRUE(go.has_value());
        EXPECT_FALSE(plugin.Clean(*go));
        plugin.Shutdown();
    }
}

TEST_F(StartedPluginTest, ALeakIsTheDocumentsAndOutlivesTheShutdown) {
    StartedPlugin plugin(module_, nullptr, DocumentNamed("one"));
    plugin.Export(0, "fine");
    plugin.NextDocument(DocumentNamed("two"));
    plugin.Export(0, "leak");
    EXPECT_EQ(plugin.DocumentMemory().liveBlocks, 1u);
    EXPECT_EQ(plugin.DocumentMemory().liveBytes, 100u);
    plugin.Shutdown();
    EXPECT_EQ(plugin.DocumentMemory().liveBlocks, 1u);  // the globals are freed, the leak is not
    EXPECT_EQ(plugin.DocumentMemory().releases, 1u);    // the shut-down's, counted for this document
}

TEST_F(StartedPluginTest, EachDocumentHasItsOwnOpenRequests) {
    StartedPlugin plugin(module_, nullptr, DocumentNamed("one"));
    plugin.Export(0, "x");
    plugin.Host().RecordOpenRequest("x");
    ASSERT_EQ(plugin.DocumentOpenRequests().size(), 1u);
    plugin.NextDocument(DocumentNamed("two"));
    EXPECT_TRUE(plugin.DocumentOpenRequests().empty());
    plugin.Export(0, "y");
    plugin.Host().RecordOpenRequest("y");
    ASSERT_EQ(plugin.DocumentOpenRequests().size(), 1u);
    EXPECT_EQ(plugin.DocumentOpenRequests()[0], "y");
    EXPECT_EQ(plugin.Host().Formats().size(), 2u);  // registered once, for every document
}

TEST_F(StartedPluginTest, NoExportOfAFormatTheStartupDidNotRegister) {
    StartedPlugin plugin(module_, nullptr, DocumentNamed("one"));
    EXPECT_FALSE(plugin.Export(2, "a").has_value());
    EXPECT_EQ(sMessages, std::vector<std::string>{"Startup"});
    plugin.Shutdown();
}

}  // namespace
}  // namespace cli
