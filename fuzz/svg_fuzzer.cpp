// Fuzz target: an SVG file (or gzip-compressed .svgz), read and exported through the plug-in
// under a host fault. The reader must accept the file or refuse it with an SvgError that
// names the file; whatever it accepts must export cleanly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/svg/svg_reader.h"
#include "fuzz/driver/export_run.h"
#include "fuzz/driver/fuzz_input.h"

namespace {
constexpr char kFileName[] = "fuzz.svg";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::FuzzInput input = fuzz::DecodeInput({reinterpret_cast<const char*>(data), size});
    document::svg::ReadResult result;
    try {
        result = document::svg::ReadSvg(input.document, kFileName);
    } catch (const document::svg::SvgError& error) {
        if (std::string(error.what()).rfind(kFileName, 0) != 0) {
            std::fprintf(stderr, "the reader's message does not name the file: %s\n", error.what());
            std::abort();
        }
        return 0;
    }
    fuzz::AbortOnViolations(fuzz::ExportDocument(std::move(result.document), input));
    return 0;
}
