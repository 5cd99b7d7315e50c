// <use> instantiation: the copy, its values, and references that cannot be followed.
#include <gtest/gtest.h>

#include "tests/svg/tree/parse.h"

namespace document::svg {
namespace {

using testing::ById;
using testing::Kinds;
using testing::Parse;

TEST(Use, TheCopyIsTheOnlyChildWithSpecifiedValuesOfTheOriginalAndInheritanceFromTheUse) {
    LossReport losses;
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink">
      <style>.s { stroke-width: 4 }</style>
      <g fill="red" stroke="red" opacity="0.5">
        <g id="shape" class="s" style="stroke: green">
          <rect id="inner" x="1"/>
          <circle/>
        </g>
      </g>
      <use id="u" xlink:href="#shape" fill="blue"><title>not drawn</title></use>
      <use id="u2" href="#inner" xlink:href="#shape"/>
    </svg>)x", &losses);
    EXPECT_TRUE(losses.Empty()) << Kinds(losses);
    const Element& use = ById(tree, "u");
    ASSERT_EQ(use.children.size(), 1u);
    const Element& copy = *use.children[0];
    EXPECT_EQ(use.referenced, &ById(tree, "shape"));
    EXPECT_NE(&copy, use.referenced);
    EXPECT_EQ(copy.parent, &use);
    EXPECT_EQ(copy.tag, Tag::kG);
    EXPECT_EQ(copy.Get(Property::kStroke), "green");   // its own specified value
    EXPECT_EQ(copy.Get(Property::kStrokeWidth), "4");  // matched where the original is
    EXPECT_EQ(copy.Get(Property::kFill), "blue");      // inherited from the use
    EXPECT_EQ(copy.Get(Property::kOpacity), "");
    ASSERT_EQ(copy.children.size(), 2u);
    EXPECT_EQ(copy.children[0]->Attribute("x"), "1");
    EXPECT_EQ(copy.children[0]->parent, &copy);
    EXPECT_EQ(copy.children[0]->Get(Property::kFill), "blue");
    EXPECT_EQ(copy.children[1]->tag, Tag::kCircle);
    // The original is untouched, and still the one found by its id.
    EXPECT_EQ(ById(tree, "inner").Get(Property::kFill), "red");
    EXPECT_EQ(ById(tree, "inner").parent, &ById(tree, "shape"));

    EXPECT_EQ(ById(tree, "u2").referenced, &ById(tree, "inner"));  // href wins
}

TEST(Use, UsesInsideTheReferencedElementAreInstantiatedInTheCopyWhateverTheirOrder) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <use id="outer" href="#pair"/>
      <g id="pair"><use href="#dot"/><use href="#dot"/></g>
      <defs><circle id="dot" r="1"/></defs>
    </svg>)x");
    const Element& copy = *ById(tree, "outer").children.at(0);
    ASSERT_EQ(copy.children.size(), 2u);
    for (const Element* innerUse : copy.children) {
        EXPECT_EQ(innerUse->tag, Tag::kUse);
        EXPECT_EQ(innerUse->referenced, &ById(tree, "dot"));
        ASSERT_EQ(innerUse->children.size(), 1u);
        EXPECT_EQ(innerUse->children[0]->Attribute("r"), "1");
        EXPECT_EQ(innerUse->children[0]->parent, innerUse);
    }
}

TEST(Use, ReferencesThatCannotBeFollowedMakeNoChildAndAreReported) {
    LossReport losses;
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <use id="missing" href="#nowhere"/>
      <use href="#nowhere"/>
      <use id="file" href="other.svg#x"/>
      <use id="empty"/>
      <use id="self" href="#self"/>
      <g id="ancestor"><g><use id="loop" href="#ancestor"/></g></g>
      <use id="a" href="#b"/><g id="b"><use href="#c"/></g><g id="c"><use id="back" href="#a"/></g>
    </svg>)x", &losses);
    for (const char* id : {"missing", "file", "empty", "self", "loop"}) {
        EXPECT_TRUE(ById(tree, id).children.empty()) << id;
        EXPECT_EQ(ById(tree, id).referenced, nullptr) << id;
    }
    EXPECT_EQ(Kinds(losses),
              "use of a missing element x2 at id \"missing\"; "
              "use of an element of another file x1 at id \"file\"; "
              "use without a reference x1 at id \"empty\"; "
              "use that refers to itself (a cycle) x3 at id \"self\"");
    // The indirect cycle a -> b -> c -> a is cut where it closes: the last use met gets nothing.
    EXPECT_TRUE(ById(tree, "back").children.empty());
    EXPECT_EQ(ById(tree, "a").children.size(), 1u);
}

std::string ChainOfGroups(int length) {
    // g(k) holds a use of g(k-1), declared from the top down, so that every use waits for the
    // one it copies: the dependencies form a chain as long as the file.
    std::string svg = R"x(<svg xmlns="http://www.w3.org/2000/svg">)x";
    for (int i = length - 1; i >= 1; --i) {
        svg += "<g id=\"g" + std::to_string(i) + "\"><use href=\"#g" + std::to_string(i - 1) + "\"/></g>";
    }
    return svg + R"x(<rect id="g0" fill="red"/></svg>)x";
}

std::string ErrorOf(const std::string& svg, const TreeOptions& options) {
    try {
        Parse(svg, nullptr, options);
    } catch (const SvgError& error) {
        return error.what();
    }
    return "no error";
}

TEST(Use, ChainsOfUsesResolveWithoutRecursionUntilTheirCopiesMeetTheBounds) {
    TreeOptions options;
    options.maxDepth = 1000;
    options.maxElements = 100'000;
    // Short enough: every level holds the copies of all the levels below.
    const Tree tree = Parse(ChainOfGroups(100), nullptr, options);
    const Element* element = &ById(tree, "g99");
    int levels = 0;
    while (!element->children.empty()) {
        element = element->children.back();
        ++levels;
    }
    EXPECT_EQ(element->tag, Tag::kRect);
    EXPECT_EQ(levels, 2 * 99);

    // A chain of 20000 is resolved with an explicit stack; its copies, quadratic in number,
    // stop at the element bound, and nest deeper than the depth bound.
    EXPECT_NE(ErrorOf(ChainOfGroups(20000), options).find("more than 100000 elements once <use>"),
              std::string::npos);
    options.maxElements = 4'000'000;
    options.maxDepth = 150;
    EXPECT_NE(ErrorOf(ChainOfGroups(100), options).find("nested deeper than 150 levels once <use>"),
              std::string::npos);
}

TEST(Use, ExponentialUseBombsStopAtTheElementBound) {
    std::string svg = R"x(<svg xmlns="http://www.w3.org/2000/svg"><rect id="l0"/>)x";
    for (int level = 1; level <= 30; ++level) {
        const std::string below = "#l" + std::to_string(level - 1);
        svg += "<g id=\"l" + std::to_string(level) + "\">";
        for (int copy = 0; copy < 10; ++copy) svg += "<use href=\"" + below + "\"/>";
        svg += "</g>";
    }
    svg += "</svg>";
    TreeOptions options;
    options.maxElements = 50'000;
    EXPECT_NE(ErrorOf(svg, options).find("test.svg: the file has more than 50000 elements once <use>"),
              std::string::npos);
}

}  // namespace
}  // namespace document::svg
