// The compiled resources, read back from Quillmark.res: the plug-in property list byte for
// byte, the two dialog templates and the error string list.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "resources/resource_ids.h"
#include "substitute/resource_file.h"

namespace {

const substitute::ResourceFile& Resources() {
    static const substitute::ResourceFile file = substitute::ResourceFile::Load(QUILLMARK_RESOURCE_PATH);
    return file;
}

TEST(Resources, PropertyListIsExactlyTheHostsLayout) {
    // clang-format off
    const std::vector<uint8_t> expected = {
        0x01, 0x00,                          // version 1
        0x00, 0x00, 0x00, 0x00,              // reserved
        0x03, 0x00, 0x00, 0x00,              // three properties
        'E', 'B', 'D', 'A', 'd', 'n', 'i', 'k', 0, 0, 0, 0, 4, 0, 0, 0,   'A', 'E', 'P', 'S',
        'E', 'B', 'D', 'A', 's', 'r', 'v', 'i', 0, 0, 0, 0, 4, 0, 0, 0,   2, 0, 0, 0,
        'E', 'B', 'D', 'A', '6', '8', 'x', 'w', 0, 0, 0, 0, 12, 0, 0, 0,
        'P', 'l', 'u', 'g', 'i', 'n', 'M', 'a', 'i', 'n', 0, 0,
        0x00,                                // after the last property
    };
    // clang-format on
    ASSERT_EQ(expected.size(), 79u);
    const std::vector<uint8_t>* pipl = Resources().Data("PIPL", QUILLMARK_PIPL_ID);
    ASSERT_NE(pipl, nullptr);
    EXPECT_EQ(*pipl, expected);
}

// What a dialog template holds beyond the texts: frame style, font and geometry.
struct ControlLayout {
    int id;
    uint32_t style;
    int x, y, width, height;
};
struct DialogLayout {
    uint32_t style;
    int width, height;
    int pointSize;
    std::u16string font;
    std::vector<ControlLayout> controls;
};

class TemplateReader {
public:
    explicit TemplateReader(const std::vector<uint8_t>& data) : data_(data) {}
    uint16_t Word() {
        if (at_ + 2 > data_.size()) throw std::out_of_range("dialog template ends early");
        const uint16_t value = uint16_t(data_[at_] | data_[at_ + 1] << 8);
        at_ += 2;
        return value;
    }
    uint32_t Dword() {
        const uint32_t low = Word();
        return low | uint32_t(Word()) << 16;
    }
    std::u16string String() {
        std::u16string text;
        for (uint16_t c = Word(); c != 0; c = Word()) text += char16_t(c);
        return text;
    }
    void SkipNameOrOrdinal() {
        const uint16_t first = Word();
        if (first == 0xFFFF) {
            Word();
        } else {
            for (uint16_t c = first; c != 0; c = Word()) {
            }
        }
    }
    void AlignToDword() { at_ = (at_ + 3) & ~size_t(3); }

private:
    const std::vector<uint8_t>& data_;
    size_t at_ = 0;
};

DialogLayout ReadLayout(uint32_t id) {
    const std::vector<uint8_t>* data = Resources().Data("#5", id);
    if (data == nullptr) throw std::runtime_error("no dialog " + std::to_string(id));
    TemplateReader in(*data);
    DialogLayout layout;
    layout.style = in.Dword();
    in.Dword();  // extended style
    const int count = in.Word();
    in.Word();
    in.Word();
    layout.width = int16_t(in.Word());
    layout.height = int16_t(in.Word());
    in.SkipNameOrOrdinal();  // menu
    in.SkipNameOrOrdinal();  // class
    in.String();             // caption
    layout.pointSize = in.Word();
    layout.font = in.String();
    for (int i = 0; i < count; ++i) {
        in.AlignToDword();
        ControlLayout control{};
        control.style = in.Dword();
        in.Dword();
        control.x = int16_t(in.Word());
        control.y = int16_t(in.Word());
        control.width = int16_t(in.Word());
        control.height = int16_t(in.Word());
        control.id = int16_t(in.Word());
        in.SkipNameOrOrdinal();  // class
        in.SkipNameOrOrdinal();  // text
        const uint16_t extra = in.Word();
        for (uint16_t skipped = 0; skipped < extra; skipped += 2) in.Word();
        layout.controls.push_back(control);
    }
    return layout;
}

constexpr uint32_t kPopup = 0x80000000u;
constexpr uint32_t kCaption = 0x00C00000u;
constexpr uint32_t kSystemMenu = 0x00080000u;
constexpr uint32_t kModalFrame = 0x80u;
constexpr uint32_t kModalDialog = kPopup | kCaption | kSystemMenu | kModalFrame;
constexpr uint32_t kDefaultPushButton = 0x1u;
constexpr uint32_t kBlackFrame = 0x7u;

void ExpectModalWithTheHostsFont(const DialogLayout& layout) {
    EXPECT_EQ(layout.style & kModalDialog, kModalDialog);
    EXPECT_EQ(layout.pointSize, 8);
    EXPECT_EQ(layout.font, u"MS Sans Serif");
}

void ExpectGeometry(const ControlLayout& control, int id, int x, int y, int width, int height) {
    EXPECT_EQ(control.id, id);
    EXPECT_EQ(control.x, x) << "item " << id;
    EXPECT_EQ(control.y, y) << "item " << id;
    EXPECT_EQ(control.width, width) << "item " << id;
    EXPECT_EQ(control.height, height) << "item " << id;
}

TEST(Resources, AboutDialogTemplate) {
    const substitute::DialogTemplate* dialog = Resources().Dialog(QUILLMARK_ABOUT_DIALOG_ID);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "Quillmark");
    ASSERT_EQ(dialog->controls.size(), 3u);
    EXPECT_EQ(dialog->controls[0].className, "Button");
    EXPECT_EQ(dialog->controls[0].text, "OK");
    EXPECT_EQ(dialog->controls[1].className, "Static");
    EXPECT_EQ(dialog->controls[1].text, "By " QUILLMARK_MAINTAINERS "\r\nVersion 0.16");
    EXPECT_EQ(dialog->controls[2].className, "Static");
    EXPECT_EQ(dialog->controls[2].text, "Exports Illustrator artwork to XAML\r\n\r\n" QUILLMARK_HOME_PAGE);

