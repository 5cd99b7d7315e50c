// The fast reader reading a document in pieces: with any piece size it must report exactly the
// values (and offsets) the portable reader reports, and refuse whatever text that one refuses.
// Small piece sizes make the scanner walk small documents and cut them at every place.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/json_loader.h"
#include "document/json_skeleton.h"
#include "document/json_text.h"
#include "tests/document/invalid_json_texts.h"
#include "tests/document/json_event_log.h"
#include "tests/document/valid_json_texts.h"

namespace document {
namespace {

using testing::EventLog;
using testing::Padded;
using testing::ReadPortable;

bool ReadFast(const std::string& text, size_t pieceSize, std::string& log, int maxNesting = kMaxJsonNesting) {
    const std::string padded = Padded(text);
    EventLog events;
    const bool read = ReadJsonFastInPieces(std::string_view(padded.data(), text.size()), maxNesting, pieceSize, events);
    log = events.Text();
    return read;
}

// Every piece size from 1 byte to the whole text, and the default.
std::vector<size_t> PieceSizes(const std::string& text) {
    std::vector<size_t> sizes;
    for (size_t size = 1; size <= text.size() + 1; ++size) sizes.push_back(size);
    sizes.push_back(kJsonPieceSize);
    return sizes;
}

TEST(JsonPieces, ReportTheValuesThePortableReaderReports) {
    if (!HasFastJsonReader()) GTEST_SKIP() << "this build has no fast reader";
    for (const std::string& text : testing::ValidJsonTexts()) {
        const std::string expected = ReadPortable(text);
        for (size_t pieceSize : PieceSizes(text)) {
            std::string log;
            EXPECT_TRUE(ReadFast(text, pieceSize, log)) << "piece size " << pieceSize << ": " << text;
            EXPECT_EQ(log, expected) << "piece size " << pieceSize << ": " << text;
        }
    }
}

TEST(JsonPieces, LongValuesAcrossTheScannersBlocks) {
    if (!HasFastJsonReader()) GTEST_SKIP() << "this build has no fast reader";
    // The scanner reads 64 bytes at a time: a backslash, a quote or a bracket at every place
    // in a block, and strings that cross from one block into the next.
    for (size_t filler = 0; filler < 140; ++filler) {
        const std::string padding(filler, 'x');
        const std::string texts[] = {
            R"({"a": [")" + padding + R"(\\", "\"]", [1]], "b": [")" + padding + R"(]}", 2]})",
            R"({"a": [")" + padding + R"(\"]\\\"", "}"], "b": [)" + std::string(filler, ' ') + R"([], "\\"]})",
            R"({")" + padding + R"(\"": {"k": [")" + padding + R"("]}, "n": [)" + std::to_string(filler) + "]}",
        };
        for (const std::string& text : texts) {
            const std::string expected = ReadPortable(text);
            for (size_t pieceSize : {size_t(1), size_t(17), size_t(64), filler + 1, kJsonPieceSize}) {
                std::string log;
                EXPECT_TRUE(ReadFast(text, pieceSize, log)) << "piece size " << pieceSize << ": " << text;
                EXPECT_EQ(log, expected) << "piece size " << pieceSize << ": " << text;
            }
        }
    }
}

TEST(JsonPieces, RefuseInvalidTextAtAndAcrossPieceEnds) {
    if (!HasFastJsonReader()) GTEST_SKIP() << "this build has no fast reader";
    // Beside the invalid texts every reader refuses, faults around the places where pieces end.
    std::vector<std::string> cases = testing::InvalidJsonTexts();
    cases.insert(cases.end(), {
        R"({"layers": [,{"type": "group"}]})",
        R"({"layers": [{"type": "group"},,{}]})",
        R"({"layers": [1 2]})",
        R"({"layers": [{"type":: "group"}]})",
        R"({"layers": [{1: "group"}]})",
        R"({"layers": {"type": "group"]})",
        R"({"layers": [{"type": "group"}}})",
        R"({"layers": [{"a": [1, 2}]}]})",
        R"({"layers": [{"a": [1, {"b": 2]}]}]})",
        R"({"layers": [[1, 2], [3, 4}]})",
        "{\"layers\": [{\"na\x01me\": [\"x\"]}]}",
        "{\"la\x01yers\": [{\"name\": [\"x\"]}]}",
        "{\"\xFF\": [{\"name\": [\"x\"]}]}",
        "{\"\xC3\": [{\"name\": [\"x\"]}]}",
        R"({"\x41": [{"name": ["x"]}]})",
        R"({"\ud800": [{"name": ["x"]}]})",
        R"({"layers": [-]})",
        R"({"layers": [truefalse]})",
        R"({"layers": [1"x"]})",
        R"({"layers": [{"type": "group"}]}])",
        R"({"layers": [{"type": "group"}], "x)",
        R"({"layers": [{"type": "group"}], )",
        R"({"layers": [{"type": "group"}], "x" 1})",
        "{\"layers\": [{\"type\":\v\"group\"}]}",
        "{\"layers\":\f[{\"type\": \"group\"}]}",
        // Arrays that begin as points of two decimals.
        R"({"p": [[1.5, 2.5,]]})",
        R"({"p": [[1.5 2.5]]})",
        R"({"p": [[01.5, 2.5]]})",
        R"({"p": [[1.5, 2.5}]})",
        R"({"p": [[1.5, 2.5]})",
        R"({"p": [[1.5, 2.5]] 1})",
        "{\"p\": [[1.5,\v2.5]]}",
    });
    for (const std::string& text : cases) {
        for (size_t pieceSize : PieceSizes(text)) {
            std::string log;
            EXPECT_FALSE(ReadFast(text, pieceSize, log)) << "piece size " << pieceSize << ": " << text;
        }
        EXPECT_THROW(ReadPortable(text), DocumentError) << text;
    }
}

