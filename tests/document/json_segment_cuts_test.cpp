// Segments arrays cut out of what the fast reader's parser reads: the scanner must find exactly
// the arrays of art's "segments" members and the ends FindValueEnd finds, and the walk must hand
// each over at the place it stood, every other value and offset reported as without cuts.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "document/json_loader.h"
#include "document/json_segment_cuts.h"
#include "document/json_skeleton.h"
#include "document/json_text.h"
#include "tests/document/invalid_json_texts.h"
#include "tests/document/json_event_log.h"
#include "tests/document/valid_json_texts.h"

namespace document {
namespace {

using json_skeleton::ArrayCut;
using json_skeleton::Extent;
using json_skeleton::ValueExtent;
using testing::EventLog;
using testing::Padded;
using testing::ReadPortable;

struct Found {
    ValueExtent extent;
    std::vector<std::string> cuts;  // their texts
};

Found FindCuts(const std::string& text, size_t start = 0, std::string_view key = "", size_t limit = SIZE_MAX) {
    const std::string padded = Padded(text);
    std::vector<ArrayCut> cuts;
    Found found{json_skeleton::FindValueEndCuttingSegments(std::string_view(padded.data(), text.size()), start, limit,
                                                           key, cuts),
                {}};
    for (const ArrayCut& cut : cuts) found.cuts.push_back(text.substr(cut.start, cut.end - cut.start));
    return found;
}

using Cuts = std::vector<std::string>;

TEST(SegmentsCuts, FoundInTheArtOfAValue) {
    EXPECT_EQ(FindCuts(R"({"type": "path", "segments": [[1, 2], {"anchor": [3, 4]}], "closed": true})").cuts,
              (Cuts{R"([[1, 2], {"anchor": [3, 4]}])"}));
    // Through children, a plug-in's result and layers, at any depth, with white space anywhere.
    const std::string nested = R"( { "children" : [ {"segments":[[1,2]]} , {"type": "group", "children": [
        {"segments": [ ]}, {"result": {"children": [{"segments": [[5, 6]]}]}}]}],
        "layers": [{"segments": [[7, 8]]}], "segments": [[9, 0]] } )";
    const Found found = FindCuts(nested, 1);
    EXPECT_EQ(found.cuts, (Cuts{"[[1,2]]", "[ ]", "[[5, 6]]", "[[7, 8]]", "[[9, 0]]"}));
    EXPECT_EQ(found.extent.extent, Extent::kEnds);
    EXPECT_EQ(found.extent.end, nested.size() - 1);
    // The value of a member keyed "segments" is itself the array.
    EXPECT_EQ(FindCuts("[[1, 2]], 3", 0, "segments").cuts, (Cuts{"[[1, 2]]"}));
    EXPECT_EQ(FindCuts(R"({"segments": [[1, 2]]})", 0, "children").cuts, (Cuts{"[[1, 2]]"}));
    // Not under other keys, nor under keys with escapes, nor when not an array, nor in strings.
    const std::string none[] = {
        R"({"style": {"segments": [[1, 2]]}, "gradients": [{"segments": [[1, 2]]}]})",
        R"({"segm\u0065nts": [[1, 2]], "childr\u0065n": [{"segments": [[1, 2]]}]})",
        R"({"segments": {"anchor": [1, 2]}, "children": "{\"segments\": [[1, 2]]}"})",
        R"({"name": "\"segments\": [[1, 2]]", "children": [[{"segments": [[1, 2]]}]]})",
    };
    for (const std::string& text : none) {
        const Found other = FindCuts(text);
        EXPECT_EQ(other.cuts, Cuts{}) << text;
        EXPECT_EQ(other.extent.end, text.size()) << text;
    }
    EXPECT_EQ(FindCuts(R"({"segments": [[1, 2]]})", 0, "style").cuts, Cuts{});
    // Art is searched so many levels deep (the value's own level the first), and no deeper.
    const auto art = [](int levels) {
        std::string text = R"({"segments": [[0, 0]]})";
        for (int i = 0; i < levels; ++i) text = R"({"children": [)" + text + "]}";
        return text;
    };
    EXPECT_EQ(FindCuts(art(json_skeleton::kMostCutArtLevels - 1)).cuts.size(), 1u);
    EXPECT_EQ(FindCuts(art(json_skeleton::kMostCutArtLevels)).cuts.size(), 0u);
}

