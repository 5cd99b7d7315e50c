// Reads every .svg and .svgz file of the folders given with both parsers of the XML layer and
// reports where they part: a file the fast parser took whose events differ from expat's, or
// that expat refuses, or that the fast parser reads otherwise in place than from a copy. Built with the tests, run by hand over real artwork:
//
//   build/compare_xml_readers /usr/share/openclipart/svg
//
// It exits 1 when any file parts, and prints how many files the fast parser took.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "document/svg/tree/input.h"
#include "document/svg/tree/xml_fast_reader.h"
#include "tests/svg/tree/xml_event_record.h"

namespace {

using namespace document::svg;
namespace fs = std::filesystem;

struct Counts {
    long files = 0, taken = 0, parted = 0, unreadable = 0, notInPlace = 0;
};

void Compare(const fs::path& path, Counts& counts) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string content = bytes.str();
    ++counts.files;
    TreeOptions options;
    options.fileName = path.string();
    std::string inflated;
    std::string_view text;
    try {
        text = PrepareInput(content, options, inflated);
    } catch (const SvgError&) {
        ++counts.unreadable;
        return;
    }
    XmlEventRecord fast;
    if (!TryReadXmlFast(text, options.fileName, fast)) return;
    ++counts.taken;
    XmlEventRecord expat;
    try {
        ReadXmlWithExpat(text, options.fileName, expat);
    } catch (const SvgError& error) {
        std::cout << path.string() << ": taken by the fast parser, refused by expat: " << error.what() << "\n";
        ++counts.parted;
        return;
    }
    if (fast.Events() != expat.Events()) {
        std::cout << path.string() << ": the events differ\n";
        ++counts.parted;
    }
    std::string writable(text);
    WritableXml inPlace;
    inPlace.data = writable.data();
    inPlace.size = writable.size();
    inPlace.readAgain = [text] { return std::string(text); };
    XmlEventRecord fastInPlace;
    const InPlaceRead read = TryReadXmlFastInPlace(inPlace, options.fileName, fastInPlace);
    if (read == InPlaceRead::kNotInPlace) {
        ++counts.notInPlace;
    } else if (read != InPlaceRead::kRead || fastInPlace.Events() != fast.Events()) {
        std::cout << path.string() << ": read otherwise in place than from a copy\n";
        ++counts.parted;
    }
}

}  // namespace

int main(int argc, char** argv) {
    Counts counts;
    for (int i = 1; i < argc; ++i) {
        const fs::path root = argv[i];
        if (fs::is_regular_file(root)) {
            Compare(root, counts);
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            const std::string extension = entry.path().extension().string();
            if (entry.is_regular_file() && (extension == ".svg" || extension == ".svgz")) Compare(entry.path(), counts);
        }
    }
    std::cout << counts.files << " files: " << counts.taken << " taken by the fast parser, " << counts.parted
              << " of them read otherwise than by expat or in place; " << counts.notInPlace
              << " read from a copy rather than in place (short lines); " << counts.unreadable << " not XML text\n";
    return counts.parted == 0 ? 0 : 1;
}
