#include "document/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "document/json_loader.h"

namespace document {
namespace {

namespace fs = std::filesystem;

// The fast JSON reader reads this many bytes past the text.
constexpr size_t kNeededPadding = 64;

class TextFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("quillmark-text-file-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::create_directories(folder_);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (folder_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    fs::path folder_;
};

// Bytes that differ from one position to the next, so that a shifted or cut copy is noticed.
std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = char('a' + (i * 7 + i / 251) % 26);
    return bytes;
}

void ExpectWhole(const TextFile& file, const std::string& bytes) {
    ASSERT_EQ(file.Text().size(), bytes.size());
    EXPECT_TRUE(file.Text() == bytes);
    ASSERT_GE(file.Padding(), kNeededPadding);
    const char* end = file.Text().data() + file.Text().size();
    for (size_t i = 0; i < file.Padding(); ++i) ASSERT_EQ(end[i], '\0') << "padding byte " << i;
}

TEST_F(TextFileTest, SmallAndLargeFilesAreReadWholeWithZeroPaddingAfterThem) {
    // Either side of the size from which files are read into memory of their own, of a huge
    // page, and of a page.
    for (const size_t size : {size_t(1), size_t(4095), size_t(4096), size_t(40000), (size_t(1) << 20) + 3,
                              (size_t(4) << 20) - 1, size_t(4) << 20, (size_t(6) << 20) - 64,
                              (size_t(6) << 20) - 63, (size_t(7) << 20) + 5}) {
        SCOPED_TRACE(size);
        const std::string bytes = Pattern(size);
        const TextFile file(Write("f" + std::to_string(size), bytes));
        ExpectWhole(file, bytes);
    }
}

TEST_F(TextFileTest, AnEmptyFileIsEmptyText) {
    const TextFile file(Write("empty", ""));
    ExpectWhole(file, "");
}

TEST_F(TextFileTest, AMissingFileIsAnError) {
    EXPECT_THROW(TextFile((folder_ / "missing").string()), DocumentError);
}

}  // namespace
}  // namespace document
