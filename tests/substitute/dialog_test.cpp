// The resource reader and the headless dialogs, on resources compiled for the tests.
#include <gtest/gtest.h>

#include "substitute/host.h"
#include "substitute/resource_file.h"

namespace substitute {
namespace {

std::shared_ptr<const ResourceFile> TestResources() {
    static const auto resources = std::make_shared<const ResourceFile>(ResourceFile::Load(QUILLMARK_TEST_RES));
    return resources;
}

TEST(ResourceFile, StringsAcrossTableBlocks) {
    const ResourceFile& file = *TestResources();
    EXPECT_EQ(file.String(16050), "<Mac strings begin at index 1>");
    EXPECT_EQ(file.String(16051), "-108");
    EXPECT_EQ(file.String(16063), "last of its block");
    EXPECT_EQ(file.String(16064), "first of the next block");
    EXPECT_EQ(file.String(16070), "Gr\xC3\xBC\xC3\x9F" "e");  // UTF-16 becomes UTF-8
    EXPECT_EQ(file.String(16053), std::nullopt);  // a gap inside a block
    EXPECT_EQ(file.String(1), std::nullopt);
}

TEST(ResourceFile, DialogTemplatesOfBothForms) {
    const ResourceFile& file = *TestResources();
    const DialogTemplate* plain = file.Dialog(100);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->caption, "Plain Dialog");
    ASSERT_EQ(plain->controls.size(), 4u);
    EXPECT_EQ(plain->controls[0].className, "Button");
    EXPECT_EQ(plain->controls[0].id, 1);
    EXPECT_EQ(plain->controls[0].text, "OK");
    EXPECT_EQ(plain->controls[1].className, "Static");
    EXPECT_EQ(plain->controls[1].id, -1);
    EXPECT_EQ(plain->controls[1].text, "First line\r\nSecond line");
    EXPECT_EQ(plain->controls[2].id, 2);
    EXPECT_EQ(plain->controls[3].className, "Static");  // named by class name rather than atom
    EXPECT_EQ(plain->controls[3].style & 0xF, 0x7u);

    const DialogTemplate* extended = file.Dialog(101);
    ASSERT_NE(extended, nullptr);
    EXPECT_EQ(extended->caption, "Extended Dialog");
    ASSERT_EQ(extended->controls.size(), 2u);
    EXPECT_EQ(extended->controls[0].text, "Cancel");
    EXPECT_EQ(extended->controls[1].id, 300);
    EXPECT_EQ(extended->controls[1].text, "Caf\xC3\xA9");

