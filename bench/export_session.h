// Runs exports in this process, as the host does: a substitute host answers the plug-in's
// suites from a document held in memory.
#pragma once

#include <memory>
#include <string>

#include "host/host_types.h"
#include "document/document.h"
#include "substitute/host.h"

namespace bench {

class ExportSession {
public:
    // Only one session may exist at a time (the host is a process-wide singleton).
    explicit ExportSession(document::Document document);
    ~ExportSession();
    ExportSession(const ExportSession&) = delete;
    ExportSession& operator=(const ExportSession&) = delete;

    // Writes the document to `path` for WPF; answers the plug-in's status.
    HostErr Export(const std::string& path);

private:
    std::unique_ptr<substitute::Host> host_;
};

// Exports one document after another through one host, as the plug-in does for the export
// messages a host sends it (and as a batch of the command does): the host's document swapped,
// the plug-in's suites acquired for each export and given back after it.
class DocumentExporter {
public:
    // Only one may exist at a time, and no ExportSession meanwhile.
    DocumentExporter();
    ~DocumentExporter();
    DocumentExporter(const DocumentExporter&) = delete;
    DocumentExporter& operator=(const DocumentExporter&) = delete;

    // Writes the document to `path` for WPF; answers the plug-in's status.
    HostErr Export(document::Document document, const std::string& path);

private:
    std::unique_ptr<substitute::Host> host_;
};

// A directory of this process for the files the benchmarks write; removed at exit.
const std::string& ScratchDirectory();

// The whole content of a file.
std::string ReadFile(const std::string& path);

}  // namespace bench
