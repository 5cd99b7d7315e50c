// The entry of the pictures module (cli/pictures.h): the previewer's and the comparison's
// commands as the command runs them.
#include "cli/pictures.h"

#ifdef QUILLMARK_WITH_COMPARE
#include "cli/compare_command.h"
#endif
#include "cli/preview_output.h"

namespace cli {
namespace {

// The export reports a failed preview as one of its file's messages, so it gets the message.
std::optional<std::string> WritePreviewAtOwnSize(const std::string& xamlPath, const std::string& pngPath) {
    try {
        WritePreview(xamlPath, pngPath, PreviewSize{});
    } catch (const PreviewError& error) {
        return error.what();
    }
    return std::nullopt;
}

#ifdef QUILLMARK_WITH_COMPARE
constexpr auto kRunCompare = &RunCompare;
#else
constexpr int (*kRunCompare)(const std::vector<std::string>&) = nullptr;
#endif

constexpr PictureFunctions kPictureFunctions = {kRunCompare, &RunPreview, &WritePreviewAtOwnSize};

}  // namespace
}  // namespace cli

extern "C" const cli::PictureFunctions* QuillmarkPictureFunctions() {
    return &cli::kPictureFunctions;
}
