// The table of ids that references are followed through.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/svg/tree/id_index.h"
#include "document/svg/tree/tree.h"
#include "tests/svg/tree/parse.h"

namespace document::svg {
namespace {

TEST(IdIndex, ThousandsOfIdsAreFoundTheFirstOfEachKeptAndOthersMissed) {
    std::vector<std::string> ids;
    for (int i = 0; i < 5000; ++i) ids.push_back("path" + std::to_string(i));
    std::vector<Element> elements(ids.size() * 2);
    IdIndex index;
    for (size_t i = 0; i < ids.size(); ++i) index.Add(ids[i], &elements[i]);
    // Every id again, for other elements: the first element keeps it.
    for (size_t i = 0; i < ids.size(); ++i) index.Add(ids[i], &elements[ids.size() + i]);
    for (size_t i = 0; i < ids.size(); ++i) ASSERT_EQ(index.Find(ids[i]), &elements[i]) << ids[i];
    for (const char* missing : {"", "path", "path5000", "path-1", "Path1", "path1 "}) {
        EXPECT_EQ(index.Find(missing), nullptr) << missing;
    }
    EXPECT_EQ(IdIndex().Find("path0"), nullptr);
}

TEST(IdIndex, ReferencesReachTheFirstElementOfAnIdInTheFile) {
    const Tree tree = testing::Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink">
      <rect id="twice" width="1"/><circle id="twice" r="2"/>
      <use id="u" xlink:href="#twice"/>
    </svg>)x");
    ASSERT_NE(tree.FindById("twice"), nullptr);
    EXPECT_EQ(tree.FindById("twice")->tag, Tag::kRect);
    const Element& use = testing::ById(tree, "u");
    ASSERT_EQ(use.children.size(), 1u);
    EXPECT_EQ(use.children[0]->tag, Tag::kRect);
    EXPECT_EQ(tree.FindById("none"), nullptr);
}

}  // namespace
}  // namespace document::svg
