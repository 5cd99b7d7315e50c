#include "export_session.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "shell/platform.h"
#include "shell/records.h"
#include "shell/suite_table.h"
#include "xaml/document.h"

namespace bench {

namespace {

constexpr int16_t kKeyTapped = 1;  // up now, pressed since the last query

}  // namespace

ExportSession::ExportSession(document::Document document)
    : host_(std::make_unique<substitute::Host>(std::move(document))) {
    // A tapped left Shift key keeps the plug-in from asking to open every file it writes.
    host_->SetKeyState(kLeftShiftKey, kKeyTapped);
    sBasicSuite = host_->Basic();
    if (AcquireSuiteTable(host_->Basic()) != kNoErr) throw std::runtime_error("the plug-in could not acquire its suites");
}

ExportSession::~ExportSession() {
    ReleaseSuiteTable(host_->Basic());
}

HostErr ExportSession::Export(const std::string& path) {
    return WriteDocument(path.c_str(), false);
}

DocumentExporter::DocumentExporter() : host_(std::make_unique<substitute::Host>()) {
    host_->SetKeyState(kLeftShiftKey, kKeyTapped);
    sBasicSuite = host_->Basic();
}

DocumentExporter::~DocumentExporter() = default;

HostErr DocumentExporter::Export(document::Document document, const std::string& path) {
    host_->SetDocument(std::move(document));
    const HostErr acquired = AcquireSuiteTable(host_->Basic());
    const HostErr written = acquired == kNoErr ? WriteDocument(path.c_str(), false) : acquired;
    ReleaseSuiteTable(host_->Basic());
    return written;
}

const std::string& ScratchDirectory() {
    // Never destroyed, so that the exit handler that removes the directory can still read it.
    static const std::string* const directory = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("quillmark-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(path);
        auto* name = new std::string(path.string());
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchDirectory(), ignored);
        });
        return name;
    }();
    return *directory;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace bench
