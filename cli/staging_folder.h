// Where the exports of one output folder are written before they are renamed into place: a
// private, hidden folder made inside the output folder, so that a staged file is a new name that
// nobody else can create, and moving it into place replaces nothing but the destination.
//
// Reserving each export's name with a file of its own would cost a file that the plug-in's
// own temporary file then replaces (the plug-in always writes beside the path it is given and
// renames over it). Deleting a file per export is slow on some file systems: ext4 without a
// journal skips recently deleted inodes on every allocation, so a batch's creations grew
// slower with every file it had exported.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "cli/temporary_output.h"

namespace cli {

class StagingFolder {
public:
    // Makes the private folder inside `outputFolder` ("" is the current folder). Throws
    // OutputError.
    explicit StagingFolder(std::filesystem::path outputFolder);
    // Removes the private folder and whatever was left in it.
    ~StagingFolder();
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;

    const std::filesystem::path& OutputFolder() const { return outputFolder_; }
    const std::filesystem::path& Path() const { return path_; }
    // A name in the private folder that was never handed out before (nothing has it).
    std::filesystem::path NewName();

private:
    std::filesystem::path outputFolder_;
    std::filesystem::path path_;
    uint64_t named_ = 0;
};

// One export's file, written at a name of a staging folder and renamed to its destination only
// once it is complete: a failed export never leaves a partial file, nor touches the file that
// was there before.
class StagedOutput : public PendingOutput {
public:
    StagedOutput(StagingFolder& folder, std::filesystem::path destination)
        : PendingOutput(folder.NewName(), std::move(destination)) {}
};

}  // namespace cli
