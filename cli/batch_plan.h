// Which documents a batch export reads and which XAML file each becomes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace cli {

struct BatchItem {
    std::string input;
    std::string output;
    // Why the document is not exported, when it cannot be (its output is another's); else empty.
    std::string refusal;
};

// One item per file argument (DIR/NAME.xaml for NAME.ext) and one per document found in each
// folder argument: its files with the given extensions, in its sub-folders too (hidden files and
// folders left out), sorted by their paths, their outputs in the same sub-folders of `outDir`.
// An output that an earlier item already has makes the later item a refusal. Folders that
// cannot be read are named in `problems`.
std::vector<BatchItem> PlanBatch(const std::vector<std::string>& arguments, const std::filesystem::path& outDir,
                                 const std::vector<std::string>& extensions, std::vector<std::string>& problems);

}  // namespace cli
