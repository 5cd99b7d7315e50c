#include "cli/batch_plan.h"

#include <algorithm>
#include <map>

namespace cli {

namespace fs = std::filesystem;

namespace {

std::string Lowercase(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return text;
}

bool IsHidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name[0] == '.';
}

fs::path XamlName(const fs::path& input) {
    fs::path name = input.filename();
    name.replace_extension(".xaml");
    return name;
}

// The documents below `folder`, as paths relative to it, sorted.
std::vector<fs::path> WalkFolder(const fs::path& folder, const std::vector<std::string>& extensions,
                                 std::vector<std::string>& problems) {
    // Sorted by their generic form, made once for each path rather than at each comparison.
    std::vector<std::pair<std::string, fs::path>> found;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::none, error);
    if (error) {
        problems.push_back("cannot read the folder " + folder.string() + ": " + error.message());
        return {};
    }
    for (; it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (error) {
            problems.push_back("cannot read the folder " + it->path().parent_path().string() + ": " + error.message());
            break;
        }
        const fs::path& path = it->path();
        if (IsHidden(path)) {
            if (it->is_directory(error)) it.disable_recursion_pending();
            continue;
        }
        if (!it->is_regular_file(error)) continue;
        const std::string extension = Lowercase(path.extension().string());
        if (std::find(extensions.begin(), extensions.end(), extension) == extensions.end()) continue;
        fs::path relative = path.lexically_relative(folder);
        std::string key = relative.generic_string();
        found.emplace_back(std::move(key), std::move(relative));
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<fs::path> sorted;
    sorted.reserve(found.size());
    for (auto& [key, relative] : found) sorted.push_back(std::move(relative));
    return sorted;
}

}  // namespace

std::vector<BatchItem> PlanBatch(const std::vector<std::string>& arguments, const fs::path& outDir,
                                 const std::vector<std::string>& extensions, std::vector<std::string>& problems) {
    std::vector<BatchItem> items;
    for (const std::string& argument : arguments) {
        std::error_code error;
        if (fs::is_directory(argument, error)) {
            for (const fs::path& relative : WalkFolder(argument, extensions, problems)) {
                items.push_back({(fs::path(argument) / relative).string(),
                                 (outDir / relative.parent_path() / XamlName(relative)).string(), ""});
            }
        } else {
            // Whatever its name; a file that does not exist fails when it is read.
            items.push_back({argument, (outDir / XamlName(argument)).string(), ""});
        }
    }
    std::map<std::string, const BatchItem*> owners;
    for (BatchItem& item : items) {
        const std::string key = fs::path(item.output).lexically_normal().generic_string();
        auto [owner, added] = owners.emplace(key, &item);
        if (!added) {
            item.refusal = "its output " + item.output + " is also the output of " + owner->second->input +
                           ", exported before it; not exported (rename one of them)";
        }
    }
    return items;
}

}  // namespace cli
