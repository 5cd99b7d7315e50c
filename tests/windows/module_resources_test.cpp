// The resources that the host finds in the built module with the system's resource functions:
// the plug-in's property list, byte for byte, and the same strings and dialogs that the
// substitute host reads from Quillmark.res on other systems.
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "host/host_types.h"
#include "substitute/resource_file.h"
#include "tests/windows/build_files.h"

#define NOGDI
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

using substitute::ResourceFile;

constexpr uint32_t kPropertyListId = 16000;
constexpr WORD kEnglishUnitedStates = 1033;

class LoadedModule : public testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA(BuiltFile("Quillmark.aip").c_str());
        ASSERT_NE(module_, nullptr) << "LoadLibrary failed with error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr) FreeLibrary(module_);
    }
    HMODULE module_ = nullptr;
};

// Little-endian, as the host reads it; a four-character code is a 32-bit value.
class PropertyListBytes {
public:
    PropertyListBytes& Word(uint16_t value) {
        bytes.push_back(uint8_t(value));
        bytes.push_back(uint8_t(value >> 8));
        return *this;
    }
    PropertyListBytes& Dword(uint32_t value) { return Word(uint16_t(value)).Word(uint16_t(value >> 16)); }
    PropertyListBytes& Code(const char (&code)[5]) {
        return Dword(uint32_t(FourCharCode(code[0], code[1], code[2], code[3])));
    }
    PropertyListBytes& Text(const char* text, size_t length) {
        bytes.insert(bytes.end(), text, text + length);
        return *this;
    }
    std::vector<uint8_t> bytes;
};

std::vector<uint8_t> ExpectedPropertyList() {
    PropertyListBytes pipl;
    pipl.Word(1).Dword(0).Dword(3);
    pipl.Code("ADBE").Code("kind").Dword(0).Dword(4).Code("SPEA");
    pipl.Code("ADBE").Code("ivrs").Dword(0).Dword(4).Dword(2);
    pipl.Code("ADBE").Code("wx86").Dword(0).Dword(12).Text("PluginMain\0\0", 12);
    pipl.bytes.push_back(0);
    return pipl.bytes;
}

TEST_F(LoadedModule, PropertyListIsTheSeventyNineBytesTheHostExpects) {
    const ResourceFile resources = ResourceFile::FromModule(module_);
    const std::vector<uint8_t>* pipl = resources.Data("PIPL", kPropertyListId);
    ASSERT_NE(pipl, nullptr);
    ASSERT_EQ(ExpectedPropertyList().size(), 79u);
    EXPECT_EQ(*pipl, ExpectedPropertyList());
}

TEST_F(LoadedModule, PropertyListIsInUnitedStatesEnglish) {
    EXPECT_NE(FindResourceExA(module_, "PIPL", MAKEINTRESOURCEA(kPropertyListId), kEnglishUnitedStates), nullptr);
}

TEST_F(LoadedModule, StringsAndDialogsMatchTheCompiledResourceFile) {
    const ResourceFile fromModule = ResourceFile::FromModule(module_);
    const ResourceFile fromFile = ResourceFile::Load(BuiltFile("Quillmark.res"));

    // The error list starts at 16050 and ends at its first missing string.
    int strings = 0;
    for (uint32_t id = 16050; id < 16050 + 64; ++id) {
        EXPECT_EQ(fromModule.String(id), fromFile.String(id)) << "string " << id;
        if (fromFile.String(id)) ++strings;
    }
    EXPECT_GE(strings, 13) << "the error list holds the start entry and six pairs at least";
    EXPECT_EQ(fromModule.String(16067), "<Others>");

    for (uint32_t id : {16050u, 16051u}) {
        const substitute::DialogTemplate* inModule = fromModule.Dialog(id);
        const substitute::DialogTemplate* inFile = fromFile.Dialog(id);
        ASSERT_NE(inModule, nullptr) << "dialog " << id;
        ASSERT_NE(inFile, nullptr) << "dialog " << id;
        EXPECT_EQ(inModule->caption, inFile->caption);
        ASSERT_EQ(inModule->controls.size(), inFile->controls.size());
        for (size_t i = 0; i < inFile->controls.size(); ++i) {
            EXPECT_EQ(inModule->controls[i].id, inFile->controls[i].id);
            EXPECT_EQ(inModule->controls[i].className, inFile->controls[i].className);
            EXPECT_EQ(inModule->controls[i].text, inFile->controls[i].text);
            EXPECT_EQ(inModule->controls[i].style, inFile->controls[i].style);
        }
    }
    EXPECT_EQ(fromModule.Dialog(16051)->caption, "Plug-in Error");
    EXPECT_EQ(*fromModule.Data("PIPL", kPropertyListId), *fromFile.Data("PIPL", kPropertyListId));
}

TEST(ModuleWithoutPluginResources, ReadsWithoutThem) {
    // The test program has at most a manifest.
    const ResourceFile resources = ResourceFile::FromModule(GetModuleHandleA(nullptr));
    EXPECT_EQ(resources.Data("PIPL", kPropertyListId), nullptr);
    EXPECT_FALSE(resources.String(16050).has_value());
}

}  // namespace
