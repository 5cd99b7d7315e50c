// Fuzz target: the XML layer's two parsers on any text. Whatever the fast parser takes, expat
// must read too, into the very same events, and the fast parser reading the text in place must
// take it too, into the same events; the fuzzer's sanitisers watch all three.
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
    std::string writable = text;
    WritableXml inPlace;
    inPlace.data = writable.data();
    inPlace.size = writable.size();
    inPlace.readAgain = [&text] { return text; };
    XmlEventRecord fastInPlace;
    const InPlaceRead readInPlace = TryReadXmlFastInPlace(inPlace, "fuzz.svg", fastInPlace);
    XmlEventRecord fast;
    if (!TryReadXmlFast(text, "fuzz.svg", fast)) {
        if (readInPlace == InPlaceRead::kRead) {
            std::fprintf(stderr, "read in place, the fast parser took a file it declines from a copy\n");
            std::abort();
        }
        return 0;
    }
    if (readInPlace == InPlaceRead::kNotInPlace) return 0;
    if (readInPlace != InPlaceRead::kRead || fastInPlace.Events() != fast.Events()) {
        std::fprintf(stderr, "the fast parser read in place otherwise than from a copy:\n--- in place\n%s--- copy\n%s",
                     fastInPlace.Events().c_str(), fast.Events().c_str());
        std::abort();
    }
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
