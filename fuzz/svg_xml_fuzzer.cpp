// Fuzz target: the XML layer's two parsers on any text. Whatever the fast parser takes, expat
// must read too, into the very same events; the fuzzer's sanitisers watch both.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "document/svg/tree/tree.h"
#include "document/svg/tree/xml_fast_reader.h"
#include "tests/svg/tree/xml_event_record.h"

using namespace document::svg;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    XmlEventRecord fast;
    if (!TryReadXmlFast(text, "fuzz.svg", fast)) return 0;
    XmlEventRecord expat;
    try {
        ReadXmlWithExpat(text, "fuzz.svg", expat);
    } catch (const SvgError& error) {
        std::fprintf(stderr, "the fast parser took a file expat refuses: %s\n", error.what());
        std::abort();
    }
    if (fast.Events() != expat.Events()) {
        std::fprintf(stderr, "the parsers' events differ:\n--- fast\n%s--- expat\n%s", fast.Events().c_str(),
                     expat.Events().c_str());
        std::abort();
    }
    return 0;
}