TEST(SegmentsCuts, ValuesEndWhereTheScannerSaysTheyEnd) {
    // Valid and invalid texts, from every place, under art keys and others, with limits that
    // cut values short: where the scanner finds an end the search finds the same, and nowhere
    // else; cuts lie inside the value, in order, each a bracketed "segments" value.
    std::vector<std::string> texts = testing::ValidJsonTexts();
    for (const std::string& text : testing::InvalidJsonTexts()) texts.push_back(text);
    texts.push_back(R"({"children": [{"segments": [[1, 2]]}, {"segments": [[3, 4], {"anchor": [5, 6]}]}]})");
    texts.push_back(R"({"children": [{"segments": [[1, 2]] "x"}, {"segments": [[3, 4]]}, {"segments": [[3, 4]})");
    texts.push_back(R"({"children": [{"segments": [[1, 2]}, {"segments": [[3, 4]]}, {"segments" [[3, 4]]}]})");
    for (const std::string& text : texts) {
        const std::string padded = Padded(text);
        const std::string_view view(padded.data(), text.size());
        for (size_t start = 0; start < text.size(); ++start) {
            for (size_t limit : {size_t(1), size_t(9), size_t(40), size_t(1000), SIZE_MAX}) {
                for (std::string_view key : {"", "segments", "style"}) {
                    std::vector<ArrayCut> cuts;
                    const ValueExtent found = json_skeleton::FindValueEndCuttingSegments(view, start, limit, key, cuts);
                    const ValueExtent expected = json_skeleton::FindValueEnd(view, start, limit);
                    const std::string where = text + " from " + std::to_string(start) + ", limit " +
                                              std::to_string(limit) + ", key " + std::string(key);
                    ASSERT_EQ(found.extent == Extent::kEnds, expected.extent == Extent::kEnds) << where;
                    if (expected.extent != Extent::kEnds) {
                        EXPECT_TRUE(cuts.empty()) << where;
                        continue;
                    }
                    EXPECT_EQ(found.end, expected.end) << where;
                    size_t after = start;
                    for (const ArrayCut& cut : cuts) {
                        ASSERT_TRUE(cut.start >= after && cut.end > cut.start + 1 && cut.end <= found.end) << where;
                        EXPECT_EQ(text[cut.start], '[') << where;
                        EXPECT_EQ(text[cut.end - 1], ']') << where;
                        const size_t keyAt = text.rfind("\"segments\"", cut.start);
                        EXPECT_TRUE((cut.start == start && key == "segments") ||
                                    (keyAt != std::string::npos && keyAt >= after &&
                                     text.find_first_not_of(" \n\t\r:", keyAt + 10) == cut.start))
                            << where;
                        after = cut.end;
                    }
                }
            }
        }
    }
}

// An event log whose cut arrays are read by the portable reader and logged as their events,
// with offsets in the whole text: the log of a walk with cuts must be the log without them.
class CuttingLog : public EventLog {
public:
    explicit CuttingLog(const std::string& text) : text_(text) {}
    bool CutsSegmentsArrays() const override { return true; }
    void CutArray(std::string_view cut, bool roomToNest) override {
        ++cuts_;
        if (!roomToNest) Add("cut without room");
        // The cut lies in the text given, which the whole-text reader reads in place.
        const size_t base = size_t(cut.data() - text_.data());
        EventLog inside;
        ReadJsonPortable(cut, kMaxJsonNesting, inside);
        const std::string events = inside.Text();
        for (size_t line = 0; line < events.size();) {
            const size_t end = events.find('\n', line);
            std::string event = events.substr(line, end - line);
            if (event.size() > 2 && event[1] == '@') {
                event = event.substr(0, 2) + std::to_string(std::stoul(event.substr(2)) + base);
            }
            Add(event);
            line = end + 1;
        }
    }
    int Cuts() const { return cuts_; }

private:
    const std::string& text_;
    int cuts_ = 0;
};

std::string PathsInGroups(int paths) {
    std::string text = R"({"layers": [{"type": "group", "children": [)" "\n";
    for (int i = 0; i < paths; ++i) {
        if (i > 0) text += ",\n";
        const std::string path = R"({"type": "path", "name": "p\"[)" + std::to_string(i) +
                                 R"(", "segments": [[1.5, 2], {"anchor": [3, -4.25], "corner": false}], "closed": true})";
        if (i % 5 == 0) {
            text += R"({"type": "group", "children": [)" + path + "]}";
        } else if (i % 5 == 1) {
            text += R"({"type": "plugin", "result": {"type": "group", "children": [)" + path + "]}}";
        } else {
            text += path;
        }
    }
    return text + "\n]}]}";
}

TEST(SegmentsCuts, TheWalkHandsEachOverAtItsPlace) {
    if (!HasFastJsonReader()) GTEST_SKIP() << "this build has no fast reader";
    std::vector<std::string> texts = testing::ValidJsonTexts();
    texts.push_back(PathsInGroups(40));
    for (const std::string& text : texts) {
        const std::string expected = ReadPortable(text);
        const std::string padded = Padded(text);
        for (size_t pieceSize : {size_t(1), size_t(50), size_t(300), size_t(1000), kJsonPieceSize}) {
            CuttingLog events(padded);
            EXPECT_TRUE(ReadJsonFastInPieces(std::string_view(padded.data(), text.size()), kMaxJsonNesting, pieceSize,
                                             events))
                << "piece size " << pieceSize << ": " << text;
            EXPECT_EQ(events.Text(), expected) << "piece size " << pieceSize << ": " << text;
        }
    }
    // Cuts are made where pieces are gathered: in a document larger than a piece, every path's.
    const std::string paths = Padded(PathsInGroups(40));
    CuttingLog events(paths);
    EXPECT_TRUE(ReadJsonFastInPieces(std::string_view(paths.data(), paths.size() - 64), kMaxJsonNesting, 1000, events));
    EXPECT_EQ(events.Cuts(), 40);
    // Where the nesting limit leaves no room for segments inside the array (an object holding a
    // point: two levels), the events are told.
    const std::string deep = Padded(R"({"layers": [{"children": [{"segments": [[1, 2]]}, {"segments": []}]}]})");
    const std::string_view deepText(deep.data(), deep.size() - 64);
    for (int maxNesting : {8, 7}) {
        CuttingLog limited(deep);
        // Pieces of a path each: the children are walked by the scanner, each path in a piece.
        EXPECT_TRUE(ReadJsonFastInPieces(deepText, maxNesting, 30, limited));
        EXPECT_EQ(limited.Text().find("cut without room") != std::string::npos, maxNesting == 7) << maxNesting;
    }
}

}  // namespace
}  // namespace document
