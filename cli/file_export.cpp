#include "cli/file_export.h"

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "cli/pictures_loader.h"
#include "cli/plugin_host.h"
#include "cli/staging_folder.h"
#include "cli/started_plugin.h"
#include "cli/temporary_output.h"

namespace cli {

namespace fs = std::filesystem;
using namespace substitute;

namespace {

constexpr int16_t kKeyDown = int16_t(0x8000);
constexpr int16_t kKeyPressedSinceLastQuery = 1;
constexpr int32_t kLeftShift = 0xA0;
constexpr int32_t kRightShift = 0xA1;
constexpr size_t kStagingFoldersKept = 4;

// The plural of a one-word kind such as "mask" or "marker".
std::string Plural(const std::string& word) {
    const auto endsWith = [&word](const std::string& suffix) {
        return word.size() >= suffix.size() && word.compare(word.size() - suffix.size(), suffix.size(), suffix) == 0;
    };
    if (endsWith("s") || endsWith("x") || endsWith("z") || endsWith("ch") || endsWith("sh")) return word + "es";
    if (word.size() >= 2 && word.back() == 'y' && std::string("aeiou").find(word[word.size() - 2]) == std::string::npos) {
        return word.substr(0, word.size() - 1) + "ies";
    }
    return word + "s";
}

#ifdef QUILLMARK_WITH_PREVIEW
// The PNG written beside a batch's XAML file: the same name, ending in .png.
std::string PreviewBeside(const std::string& xamlPath) {
    fs::path path(xamlPath);
    path.replace_extension(".png");
    return path.string();
}
#endif

}  // namespace

bool Failed(FileStatus status) {
    return status == FileStatus::kDocumentFailed || status == FileStatus::kExportFailed;
}

std::string LossText(const Loss& loss) {
    // A kind of one word names what was left out ("3 masks left out"); longer kinds describe
    // what happened ("group opacity (applied to each object of the group), 3 times").
    std::string text;
    if (loss.kind.find(' ') == std::string::npos) {
        text = std::to_string(loss.count) + " " + (loss.count == 1 ? loss.kind : Plural(loss.kind)) + " left out";
    } else {
        text = loss.kind + (loss.count == 1 ? "" : ", " + std::to_string(loss.count) + " times");
    }
    if (!loss.first.empty()) text += (loss.count == 1 ? " (" : " (first: ") + loss.first + ")";
    return text;
}

bool ReportLosses(std::ostream& out, const std::string& prefix, const std::vector<Loss>& losses, bool strict) {
    for (const Loss& loss : losses) out << prefix << (strict ? "error: " : "warning: ") << LossText(loss) << "\n";
    if (strict && !losses.empty()) {
        out << prefix << "not written: --strict refuses what the host's document cannot hold\n";
        return false;
    }
    return true;
}

FileExporter::FileExporter(PluginModule& module, std::shared_ptr<const ResourceFile> resources,
                           const CommandLine& settings, PicturesModule& pictures)
    : module_(module), resources_(std::move(resources)), settings_(settings), pictures_(pictures) {}

StagingFolder& FileExporter::StagingFor(const std::string& output) {
    const fs::path folder = fs::path(output).parent_path();
    auto found = std::find_if(staging_.begin(), staging_.end(),
                              [&folder](const auto& staging) { return staging->OutputFolder() == folder; });
    if (found == staging_.end()) {
        if (staging_.size() == kStagingFoldersKept) staging_.pop_back();
        staging_.insert(staging_.begin(), std::make_unique<StagingFolder>(folder));
        if (onStaging_) onStaging_(staging_.front()->Path().string());
    } else {
        std::rotate(staging_.begin(), found, found + 1);
    }
    return *staging_.front();
}

void FileExporter::DropStagingFor(const std::string& output) {
    const fs::path folder = fs::path(output).parent_path();
    std::erase_if(staging_, [&folder](const auto& staging) { return staging->OutputFolder() == folder; });
}

FileResult FileExporter::Export(const std::string& input, const std::string& output) {
    try {
        return Export(input, ReadInputDocument(input), output);
    } catch (const InputError& error) {
        return {FileStatus::kDocumentFailed, "quillmark: " + input + ": " + error.what() + "\n"};
    }
}

FileResult FileExporter::Export(const std::string& input, InputDocument document, const std::string& output) {
    const std::string prefix = "quillmark: " + input + ": ";
    std::ostringstream messages;
    const auto finish = [&messages](FileStatus status) { return FileResult{status, messages.str()}; };

    if (!ReportLosses(messages, prefix, document.losses, settings_.strict)) return finish(FileStatus::kDocumentFailed);
    if (output.size() >= kFileFormatPathSize) {
        messages << prefix << "the output path " << output << " is longer than " << kFileFormatPathSize - 1
                 << " bytes, more than the host's messages can carry\n";
        return finish(FileStatus::kExportFailed);
    }
    std::unique_ptr<StagedOutput> file;
    try {
        file = std::make_unique<StagedOutput>(StagingFor(output), output);
    } catch (const OutputError& error) {
        messages << prefix << "cannot write " << output << ": " << error.what() << "\n";
        return finish(FileStatus::kExportFailed);
    }
    const std::string temporary = file->Path().string();
    if (temporary.size() >= kFileFormatPathSize) {
        messages << prefix << "the output path " << output << " leaves no room in the host's messages for the name of"
                 << " the temporary file it is written to first\n";
        return finish(FileStatus::kExportFailed);
    }

    const bool losses = !document.losses.empty();
    if (started_) {
        started_->NextDocument(std::move(document.document));
    } else {
        started_ = std::make_unique<StartedPlugin>(module_, resources_, std::move(document.document));
    }
    StartedPlugin& plugin = *started_;
    Host& host = plugin.Host();
    host.SetKeyState(kLeftShift, settings_.leftShiftTapped ? kKeyPressedSinceLastQuery : int16_t(0));
    host.SetKeyState(kRightShift, settings_.rightShift ? kKeyDown : int16_t(0));

    const size_t formatIndex = settings_.everywhere ? 1 : 0;
    const std::optional<HostErr> go = plugin.Export(formatIndex, temporary);
    std::error_code sizeError;
    const bool wroteNothing = go == kNoErr && fs::file_size(file->Path(), sizeError) == 0;
    // Started afresh for the next document unless this one left everything as it found it.
    HostErr shutdown = kNoErr;
    if (!keepStarted_ || wroteNothing || !plugin.Clean(go.value_or(kNoErr))) shutdown = plugin.Shutdown();

    if (settings_.verbose) {
        for (const FormatRegistration& format : host.Formats()) {
            messages << prefix << "format registered: \"" << format.title << "\" (." << format.extension << ")\n";
        }
    }
    bool failed = ReportWhatWasShown(messages, prefix, host, true);
    if (plugin.Startup() != kNoErr) {
        messages << prefix << "the plug-in's start-up failed with " << ErrorText(plugin.Startup()) << "\n";
        failed = true;
    } else if (!go) {
        messages << prefix << "the plug-in registered no " << (settings_.everywhere ? "WPF/E" : "WPF") << " format\n";
        failed = true;
    }
    if (go.value_or(kNoErr) != kNoErr) {
        messages << prefix << "the export failed with " << ErrorText(*go) << "\n";
        failed = true;
    }
    if (shutdown != kNoErr) {
        messages << prefix << "the plug-in's shut-down failed with " << ErrorText(shutdown) << "\n";
        failed = true;
    }
    if (!failed && wroteNothing) {
        messages << prefix << "the plug-in reported success but wrote nothing\n";
        failed = true;
    }
    if (!failed) {
        try {
            file->Commit();
        } catch (const OutputError& error) {
            messages << prefix << error.what() << "\n";
            failed = true;
        }
    }
    if (failed) {
        messages << prefix << "not exported; " << output
                 << (fs::exists(output) ? " is left as it was\n" : " was not written\n");
    }
    // The plug-in asked to open the file it wrote, which is now at its destination.
    for (const std::string& path : plugin.DocumentOpenRequests()) {
        const std::string opened = path == temporary ? output : path;
        if (failed && path == temporary) continue;
        if (settings_.verbose) messages << prefix << "the plug-in asks to open " << opened << "\n";
        if (settings_.open) OpenWithDesktopViewer(opened);
    }
    if (settings_.verbose) ReportHostNotes(messages, prefix, host, plugin.DocumentMemory());
    if (plugin.ShutDown()) started_.reset();
    if (failed) {
        // The next export starts in a new staging folder, in case this one was spoilt (removed,
        // say): a broken folder must not fail the rest of a batch.
        file.reset();
        DropStagingFor(output);
        return finish(FileStatus::kExportFailed);
    }
#ifdef QUILLMARK_WITH_PREVIEW
    // The picture is drawn from the XAML file just written.
    if (settings_.preview) {
        const std::string png = settings_.preview->empty() ? PreviewBeside(output) : *settings_.preview;
        std::optional<std::string> failure;
        try {
            failure = pictures_.Functions().writePreview(output, png);
        } catch (const PicturesUnavailable& error) {
            failure = error.what();
        }
        if (failure) {
            messages << prefix << "exported to " << output << ", but its preview was not written: " << *failure << "\n";
            return finish(FileStatus::kExportFailed);
        }
    }
#endif

    return finish(losses ? FileStatus::kExportedWithWarnings : FileStatus::kExported);
}

std::string FileExporter::Finish() {
    if (!started_) return "";
    const HostErr shutdown = started_->Shutdown();
    started_.reset();
    if (shutdown == kNoErr) return "";
    return "quillmark: the plug-in's shut-down after the last document failed with " + ErrorText(shutdown);
}

FileExporter::~FileExporter() {
    Finish();
}

}  // namespace cli