    const DialogLayout layout = ReadLayout(QUILLMARK_ABOUT_DIALOG_ID);
    ExpectModalWithTheHostsFont(layout);
    EXPECT_EQ(layout.width, 159);
    EXPECT_EQ(layout.height, 80);
    ASSERT_EQ(layout.controls.size(), 3u);
    ExpectGeometry(layout.controls[0], 1, 109, 12, 40, 14);
    EXPECT_EQ(layout.controls[0].style & 0xFu, kDefaultPushButton);
    ExpectGeometry(layout.controls[1], -1, 7, 12, 93, 27);
    ExpectGeometry(layout.controls[2], -1, 7, 44, 139, 30);
}

TEST(Resources, ErrorDialogTemplate) {
    const substitute::DialogTemplate* dialog = Resources().Dialog(QUILLMARK_ERROR_DIALOG_ID);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->caption, "Plug-in Error");
    ASSERT_EQ(dialog->controls.size(), 4u);
    EXPECT_EQ(dialog->controls[0].text, "OK");
    EXPECT_EQ(dialog->controls[1].text, "Message");
    EXPECT_EQ(dialog->controls[2].text, "Code");
    EXPECT_EQ(dialog->controls[3].className, "Static");
    EXPECT_EQ(dialog->controls[3].text, "");

    const DialogLayout layout = ReadLayout(QUILLMARK_ERROR_DIALOG_ID);
    ExpectModalWithTheHostsFont(layout);
    EXPECT_EQ(layout.width, 185);
    EXPECT_EQ(layout.height, 92);
    ASSERT_EQ(layout.controls.size(), 4u);
    ExpectGeometry(layout.controls[0], QUILLMARK_OK_ITEM, 127, 65, 50, 14);
    EXPECT_EQ(layout.controls[0].style & 0xFu, kDefaultPushButton);
    ExpectGeometry(layout.controls[1], QUILLMARK_ERROR_MESSAGE_ITEM, 43, 12, 126, 28);
    ExpectGeometry(layout.controls[2], QUILLMARK_ERROR_CODE_ITEM, 13, 66, 30, 8);
    ExpectGeometry(layout.controls[3], QUILLMARK_ERROR_ICON_FRAME_ITEM, 10, 10, 18, 20);
    EXPECT_EQ(layout.controls[3].style & 0x1Fu, kBlackFrame);
}

TEST(Resources, ErrorListPairsEveryCodeWithAMessageAndEndsWithOthers) {
    auto entry = [](int n) { return Resources().String(QUILLMARK_ERROR_STRING_LIST_ID + n); };
    EXPECT_EQ(entry(0), "<Mac strings begin at index 1>");
    const std::vector<std::string> codes = {"-108", "271", "SEGM", "NESS", "!sel", "XCRT", "XWRT", "XFUL", "<Others>"};
    int n = 1;
    for (const std::string& code : codes) {
        EXPECT_EQ(entry(n), code) << "string " << n;
        const std::optional<std::string> message = entry(n + 1);
        ASSERT_TRUE(message.has_value()) << code;
        // The message field holds 255 characters and a terminator.
        EXPECT_LE(message->size(), 255u) << code;
        EXPECT_GT(message->size(), 20u) << code;
        n += 2;
    }
    EXPECT_FALSE(entry(n).has_value()) << "the list must end after <Others>";
    // The export's own codes each say what happened.
    EXPECT_NE(entry(12)->find("could not be created"), std::string::npos);
    EXPECT_NE(entry(14)->find("disk may be full"), std::string::npos);
    EXPECT_NE(entry(16)->find("only the first 16192"), std::string::npos);
}

TEST(Resources, ApplicationManifestIsThere) {
    const std::vector<uint8_t>* manifest = Resources().Data("#24", 1);
    ASSERT_NE(manifest, nullptr);
    const std::string text(manifest->begin(), manifest->end());
    EXPECT_NE(text.find("<assembly"), std::string::npos);
    EXPECT_NE(text.find("manifestVersion=\"1.0\""), std::string::npos);
}

}  // namespace
