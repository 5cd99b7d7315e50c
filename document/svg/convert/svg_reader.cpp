#include "document/svg/svg_reader.h"

#include <fstream>
#include <iterator>

#include "document/svg/convert/converter.h"

namespace document::svg {

namespace {

// The tree that `parse` makes of the file, converted.
template <typename Parse>
ReadResult ReadTree(const std::string& fileName, Parse parse) {
    ReadResult result;
    TreeOptions options;
    options.fileName = fileName;
    const Tree tree = parse(options, result.losses);
    ConvertTree(tree, fileName, result);
    return result;
}

}  // namespace

ReadResult ReadSvg(std::string_view bytes, const std::string& fileName) {
    return ReadTree(fileName, [&](const TreeOptions& options, LossReport& losses) { return ParseSvgTree(bytes, options, losses); });
}

ReadResult ReadSvgInPlace(const WritableXml& bytes, const std::string& fileName) {
    return ReadTree(fileName,
                    [&](const TreeOptions& options, LossReport& losses) { return ParseSvgTreeInPlace(bytes, options, losses); });
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
