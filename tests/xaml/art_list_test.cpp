// Flattening of the art tree into the art list.
#include "xaml/art_list.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "writer_fixture.h"

namespace {

struct ListDeleter {
    void operator()(ArtList* list) const { DeleteArtList(list); }
};

class ArtListTest : public WriterTest {
protected:
    // Builds the list of every layer of the host's document, as the export's layer pass does.
    std::unique_ptr<ArtList, ListDeleter> Build() {
        std::unique_ptr<ArtList, ListDeleter> list(NewArtList());
        int32_t layers = 0;
        sLayer->CountLayers(&layers);
        for (int32_t n = 0; n < layers && list->count < ArtListMaxEntries; ++n) {
            LayerHandle layer = nullptr;
            sLayer->GetNthLayer(n, &layer);
            sArt->GetFirstArtOfLayer(layer, &list->art[list->count]);
            BuildArtList(list.get(), 0, "", 1.0f, 0);
        }
        return list;
    }
};

TEST_F(ArtListTest, RecordsAnEmptyRootGroupAsOneRow) {
    Use(R"({"layers": [{"type": "group", "name": "Root"}]})");
    auto list = Build();
    ASSERT_EQ(list->count, 1);
    EXPECT_EQ(list->depth[0], 0);
    EXPECT_STREQ(list->name[0], "Root");
}

TEST_F(ArtListTest, RecordsParentsBeforeChildrenWithDepthsAndFullNames) {
    Use(R"({"layers": [{"type": "group", "name": "R", "children": [
             {"type": "group", "name": "G1", "children": [
               {"type": "group", "name": "G2", "children": [{"type": "path", "name": "P", "segments": []}]}]},
             {"type": "compound", "name": "C", "children": [{"type": "path", "segments": []},
                                                            {"type": "path", "segments": []}]}]}]})");
    auto list = Build();
    ASSERT_EQ(list->count, 5) << "the members of a compound path are no rows";
    const char* names[] = {"R", "R/G1", "R/G1/G2", "R/G1/G2/P", "R/C"};
    const int16_t depths[] = {0, 1, 2, 3, 1};
    for (int row = 0; row < 5; ++row) {
        EXPECT_STREQ(list->name[row], names[row]);
        EXPECT_EQ(list->depth[row], depths[row]);
    }
}

TEST_F(ArtListTest, MultipliesOpacityDownTheTreeButNotVisibility) {
    Use(R"({"layers": [{"type": "group", "children": [
             {"type": "group", "opacity": 0.5, "hidden": true, "children": [
               {"type": "group", "opacity": 0.5, "children": [{"type": "path", "segments": []}]}]}]}]})");
    auto list = Build();
    ASSERT_EQ(list->count, 4);
    EXPECT_EQ(list->opacity[3], 0.25f);
    EXPECT_EQ(list->visible[1], 0);
    EXPECT_EQ(list->visible[2], 1);
    EXPECT_EQ(list->visible[3], 1);
}

TEST_F(ArtListTest, FlagsTheResultOfAPathfinderGroupAtThePluginArtsDepth) {
    Use(R"({"layers": [{"type": "group", "name": "R", "children": [
             {"type": "plugin", "name": "PF", "pluginName": "Pathfinder Suite", "result": {"type": "group", "children": [
               {"type": "path", "name": "A", "segments": []},
               {"type": "group", "name": "G", "children": [{"type": "path", "name": "B", "segments": []}]}]}},
             {"type": "plugin", "name": "Other", "pluginName": "pathfinder suite", "result": {"type": "group",
               "children": [{"type": "path", "name": "C", "segments": []}]}}]}]})");
    auto list = Build();
    ASSERT_EQ(list->count, 7);
    EXPECT_STREQ(list->name[1], "R/PF");
    EXPECT_EQ(list->depth[1], 1);
    EXPECT_EQ(list->pluginFlags[1], 0);
    EXPECT_STREQ(list->name[2], "R/PF/A");
    EXPECT_EQ(list->depth[2], 1) << "the result's objects take the plug-in art's place";
    EXPECT_EQ(list->pluginFlags[2], kPathfinder);
    EXPECT_EQ(list->depth[4], 2);
    EXPECT_EQ(list->pluginFlags[4], kPathfinder) << "the flag is passed down";
    EXPECT_STREQ(list->name[6], "R/Other/C");
    EXPECT_EQ(list->pluginFlags[6], 0) << "the plug-in name is compared exactly";
}

TEST_F(ArtListTest, EndsAChainAtAnObjectOfUnknownType) {
    Use(R"({"layers": [{"type": "group", "name": "R", "children": [
             {"type": "group", "name": "G", "children": [
               {"type": "path", "name": "A", "segments": []}, {"type": 0}, {"type": "path", "name": "B", "segments": []}]},
             {"type": "path", "name": "C", "segments": []}]}]})");
    auto list = Build();
    ASSERT_EQ(list->count, 4);
    EXPECT_STREQ(list->name[2], "R/G/A");
    EXPECT_STREQ(list->name[3], "R/C") << "the rows go on with the parent's next sibling";
}

TEST_F(ArtListTest, UsesTheNameTheHostReportsCutAt1023Bytes) {
    const std::string longName(1500, 'n');
    Use(R"({"layers": [{"type": "group", "name": ")" + longName + R"(", "children": [{"type": "text"}]}]})");
    auto list = Build();
    EXPECT_EQ(std::string(list->name[0]), std::string(1023, 'n'));
    EXPECT_EQ(std::string(list->name[1]), std::string(1023, 'n') + "/<Text>");
}

// A root group holding `children` paths, in nested groups of `perGroup` paths each when
// perGroup is non-zero.
substitute::Document ManyPaths(int children, int perGroup = 0) {
    substitute::Document document;
    auto root = std::make_unique<substitute::Art>();
    root->name = "R";
    substitute::Art* parent = root.get();
    for (int i = 0; i < children; ++i) {
        if (perGroup != 0 && i % perGroup == 0) {
            auto group = std::make_unique<substitute::Art>();
            group->name = "G";
            parent = root->Add(std::move(group));
        }
        auto path = std::make_unique<substitute::Art>();
        path->type = kPathArt;
        path->name = std::to_string(i);
        parent->Add(std::move(path));
    }
    document.layers.push_back(std::move(root));
    return document;
}

TEST_F(ArtListTest, StopsAtItsCapacityAndNotesWhatWasLeftOut) {
    Use(ManyPaths(ArtListMaxEntries + 5, 100));
    auto list = Build();
    EXPECT_EQ(list->count, ArtListMaxEntries);
    EXPECT_TRUE(list->overflowed);
    // The first objects in tree order: after the root, each group of 100 paths takes 101 rows,
    // so the last row, 16191, is the 30th path of the 161st group.
    EXPECT_STREQ(list->name[ArtListMaxEntries - 1], "R/G/16029");
}

TEST_F(ArtListTest, IsNotOverflowedWhenTheDocumentFitsExactly) {
    Use(ManyPaths(ArtListMaxEntries - 1));
    auto list = Build();
    EXPECT_EQ(list->count, ArtListMaxEntries);
    EXPECT_FALSE(list->overflowed);
}

}  // namespace
