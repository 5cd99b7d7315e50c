// Fuzz target: a JSON document, read and exported through the plug-in under a host fault.
// The reader must accept the document or refuse it with a DocumentError that names the place
// (never the JSON library's own message); whatever it accepts must export cleanly.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/json_loader.h"
#include "fuzz/driver/clean_error.h"
#include "fuzz/driver/export_run.h"
#include "fuzz/driver/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::FuzzInput input = fuzz::DecodeInput({reinterpret_cast<const char*>(data), size});
    document::Document document;
    try {
        document = document::LoadDocument(std::string(input.document));
    } catch (const document::DocumentError& error) {
        if (fuzz::IsLibraryMessage(error.what())) {
            std::fprintf(stderr, "the reader's message is the JSON library's own: %s\n", error.what());
            std::abort();
        }
        return 0;
    }
    fuzz::AbortOnViolations(fuzz::ExportDocument(std::move(document), input));
    return 0;
}
