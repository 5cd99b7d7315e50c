#include "xaml/output_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class OutputFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("quillmark-output-" + std::to_string(std::random_device{}()));
        ASSERT_TRUE(fs::create_directory(dir_)) << dir_;
    }
    void TearDown() override { fs::remove_all(dir_); }

    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void Write(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    size_t EntriesInDir() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()));
    }

    fs::path dir_;
};

// The narrow path the plug-in is given (on Windows a path's own characters are wide).
std::string Narrow(const fs::path& path) {
    return path.string();
}

TEST_F(OutputFileTest, ReplacesTheTargetOnlyWhenKept) {
    const fs::path target = dir_ / "out.xaml";
    Write(target, "old");
    OutputFile output;
    ASSERT_TRUE(OpenOutputFile(&output, Narrow(target).c_str()));
    std::fputs("new", output.file);
    EXPECT_EQ(Read(target), "old") << "the target is untouched until the end";
    ASSERT_TRUE(CloseOutputFile(&output, true));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(EntriesInDir(), 1u) << "no temporary file is left";
}

TEST_F(OutputFileTest, DiscardingLeavesTheOldFileAndNoTemporaryFile) {
    const fs::path target = dir_ / "out.xaml";
    Write(target, "old");
    OutputFile output;
    ASSERT_TRUE(OpenOutputFile(&output, Narrow(target).c_str()));
    std::fputs("partial", output.file);
    EXPECT_FALSE(CloseOutputFile(&output, false));
    EXPECT_EQ(Read(target), "old");
    EXPECT_EQ(EntriesInDir(), 1u);

    const fs::path fresh = dir_ / "fresh.xaml";
    ASSERT_TRUE(OpenOutputFile(&output, Narrow(fresh).c_str()));
    EXPECT_FALSE(CloseOutputFile(&output, false));
    EXPECT_FALSE(fs::exists(fresh));
}

#ifndef _WIN32
// Modes, symbolic links and devices as a POSIX system has them.
TEST_F(OutputFileTest, KeepsTheModeOfAReplacedFile) {
    const fs::path target = dir_ / "out.xaml";
    Write(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    OutputFile output;
    ASSERT_TRUE(OpenOutputFile(&output, Narrow(target).c_str()));
    ASSERT_TRUE(CloseOutputFile(&output, true));
    struct stat status;
    ASSERT_EQ(stat(target.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST_F(OutputFileTest, ReplacesTheFileASymbolicLinkPointsToAndKeepsTheLink) {
    const fs::path real = dir_ / "real.xaml";
    const fs::path link = dir_ / "link.xaml";
    Write(real, "old");
    fs::create_symlink(real, link);
    OutputFile output;
    ASSERT_TRUE(OpenOutputFile(&output, Narrow(link).c_str()));
    std::fputs("new", output.file);
    ASSERT_TRUE(CloseOutputFile(&output, true));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(Read(real), "new");
}

TEST_F(OutputFileTest, WritesDevicesInPlace) {
    OutputFile output;
    ASSERT_TRUE(OpenOutputFile(&output, "/dev/null"));
    EXPECT_FALSE(output.replace);
    std::fputs("text", output.file);
    EXPECT_TRUE(CloseOutputFile(&output, true));
    struct stat status;
    ASSERT_EQ(stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode)) << "the device must not be replaced by a file";
}

#endif

TEST_F(OutputFileTest, FailsWhenTheFolderDoesNotExist) {
    OutputFile output;
    EXPECT_FALSE(OpenOutputFile(&output, Narrow(dir_ / "missing" / "out.xaml").c_str()));
}

}  // namespace