    EXPECT_EQ(file.Dialog(102), nullptr);
}

TEST(ResourceFile, RawDataOfNamedTypes) {
    const std::vector<uint8_t>* pipl = TestResources()->Data("PIPL", 16000);
    ASSERT_NE(pipl, nullptr);
    const std::vector<uint8_t> expected = {1, 0, 0, 0, 0, 0, 'E', 'B', 'D', 'A'};
    EXPECT_EQ(*pipl, expected);
    EXPECT_NE(TestResources()->Data("pipl", 16000), nullptr);
    EXPECT_NE(TestResources()->Data("#5", 100), nullptr);  // by type ordinal
    EXPECT_EQ(TestResources()->Data("PIPL", 16001), nullptr);
}

TEST(ResourceFile, BrokenFilesAreRefused) {
    EXPECT_THROW(ResourceFile::Load("/nonexistent.res"), ResourceError);
    std::vector<uint8_t> truncated = {0x20, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF};
    EXPECT_THROW(ResourceFile::Parse(truncated), ResourceError);
    std::vector<uint8_t> oversized(32, 0);
    oversized[0] = 0xFF;  // data size far past the end
    oversized[4] = 0x20;
    EXPECT_THROW(ResourceFile::Parse(oversized), ResourceError);
}

// What the plug-in's dialog code does, through the suites: an init callback that sets texts
// and a notify proc on item 1 that passes on to the default handling.
struct DialogSuites {
    const ADMDialogSuite* dialog;
    const ADMItemSuite* item;
};
DialogSuites sSuites;
int sNotifyCalls;

void NotifyOk(ItemRef item, NotifierRef notifier) {
    ++sNotifyCalls;
    sSuites.item->DefaultNotify(item, notifier);
}

HostErr InitWithTexts(DialogRef dialog) {
    sSuites.item->SetNotifyProc(sSuites.dialog->GetItem(dialog, 1), NotifyOk);
    const char* text = static_cast<const char*>(sSuites.dialog->GetUserData(dialog));
    sSuites.item->SetText(sSuites.dialog->GetItem(dialog, 2), text);
    return kNoErr;
}

class Dialogs : public ::testing::Test {
protected:
    Dialogs() {
        host_.SetResources(TestResources());
        const void* suite = nullptr;
        host_.Basic()->AcquireSuite("ADM Dialog Suite", 5, &suite);
        sSuites.dialog = static_cast<const ADMDialogSuite*>(suite);
        host_.Basic()->AcquireSuite("ADM Item Suite", 7, &suite);
        sSuites.item = static_cast<const ADMItemSuite*>(suite);
        host_.Basic()->AcquireSuite("ADM Basic Suite", 2, &suite);
        basic_ = static_cast<const ADMBasicSuite*>(suite);
        sNotifyCalls = 0;
    }
    Host host_;
    const ADMBasicSuite* basic_;
};

TEST_F(Dialogs, ModalRunsInitRecordsTextsAndPressesOk) {
    char message[] = "Something went wrong";
    const int32_t answer =
        sSuites.dialog->Modal(host_.PluginReference(), "Error Dialog", 100, 0, InitWithTexts, message, 0);
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(sNotifyCalls, 1);
    ASSERT_EQ(host_.Dialogs().size(), 1u);
    const DialogRun& run = host_.Dialogs()[0];
    EXPECT_EQ(run.resourceId, 100);
    EXPECT_EQ(run.name, "Error Dialog");
    EXPECT_EQ(run.caption, "Plain Dialog");
    EXPECT_TRUE(run.defaultNotifyCalled);
    EXPECT_EQ(run.textsSet.at(2), "Something went wrong");
    const std::vector<std::string> expected = {"First line\nSecond line", "Something went wrong"};
    EXPECT_EQ(run.VisibleTexts(), expected);
    EXPECT_TRUE(host_.Problems().empty()) << host_.Problems()[0];
}

TEST_F(Dialogs, WithoutANotifyProcOkIsStillPressed) {
    EXPECT_EQ(sSuites.dialog->Modal(host_.PluginReference(), "About Dialog", 101, 0, nullptr, nullptr, 0), 1);
    EXPECT_FALSE(host_.Dialogs()[0].defaultNotifyCalled);
    EXPECT_EQ(host_.Dialogs()[0].VisibleTexts(), std::vector<std::string>{"Caf\xC3\xA9"});
}

TEST_F(Dialogs, AMissingResourceShowsNothing) {
    EXPECT_EQ(sSuites.dialog->Modal(host_.PluginReference(), "Nope", 555, 0, InitWithTexts, nullptr, 0), -1);
    EXPECT_TRUE(host_.Dialogs().empty());
    EXPECT_EQ(sNotifyCalls, 0);
    EXPECT_FALSE(host_.Problems().empty());
}

TEST_F(Dialogs, StringListsAndAlerts) {
    char buffer[8];
    ASSERT_EQ(basic_->GetIndexString(host_.PluginReference(), 16050, 1, buffer, sizeof buffer), kNoErr);
    EXPECT_STREQ(buffer, "-108");
    ASSERT_EQ(basic_->GetIndexString(host_.PluginReference(), 16050, 2, buffer, 4), kNoErr);
    EXPECT_STREQ(buffer, "Two");  // capacity - 1 bytes and a NUL
    EXPECT_NE(basic_->GetIndexString(host_.PluginReference(), 16050, 3, buffer, sizeof buffer), kNoErr);
    EXPECT_STREQ(buffer, "");

    basic_->MessageAlert("Error: -1, suite: X, version: 1!");
    EXPECT_EQ(host_.Alerts(), std::vector<std::string>{"Error: -1, suite: X, version: 1!"});
}

}  // namespace
}  // namespace substitute