TEST(JsonPieces, NestingLimitIsTheWholeDocuments) {
    if (!HasFastJsonReader()) GTEST_SKIP() << "this build has no fast reader";
    // Six levels of brackets: allowed with a limit of 6, refused with 5, however the levels are
    // split between the scanner and the pieces.
    const std::string text = R"({"a": [1, [2, {"b": [3, []]}]], "c": 4})";
    const std::string expected = ReadPortable(text, 6);
    EXPECT_THROW(ReadPortable(text, 5), DocumentError);
    for (size_t pieceSize : PieceSizes(text)) {
        std::string log;
        EXPECT_TRUE(ReadFast(text, pieceSize, log, 6)) << "piece size " << pieceSize;
        EXPECT_EQ(log, expected) << "piece size " << pieceSize;
        EXPECT_FALSE(ReadFast(text, pieceSize, log, 5)) << "piece size " << pieceSize;
    }
    // A point at the deepest level allowed, read from its text, counts as a level too.
    const std::string point = R"({"a": [[[1.5, 2.5]]]})";
    for (size_t pieceSize : PieceSizes(point)) {
        std::string log;
        EXPECT_TRUE(ReadFast(point, pieceSize, log, 4)) << "piece size " << pieceSize;
        EXPECT_EQ(log, ReadPortable(point, 4)) << "piece size " << pieceSize;
        EXPECT_FALSE(ReadFast(point, pieceSize, log, 3)) << "piece size " << pieceSize;
    }
    EXPECT_THROW(ReadPortable(point, 3), DocumentError);
    // Far deeper than the call stack allows, all of it walked by the scanner.
    const std::string deep = "{\"a\": " + std::string(100000, '[') + std::string(100000, ']') + "}";
    std::string log;
    EXPECT_TRUE(ReadFast(deep, 16, log, 100002));
    EXPECT_EQ(log, ReadPortable(deep, 100002));
    EXPECT_FALSE(ReadFast(deep, 16, log, 100000));
}

TEST(JsonPieces, ScannerFindsTheEndOfAValue) {
    using json_skeleton::Extent;
    const auto extent = [](const std::string& text, size_t limit) {
        const std::string padded = Padded(text);
        return json_skeleton::FindValueEnd(std::string_view(padded.data(), text.size()), 0, limit);
    };
    for (size_t filler = 0; filler < 200; ++filler) {
        // The value ends before the text does: its end is found, wherever the blocks fall.
        const std::string value = "[" + std::string(filler, ' ') + R"("\\\"]}", {"]": "\\"}, [[]])" + "]";
        const json_skeleton::ValueExtent whole = extent(value + ", 1]", value.size() + 64);
        EXPECT_EQ(whole.extent, Extent::kEnds) << filler;
        EXPECT_EQ(whole.end, value.size()) << filler;
        EXPECT_EQ(extent(value + ", 1]", value.size()).end, value.size()) << filler;
        EXPECT_EQ(extent(value + ", 1]", value.size() - 1).extent, Extent::kLarge) << filler;
        EXPECT_EQ(extent(value.substr(0, value.size() - 1), value.size() + 64).extent, Extent::kInvalid) << filler;
    }
    EXPECT_EQ(extent(R"("a\"b", 1)", 1).end, 6u);
    EXPECT_EQ(extent(R"("a\")", 1).extent, Extent::kInvalid);
    EXPECT_EQ(extent("-12.5e3]", 1).end, 7u);
    EXPECT_EQ(extent("true ", 1).end, 4u);
    EXPECT_EQ(extent("]", 1).extent, Extent::kInvalid);
    EXPECT_EQ(extent(":", 1).extent, Extent::kInvalid);
    EXPECT_EQ(extent("", 1).extent, Extent::kInvalid);
}

}  // namespace
}  // namespace document
