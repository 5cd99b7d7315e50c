// Which elements and attributes the tree keeps: namespaces, tags, ids, labels, entities.
#include <gtest/gtest.h>

#include "tests/svg/tree/parse.h"

namespace document::svg {
namespace {

using testing::ById;
using testing::Parse;

std::string ChildNames(const Element& element) {
    std::string names;
    for (const Element* child : element.children) names += std::string(child->name) + " ";
    return names;
}

TEST(Namespaces, OtherNamespacesElementsAreDroppedWithTheirContent) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg"
        xmlns:editor="http://example.org/editor" xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
      <editor:namedview><rect id="hidden-in-editor"/><editor:guide/></editor:namedview>
      <metadata id="meta"><rdf:RDF><rdf:Description><rect id="hidden-in-rdf"/></rdf:Description></rdf:RDF></metadata>
      <foreignObject id="fo"><div xmlns="http://www.w3.org/1999/xhtml"><p>text</p></div><rect id="in-fo"/></foreignObject>
      <g id="kept"><rect/></g>
    </svg>)x");
    EXPECT_EQ(ChildNames(tree.Root()), "metadata foreignObject g ");
    EXPECT_TRUE(ById(tree, "meta").children.empty());
    EXPECT_TRUE(ById(tree, "fo").children.empty());
    EXPECT_EQ(tree.FindById("hidden-in-editor"), nullptr);
    EXPECT_EQ(tree.FindById("hidden-in-rdf"), nullptr);
    EXPECT_EQ(tree.FindById("in-fo"), nullptr);
    EXPECT_EQ(ById(tree, "kept").children.size(), 1u);
}

TEST(Namespaces, ElementsWithoutANamespaceArePrefixedOnesReadAsSvg) {
    const Tree plain = Parse(R"x(<svg><g id="g"><rect id="r" fill="red"/></g></svg>)x");
    EXPECT_EQ(ById(plain, "r").tag, Tag::kRect);
    EXPECT_EQ(ById(plain, "r").parent, &ById(plain, "g"));

    const Tree prefixed = Parse(R"x(<s:svg xmlns:s="http://www.w3.org/2000/svg"><s:rect id="r"/></s:svg>)x");
    EXPECT_EQ(ById(prefixed, "r").tag, Tag::kRect);
    EXPECT_EQ(ById(prefixed, "r").name, "rect");
}

TEST(Namespaces, NamespaceUrisDeclaredAsInternalEntitiesAreExpanded) {
    const Tree tree = Parse(R"x(<?xml version="1.0"?>
<!DOCTYPE svg PUBLIC "-//W3C//DTD SVG 1.0//EN" "http://www.w3.org/TR/2001/REC-SVG-20010904/DTD/svg10.dtd" [
  <!ENTITY ns_svg "http://www.w3.org/2000/svg">
  <!ENTITY ns_xlink "http://www.w3.org/1999/xlink">
  <!ENTITY ns_other "http://example.org/other">
  <!ENTITY colour "blue">
]>
<svg xmlns="&ns_svg;" xmlns:xlink="&ns_xlink;" xmlns:o="&ns_other;">
  <o:data><rect id="dropped"/></o:data>
  <rect id="r" fill="&colour;"/>
  <use id="u" xlink:href="#r"/>
</svg>)x");
    EXPECT_EQ(tree.FindById("dropped"), nullptr);
    EXPECT_EQ(ById(tree, "r").Get(Property::kFill), "blue");
    EXPECT_EQ(ById(tree, "u").Attribute("href"), "#r");
    EXPECT_EQ(ById(tree, "u").referenced, &ById(tree, "r"));
}

TEST(Elements, TagsIdsLinesAndAttributesAreKept) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
        xmlns:o="http://example.org/other" viewBox="0 0 10 10">
  <defs><linearGradient id="lg"><stop offset="0.5" stop-color="red"/></linearGradient></defs>
  <path id=" p " d="M0 0L1 1" o:extra="x" class="c" fill="red"/>
  <unknownThing id="u"/>
  <a xlink:href="#x" href="#y" id="link"/>
  <text xml:space="preserve" id="t">a</text>
  <rect id="p"/>
</svg>)x");
    const Element& root = tree.Root();
    EXPECT_EQ(root.tag, Tag::kSvg);
    EXPECT_EQ(root.Attribute("viewBox"), "0 0 10 10");
    EXPECT_EQ(ChildNames(root), "defs path unknownThing a text rect ");

    const Element& path = ById(tree, "p");
    EXPECT_EQ(path.tag, Tag::kPath);
    EXPECT_EQ(path.line, 4);
    EXPECT_EQ(path.Attribute("d"), "M0 0L1 1");
    EXPECT_TRUE(path.HasAttribute("class"));
    EXPECT_FALSE(path.HasAttribute("extra"));  // of another namespace
    EXPECT_FALSE(path.HasAttribute("fill"));   // a property, not an attribute
    EXPECT_FALSE(path.HasAttribute("x"));
    EXPECT_EQ(path.Get(Property::kFill), "red");
    EXPECT_EQ(&ById(tree, "p"), tree.Root().children[1]);  // the first of two with one id

    EXPECT_EQ(ById(tree, "u").tag, Tag::kOther);
    EXPECT_EQ(ById(tree, "u").name, "unknownThing");
    EXPECT_EQ(ById(tree, "link").tag, Tag::kA);
    EXPECT_EQ(ById(tree, "link").Attribute("href"), "#y");  // href wins over xlink:href
    EXPECT_EQ(ById(tree, "t").Attribute("xml:space"), "preserve");
    const Element& stop = *ById(tree, "lg").children.at(0);
    EXPECT_EQ(stop.tag, Tag::kStop);
    EXPECT_EQ(stop.Attribute("offset"), "0.5");
    EXPECT_EQ(stop.Get(Property::kStopColor), "red");
    EXPECT_EQ(stop.parent, &ById(tree, "lg"));
}

TEST(Elements, LabelsComeFromTheEditorsLabelOrDataName) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg"
        xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape" xmlns:o="http://example.org/other">
      <g id="a" inkscape:label="Layer 1"/>
      <g id="b" data-name="Group &amp; co"/>
      <g id="c" data-name="second" inkscape:label="first"/>
      <g id="d" o:label="not a label"/>
    </svg>)x");
    EXPECT_EQ(ById(tree, "a").label, "Layer 1");
    EXPECT_EQ(ById(tree, "b").label, "Group & co");
    EXPECT_EQ(ById(tree, "c").label, "first");
    EXPECT_EQ(ById(tree, "d").label, "");
    EXPECT_FALSE(ById(tree, "b").HasAttribute("data-name"));
}

TEST(Elements, LossReportCountsEachKindOnceWithItsFirstPlace) {
    LossReport losses;
    losses.Add("mask", "id \"m\"");
    losses.Add("filter", "line 3");
    losses.Add("mask", "line 9");
    ASSERT_EQ(losses.Entries().size(), 2u);
    EXPECT_EQ(losses.Entries()[0].kind, "mask");
    EXPECT_EQ(losses.Entries()[0].count, 2u);
    EXPECT_EQ(losses.Entries()[0].first, "id \"m\"");
    EXPECT_EQ(losses.Entries()[1].kind, "filter");
    EXPECT_EQ(losses.Entries()[1].count, 1u);
}

}  // namespace
}  // namespace document::svg
