// The pictures module (cli/pictures.h), loaded the first time a command draws.
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>

#include "cli/pictures.h"

namespace cli {

// The module cannot be loaded; the message names the file and the loader's reason.
class PicturesUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class PicturesModule {
public:
    // Nothing is loaded yet. An empty path: this build has no pictures module (Windows).
    explicit PicturesModule(std::filesystem::path path) : path_(std::move(path)) {}

    // The module's functions, loading it on the first call. Throws PicturesUnavailable, and
    // tries again on the next call.
    const PictureFunctions& Functions();

private:
    struct Unloader {
        void operator()(void* handle) const;
    };

    std::filesystem::path path_;
    std::unique_ptr<void, Unloader> handle_;
    const PictureFunctions* functions_ = nullptr;
};

}  // namespace cli
