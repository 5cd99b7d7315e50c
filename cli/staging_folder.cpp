#include "cli/staging_folder.h"

#include <cerrno>

#include "cli/temporary_output.h"

#if defined(_WIN32)
#include <direct.h>
#else
#include <sys/stat.h>
#endif

namespace cli {

namespace fs = std::filesystem;

namespace {

// Makes the folder only if nothing has its name yet; answers the errno of a failure, or 0.
int MakeFolderExclusively(const fs::path& path) {
#if defined(_WIN32)
    return _wmkdir(path.c_str()) == 0 ? 0 : errno;
#else
    // Only this user may put files in it: a stranger's file at a staged name would be replaced
    // in place by the plug-in, keeping the stranger's permissions.
    return mkdir(path.c_str(), 0700) == 0 ? 0 : errno;
#endif
}

}  // namespace

StagingFolder::StagingFolder(fs::path outputFolder)
    : outputFolder_(std::move(outputFolder)), path_(MakeUniqueHiddenName(outputFolder_, "", MakeFolderExclusively)) {}

StagingFolder::~StagingFolder() {
    if (path_.empty()) return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

fs::path StagingFolder::NewName() {
    return path_ / std::to_string(++named_);
}

}  // namespace cli
