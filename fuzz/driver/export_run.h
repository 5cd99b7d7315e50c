// Exports a document through the plug-in linked into the program, in the substitute host,
// under a fuzz input's target and host fault, and checks how the plug-in used the host.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fuzz/driver/fuzz_input.h"
#include "substitute/host.h"
#include "substitute/resource_file.h"

namespace fuzz {

struct ExportReport {
    HostErr startup = kNoErr;
    HostErr go = kNoErr;
    HostErr shutdown = kNoErr;
    bool exported = false;
    std::string output;  // the file's text, when one was written
    // What the plug-in did wrong: host misuse, suites or memory not given back, an export
    // that failed without a fault to explain it. Empty when all was well.
    std::vector<std::string> violations;
};

// The plug-in's compiled resources (dialogs, strings), read once from the file the build
// wrote; null when the file is not there, in which case dialogs are recorded as problems.
std::shared_ptr<const substitute::ResourceFile> PluginResources();

// Start-up, export to a scratch file, shut-down. `keepOutput` keeps the file's text in the
// report; the file itself is removed.
ExportReport ExportDocument(substitute::Document document, const FuzzInput& input, bool keepOutput = false);

// Aborts with the violations on standard error, so that a fuzzer records the input.
void AbortOnViolations(const ExportReport& report);

}  // namespace fuzz
