// A file written whole or not at all: written under a temporary name in the destination's
// folder and renamed into place only once it is complete, so that a failed export never leaves
// a partial file, nor touches the file that was there before.
#pragma once

#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>

namespace cli {

class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A new hidden name in `folder`, ".qm", six random letters and digits and `ending`, made by
// `make` (which answers 0, or the errno of a failure: EEXIST when the name is taken, and another
// is tried). Short, so that a path in it still fits where the destination's does; hidden, so
// that a folder walk never picks it up. Throws OutputError.
std::filesystem::path MakeUniqueHiddenName(const std::filesystem::path& folder, const std::string& ending,
                                           const std::function<int(const std::filesystem::path&)>& make);

// A file written at a pending name and renamed to its destination only once it is complete.
class PendingOutput {
public:
    PendingOutput(std::filesystem::path pending, std::filesystem::path destination)
        : destination_(std::move(destination)), pending_(std::move(pending)) {}
    // Removes the pending file unless it was committed.
    ~PendingOutput();
    PendingOutput(const PendingOutput&) = delete;
    PendingOutput& operator=(const PendingOutput&) = delete;

    const std::filesystem::path& Path() const { return pending_; }
    const std::filesystem::path& Destination() const { return destination_; }
    // Renames the pending file to the destination, replacing what was there. Throws OutputError.
    void Commit();

private:
    std::filesystem::path destination_;
    std::filesystem::path pending_;
    bool committed_ = false;
};

// Pending at a temporary name beside the destination.
class TemporaryOutput : public PendingOutput {
public:
    // Creates an empty temporary file beside `destination`. Throws OutputError.
    explicit TemporaryOutput(std::filesystem::path destination);
};

}  // namespace cli
