#include "document/svg/svg_reader.h"

#include <fstream>
#include <iterator>

#include "document/svg/convert/converter.h"

namespace document::svg {

ReadResult ReadSvg(std::string_view bytes, const std::string& fileName) {
    ReadResult result;
    TreeOptions options;
    options.fileName = fileName;
    const Tree tree = ParseSvgTree(bytes, options, result.losses);
    ConvertTree(tree, fileName, result);
    return result;
}

ReadResult ReadSvgInPlace(const WritableXml& bytes, const std::string& fileName) {
    ReadResult result;
    TreeOptions options;
    options.fileName = fileName;
    const Tree tree = ParseSvgTreeInPlace(bytes, options, result.losses);
    ConvertTree(tree, fileName, result);
    return result;
}

ReadResult ReadSvgFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw SvgError(path + ": cannot be opened");
    const auto readWhole = [&in, &path] {
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (in.bad()) throw SvgError(path + ": cannot be read");
        return bytes;
    };
    std::string bytes = readWhole();
    WritableXml text;
    text.data = bytes.data();
    text.size = bytes.size();
    text.readAgain = [&] {
        in.clear();
        in.seekg(0);
        return readWhole();
    };
    return ReadSvgInPlace(text, path);
}

}  // namespace document::svg
