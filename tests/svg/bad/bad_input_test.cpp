// Input that is no SVG, or is hostile, and the messages it gives: each names the file and,
// for XML errors, the line and column. Nothing from outside the file is ever loaded.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <sstream>
#include <string>

#include "document/svg/tree/tree.h"

namespace document::svg {
namespace {

std::string ReadBadFile(const std::string& name) {
    std::ifstream file(std::string(SVG_BAD_INPUT_DIR) + "/" + name, std::ios::binary);
    if (!file) throw std::runtime_error("cannot open " + name);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

Tree ParseNamed(const std::string& bytes, const std::string& name, LossReport* losses = nullptr) {
    TreeOptions options;
    options.fileName = name;
    LossReport ignored;
    return ParseSvgTree(bytes, options, losses ? *losses : ignored);
}

// The message of the SvgError that parsing gives, or "no error".
std::string ErrorOf(const std::string& bytes, const std::string& name, TreeOptions options = {}) {
    options.fileName = name;
    try {
        LossReport losses;
        ParseSvgTree(bytes, options, losses);
    } catch (const SvgError& error) {
        return error.what();
    }
    return "no error";
}

std::string ErrorOfFile(const std::string& name) { return ErrorOf(ReadBadFile(name), name); }

TEST(BadInput, MalformedXmlGivesTheLineAndColumn) {
    EXPECT_EQ(ErrorOfFile("mismatched-tag.svg"), "mismatched-tag.svg, line 4, column 5: mismatched tag");
    EXPECT_EQ(ErrorOfFile("unclosed.svg"), "unclosed.svg, line 3, column 1: no element found");
    EXPECT_EQ(ErrorOfFile("undefined-entity.svg"), "undefined-entity.svg, line 2, column 10: undefined entity");
}

TEST(BadInput, ARootThatIsNotSvgIsRefused) {
    EXPECT_EQ(ErrorOfFile("root-not-svg.svg"),
              "root-not-svg.svg, line 2, column 1: the root element is <html> of namespace "
              "http://www.w3.org/1999/xhtml, not <svg>: this is no SVG file");
    EXPECT_EQ(ErrorOfFile("root-in-other-namespace.svg"),
              "root-in-other-namespace.svg, line 2, column 1: the root element is <svg> of namespace "
              "http://example.org/not-svg, not <svg>: this is no SVG file");
}

TEST(BadInput, EmptyAndBinaryFilesAreRefused) {
    EXPECT_EQ(ErrorOfFile("empty.svg"), "empty.svg: the file is empty");
    EXPECT_EQ(ErrorOf(" \n\t\n", "blank.svg"), "blank.svg: the file is empty");
    EXPECT_EQ(ErrorOfFile("binary.svg"),
              "binary.svg: this is not a text file (it has a NUL byte at offset 8), so it is no SVG");
    // UTF-16 text has NUL bytes too, and is read.
    const std::string utf8 = R"(<svg xmlns="http://www.w3.org/2000/svg"><rect id="r"/></svg>)";
    std::string utf16 = "\xff\xfe";
    for (char c : utf8) utf16 += std::string{c, '\0'};
    EXPECT_NE(ParseNamed(utf16, "utf16.svg").FindById("r"), nullptr);
}

TEST(BadInput, BillionLaughsIsRefusedAsEntityExpansionBeyondTheBound) {
    const std::string message = ErrorOfFile("billion-laughs.svg");
    EXPECT_EQ(message.rfind("billion-laughs.svg, line 14, column ", 0), 0u) << message;
    EXPECT_NE(message.find("entity expansion beyond the allowed bound"), std::string::npos) << message;
}

TEST(BadInput, ExternalEntitiesAndDtdsAreNeverLoaded) {
    // Loaded, secret.txt's "rect { fill: red }" would make the rect red.
    LossReport losses;
    const Tree tree = ParseNamed(ReadBadFile("external-entity.svg"), "external-entity.svg", &losses);
    ASSERT_NE(tree.FindById("r"), nullptr);
    EXPECT_EQ(tree.FindById("r")->Get(Property::kFill), "");
    EXPECT_TRUE(losses.Empty());

    // secret.dtd declares the entity that would bring the same rule.
    const Tree dtd = ParseNamed(ReadBadFile("external-dtd.svg"), "external-dtd.svg");
    ASSERT_NE(dtd.FindById("r"), nullptr);
    EXPECT_EQ(dtd.FindById("r")->Get(Property::kFill), "");

    EXPECT_EQ(ErrorOfFile("external-entity-in-attribute.svg"),
              "external-entity-in-attribute.svg, line 6, column 22: reference to external entity in attribute");
}

std::string Gzip(const std::string& text) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, uLong(text.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = uInt(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(BadInput, CompressedFilesAreInflatedByTheirMagicBytesCorruptOnesRefused) {
    for (const char* name : {"good.svgz", "good.svg.renamed"}) {
        const Tree tree = ParseNamed(ReadBadFile("good.svgz"), name);
        ASSERT_NE(tree.FindById("r"), nullptr) << name;
        EXPECT_EQ(tree.FindById("r")->Get(Property::kFill), "green");
    }
    // Two gzip members make one stream.
    const std::string svg = R"(<svg xmlns="http://www.w3.org/2000/svg"><rect id="r"/></svg>)";
    const std::string twoMembers = Gzip(svg.substr(0, 20)) + Gzip(svg.substr(20));
    EXPECT_NE(ParseNamed(twoMembers, "two.svgz").FindById("r"), nullptr);

    EXPECT_EQ(ErrorOfFile("corrupt.svgz"), "corrupt.svgz: the compressed data is corrupt (invalid code lengths set)");
    EXPECT_EQ(ErrorOfFile("truncated.svgz"), "truncated.svgz: the compressed data is cut short");
    EXPECT_EQ(ErrorOf(Gzip(""), "nothing.svgz"), "nothing.svgz: the compressed file holds nothing");
}

TEST(BadInput, AZipBombIsRefusedAtTheInflatedBound) {
    // 10 MiB of spaces inside an <svg>, compressed in a stream to about 10 KB, against a
    // bound of 8 MiB.
    z_stream stream{};
    ASSERT_EQ(deflateInit2(&stream, 1, Z_DEFLATED, 16 + MAX_WBITS, 9, Z_RLE), Z_OK);
    std::string bomb;
    const std::string spaces(1 << 20, ' ');
    auto put = [&](const std::string& text, int flush) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        stream.avail_in = uInt(text.size());
        do {
            char buffer[1 << 16];
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            bomb.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    };
    put("<svg xmlns=\"http://www.w3.org/2000/svg\">", Z_NO_FLUSH);
    for (int i = 0; i < 10; ++i) put(spaces, Z_NO_FLUSH);
    put("</svg>", Z_FINISH);
    deflateEnd(&stream);
    ASSERT_LT(bomb.size(), 100u << 10);
    TreeOptions options;
    options.maxInflatedBytes = 8 << 20;
    EXPECT_EQ(ErrorOf(bomb, "bomb.svgz", options),
              "bomb.svgz: the compressed file inflates to more than 8 MiB; it is refused as a "
              "likely zip bomb");
    // Within the bound, the same stream is read.
    options.maxInflatedBytes = 12 << 20;
    EXPECT_EQ(ErrorOf(bomb, "bomb.svgz", options), "no error");
}

TEST(BadInput, NestingDeeperThanTheHostsDepthsIsRefused) {
    constexpr int kDepth = 32768;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\">\n";
    for (int i = 1; i < kDepth; ++i) svg += "<g>";
    for (int i = 1; i < kDepth; ++i) svg += "</g>";
    svg += "</svg>";
    EXPECT_EQ(ErrorOf(svg, "deep.svg"),
              "deep.svg, line 2, column " + std::to_string(3 * (kDepth - 2) + 1) +
                  ": elements are nested deeper than 32767 levels");
    // One level less is read.
    svg.replace(svg.find("<g>"), 3, "");
    svg.replace(svg.find("</g>"), 4, "");
    EXPECT_EQ(ErrorOf(svg, "deep.svg"), "no error");
}

}  // namespace
}  // namespace document::svg
