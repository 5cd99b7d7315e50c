#include "document/text_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
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
        // Of this test and this run: two runs of the suite at once must not share it.
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        folder_ = fs::temp_directory_path() / ("quillmark-text-file-" + test + "-" + std::to_string(std::random_device{}()));
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

// Windows reads files whole: a window there reads nothing (FileWindow::Regular()).
#ifndef _WIN32
TEST_F(TextFileTest, AWindowHoldsTheBytesItWasLastGiven) {
    const std::string bytes = Pattern(10000);
    const std::string path = Write("window", bytes);
    for (const size_t chunk : {size_t(1), size_t(333), size_t(1000)}) {
        SCOPED_TRACE(chunk);
        FileWindow window(path, 1000, chunk);
        ASSERT_TRUE(window.Regular());
        EXPECT_EQ(window.SizeWhenOpened(), bytes.size());
        // Forgetting all but the last 100 bytes read each time, as a reader keeps what it still needs.
        size_t reads = 0;
        while (window.Extend(window.End() - std::min<size_t>(window.End() - window.Base(), 100))) {
            ++reads;
            ASSERT_LE(window.View().size(), 1000u);
            ASSERT_TRUE(window.View() == std::string_view(bytes).substr(window.Base(), window.View().size()));
            const char* end = window.View().data() + window.View().size();
            for (size_t i = 0; i < FileWindow::kPadding; ++i) ASSERT_EQ(end[i], '\0');
        }
        EXPECT_TRUE(window.Complete());
        EXPECT_EQ(window.End(), bytes.size());
        EXPECT_GE(reads, bytes.size() / std::min<size_t>(chunk, 900));
        EXPECT_FALSE(window.Extend(window.Base()));
    }
}

TEST_F(TextFileTest, AWindowIsFullWhenNothingMayBeForgotten) {
    const std::string path = Write("full", Pattern(5000));
    FileWindow window(path, 1000, 400);
    while (window.Extend(0)) {
    }
    EXPECT_FALSE(window.Complete());
    EXPECT_EQ(window.View().size(), 1000u);
    EXPECT_TRUE(window.Extend(600));  // room again once bytes are forgotten
    EXPECT_EQ(window.Base(), 600u);
    EXPECT_EQ(window.End(), 1400u);
}

TEST_F(TextFileTest, AWindowReadsWhatTheFileHoldsAsItIsRead) {
    const std::string bytes = Pattern(3000);
    const std::string path = Write("changing", bytes);
    {
        // Cut short after the first chunk: the text ends there.
        FileWindow window(path, 10000, 1000);
        EXPECT_TRUE(window.Extend(0));
        fs::resize_file(path, 1500);
        while (window.Extend(0)) {
        }
        EXPECT_TRUE(window.Complete());
        EXPECT_TRUE(window.View() == std::string_view(bytes).substr(0, 1500));
    }
    {
        // Grown: the window holds the size when opened and one byte more, then is full.
        Write("changing", bytes);
        FileWindow window(path, 10000, 10000);
        std::ofstream(path, std::ios::app) << "more";
        while (window.Extend(0)) {
        }
        EXPECT_FALSE(window.Complete());
        EXPECT_TRUE(window.View() == bytes + "m");
    }
}

TEST_F(TextFileTest, AWindowOnAnEmptyFileOrADevice) {
    FileWindow empty(Write("empty", ""), 1000, 1000);
    EXPECT_FALSE(empty.Extend(0));
    EXPECT_TRUE(empty.Complete());
    EXPECT_TRUE(empty.View().empty());
    EXPECT_EQ(empty.View().data()[0], '\0');
    const FileWindow device("/dev/null", 1000, 1000);
    EXPECT_FALSE(device.Regular());
    EXPECT_THROW(FileWindow((folder_ / "missing").string(), 1000, 1000), DocumentError);
}
#endif

}  // namespace
}  // namespace document
