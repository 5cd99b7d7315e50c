// The style cascade: where each property's value comes from, and what the CSS reader skips.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "tests/svg/tree/parse.h"

namespace document::svg {
namespace {

using testing::ById;
using testing::Kinds;
using testing::Parse;

TEST(Cascade, OriginsRankPresentationThenSheetThenStyleThenImportantSheetThenImportantStyle) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style>
        rect { fill: red; stroke: red; stroke-width: 1; opacity: 0.1 !important; color: red !important }
      </style>
      <rect id="presentation" fill-rule="evenodd"/>
      <rect id="sheet" fill="blue"/>
      <rect id="style" stroke="blue" style="stroke: green"/>
      <rect id="important-sheet" style="opacity: 0.5"/>
      <rect id="important-style" style="color: blue !important"/>
    </svg>)x");
    EXPECT_EQ(ById(tree, "presentation").Get(Property::kFillRule), "evenodd");
    EXPECT_EQ(ById(tree, "presentation").Get(Property::kFill), "red");
    EXPECT_EQ(ById(tree, "sheet").Get(Property::kFill), "red");  // the sheet beats the attribute
    EXPECT_EQ(ById(tree, "style").Get(Property::kStroke), "green");
    EXPECT_EQ(ById(tree, "style").Get(Property::kStrokeWidth), "1");
    EXPECT_EQ(ById(tree, "important-sheet").Get(Property::kOpacity), "0.1");
    EXPECT_EQ(ById(tree, "important-style").Get(Property::kColor), "blue");
}

TEST(Cascade, SheetRulesRankBySpecificityThenSourceOrderAcrossSheets) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style>
        #a { fill: id }
        rect.b { fill: type-and-class }
        .b { fill: class; stroke: class }
        rect { fill: type; stroke: type; stroke-width: type }
        * { stroke-width: universal; stroke-opacity: universal }
        .c.b { stroke-linecap: two-classes }
        rect.c { stroke-linecap: type-and-class }
      </style>
      <rect id="a" class="b c"/>
      <rect id="x" class="b"/>
      <circle id="y"/>
      <style>.b { stroke: later-class } rect { stroke-opacity: later-type }</style>
    </svg>)x");
    const Element& a = ById(tree, "a");
    EXPECT_EQ(a.Get(Property::kFill), "id");
    EXPECT_EQ(a.Get(Property::kStrokeLinecap), "two-classes");
    EXPECT_EQ(ById(tree, "x").Get(Property::kFill), "type-and-class");
    EXPECT_EQ(ById(tree, "x").Get(Property::kStroke), "later-class");  // a later sheet, same rank
    EXPECT_EQ(ById(tree, "x").Get(Property::kStrokeWidth), "type");
    EXPECT_EQ(ById(tree, "x").Get(Property::kStrokeOpacity), "later-type");
    EXPECT_EQ(ById(tree, "y").Get(Property::kStrokeWidth), "universal");
    EXPECT_EQ(ById(tree, "y").Get(Property::kFill), "");
}

TEST(Cascade, SelectorListsAndCompoundsMatchOnlyTheirElements) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style>
        circle, .round , #named { fill: listed }
        rect.a#b { stroke: compound }
        *.a { stroke-width: 2 }
        #one#two { opacity: 0 }
      </style>
      <circle id="c"/>
      <path id="p" class="x round"/>
      <path id="named"/>
      <rect id="b" class="a"/>
      <rect id="not-b" class="a"/>
      <circle id="b2" class="a"/>
      <rect id="one"/>
      <rect id="plain" class="rounded"/>
    </svg>)x");
    EXPECT_EQ(ById(tree, "c").Get(Property::kFill), "listed");
    EXPECT_EQ(ById(tree, "p").Get(Property::kFill), "listed");
    EXPECT_EQ(ById(tree, "named").Get(Property::kFill), "listed");
    EXPECT_EQ(ById(tree, "b").Get(Property::kStroke), "compound");
    EXPECT_EQ(ById(tree, "not-b").Get(Property::kStroke), "");
    EXPECT_EQ(ById(tree, "b2").Get(Property::kStroke), "");
    EXPECT_EQ(ById(tree, "b2").Get(Property::kStrokeWidth), "2");
    EXPECT_EQ(ById(tree, "one").Get(Property::kOpacity), "");
    EXPECT_EQ(ById(tree, "plain").Get(Property::kFill), "");
}

TEST(Cascade, RulesWithSelectorsItCannotMatchAreSkippedWholeAndReportedByKind) {
    LossReport losses;
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style id="sheet">
        g rect { fill: descendant }
        g > rect, rect { fill: child }
        rect + rect { fill: sibling }
        rect[id] { fill: attribute }
        rect:hover { fill: pseudo }
        svg|rect { fill: namespaced }
        rect { stroke: kept }
      </style>
      <g><rect id="r"/></g>
    </svg>)x", &losses);
    EXPECT_EQ(ById(tree, "r").Get(Property::kFill), "");
    EXPECT_EQ(ById(tree, "r").Get(Property::kStroke), "kept");
    EXPECT_EQ(Kinds(losses), "CSS selector not supported x6 at id \"sheet\"");
}

TEST(Cascade, AtRulesAreSkippedWithTheirBlocksAndNeverLoaded) {
    LossReport losses;
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style>
        @import url("other.css");
        @media print { rect { fill: media } }
        @font-face { font-family: "x{"; src: url(x.woff) }
        rect { fill: after }
      </style>
      <rect id="r"/>
    </svg>)x", &losses);
    EXPECT_EQ(ById(tree, "r").Get(Property::kFill), "after");
    EXPECT_EQ(Kinds(losses), "CSS @import rule skipped x1 at line 2; CSS @media rule skipped x1 at line 2; "
                             "CSS @font-face rule skipped x1 at line 2");
}

TEST(Cascade, CommentsStringsCdataAndMarkupCommentMarksAreRead) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style type="text/css"><![CDATA[
        <!-- /* rect { fill: commented } */
        rect /* between */ { fill: /* inside */ url("#a;b") ; stroke: red /* } */ }
        -->
      ]]></style>
      <rect id="r" style="stroke-width: /* no */ 3; fill-opacity: 'x;y' ; opacity :0.5;"/>
    </svg>)x");
    const Element& r = ById(tree, "r");
    EXPECT_EQ(r.Get(Property::kFill), R"x(url("#a;b"))x");
    EXPECT_EQ(r.Get(Property::kStroke), "red");
    EXPECT_EQ(r.Get(Property::kStrokeWidth), "3");
    EXPECT_EQ(r.Get(Property::kFillOpacity), "'x;y'");
    EXPECT_EQ(r.Get(Property::kOpacity), "0.5");
}

TEST(Cascade, StyleDeclarationsAreCaseInsensitiveNamedTrimmedAndLaterOnesWin) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <rect id="r" fill="  red  " style="FILL: blue; fill: green;STROKE-width:2 ! IMPORTANT;stroke-width:9; opacity:; nonsense; font-family: x; marker: url(#m)"/>
      <path id="data" style="fill: url(data:image/png;base64,AAA=)"/>
    </svg>)x");
    const Element& r = ById(tree, "r");
    EXPECT_EQ(r.Get(Property::kFill), "green");
    EXPECT_EQ(r.Get(Property::kStrokeWidth), "2");
    EXPECT_EQ(r.Get(Property::kOpacity), "");
    EXPECT_EQ(r.Get(Property::kMarkerStart), "url(#m)");
    EXPECT_EQ(r.Get(Property::kMarkerMid), "url(#m)");
    EXPECT_EQ(r.Get(Property::kMarkerEnd), "url(#m)");
    EXPECT_EQ(ById(tree, "data").Get(Property::kFill), "url(data:image/png;base64,AAA=)");
}

TEST(Cascade, RepeatedStyleTextsGiveEachElementItsOwnDeclarations) {
    // Style texts are parsed once and looked up again by their text: thousands of different
    // texts (more than the lookup keeps, and more declarations than it holds before it starts
    // over), each used twice far apart, and texts that differ only in their last character or
    // in case, or that say nothing.
    constexpr int kTexts = 9000;
    std::string svg = R"x(<svg xmlns="http://www.w3.org/2000/svg">)x";
    auto style = [](int i) {
        return "fill:#" + std::to_string(100000 + i) + ";stroke-width:" + std::to_string(i) + ";opacity:" +
               (i % 2 ? "0.5" : "1");
    };
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kTexts; ++i) {
            svg += "<rect id=\"r" + std::to_string(round) + "-" + std::to_string(i) + "\" style=\"" + style(i) + "\"/>";
        }
    }
    svg += R"x(<rect id="a" style="fill:red;stroke:blue"/><rect id="b" style="fill:red;stroke:bluf"/>
      <rect id="c" style="FILL:red;stroke:blue"/><rect id="d" style="nonsense"/><rect id="e" style="nonsense"/>
      <rect id="f" style="fill:red;stroke:blue !important"/><rect id="g" style="fill:red;stroke:blue"/></svg>)x";
    const Tree tree = Parse(svg);
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < kTexts; i += 7) {
            const Element& r = ById(tree, "r" + std::to_string(round) + "-" + std::to_string(i));
            ASSERT_EQ(r.Get(Property::kFill), "#" + std::to_string(100000 + i)) << "round " << round << ", text " << i;
            ASSERT_EQ(r.Get(Property::kStrokeWidth), std::to_string(i));
            ASSERT_EQ(r.Get(Property::kOpacity), i % 2 ? "0.5" : "1");
        }
    }
    EXPECT_EQ(ById(tree, "a").Get(Property::kStroke), "blue");
    EXPECT_EQ(ById(tree, "b").Get(Property::kStroke), "bluf");
    EXPECT_EQ(ById(tree, "c").Get(Property::kFill), "red");
    EXPECT_EQ(ById(tree, "d").Get(Property::kFill), "");
    EXPECT_EQ(ById(tree, "e").Get(Property::kStroke), "");
    EXPECT_EQ(ById(tree, "f").Get(Property::kStroke), "blue");
    EXPECT_EQ(ById(tree, "g").Get(Property::kStroke), "blue");
    EXPECT_EQ(ById(tree, "g").Get(Property::kFill), "red");
}

TEST(Cascade, StyleTextsSeenBeforeTheLookupStartsOverAreReadAgain) {
    // Early texts, then one text of more declarations than the lookup holds, then a new text
    // (which makes it start over), then the early texts again.
    std::string svg = R"x(<svg xmlns="http://www.w3.org/2000/svg">)x";
    for (int i = 0; i < 20; ++i) svg += "<rect id=\"early" + std::to_string(i) + "\" style=\"stroke-width:" + std::to_string(i) + "\"/>";
    svg += "<rect id=\"giant\" style=\"";
    for (int i = 0; i < 17000; ++i) svg += "fill:red;";
    svg += "fill:blue\"/><rect id=\"new\" style=\"opacity:0.25;fill:green;stroke:black\"/>";
    for (int i = 0; i < 20; ++i) svg += "<rect id=\"again" + std::to_string(i) + "\" style=\"stroke-width:" + std::to_string(i) + "\"/>";
    svg += "</svg>";
    const Tree tree = Parse(svg);
    EXPECT_EQ(ById(tree, "giant").Get(Property::kFill), "blue");
    EXPECT_EQ(ById(tree, "new").Get(Property::kOpacity), "0.25");
    for (int i = 0; i < 20; ++i) {
        const Element& again = ById(tree, "again" + std::to_string(i));
        EXPECT_EQ(again.Get(Property::kStrokeWidth), std::to_string(i));
        EXPECT_EQ(again.Get(Property::kFill), "");
        EXPECT_EQ(again.Get(Property::kOpacity), "");
    }
}

TEST(Cascade, EveryPropertyIsReadByItsOwnNameAndNoOther) {
    // Each property as a presentation attribute and as a declaration in upper case, beside
    // names one letter off, which are no property.
    for (size_t i = 0; i < size_t(Property::kCount); ++i) {
        const std::string name(PropertyName(Property(i)));
        std::string upper = name;
        for (char& c : upper) c = char(std::toupper(static_cast<unsigned char>(c)));
        const std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\"><rect id=\"a\" " + name +
                                "=\"v\" " + name + "s=\"w\" " + name.substr(1) + "=\"w\"/><rect id=\"s\" style=\"" +
                                upper + ": v; " + name.substr(0, name.size() - 1) + ": w\"/></svg>";
        const Tree tree = Parse(svg);
        for (const char* id : {"a", "s"}) {
            const Element& element = ById(tree, id);
            for (size_t j = 0; j < size_t(Property::kCount); ++j) {
                if (j == i) {
                    EXPECT_EQ(element.Get(Property(j)), "v") << name << " on " << id;
                } else {
                    EXPECT_NE(element.Get(Property(j)), "w") << name << " on " << id << " set " << PropertyName(Property(j));
                }
            }
        }
    }
}

TEST(Cascade, SheetsOfAnotherTypeAreNotReadAndReported) {
    LossReport losses;
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg">
      <style type="text/less">rect { fill: red }</style>
      <style type=" TEXT/CSS ">rect { stroke: blue }</style>
      <rect id="r"/>
    </svg>)x", &losses);
    EXPECT_EQ(ById(tree, "r").Get(Property::kFill), "");
    EXPECT_EQ(ById(tree, "r").Get(Property::kStroke), "blue");
    EXPECT_EQ(Kinds(losses), "style sheet of type text/less x1 at line 2");
}

TEST(Inheritance, InheritedPropertiesComeFromTheParentOthersDoNot) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg" fill="red" opacity="0.5">
      <g stroke="blue" display="none" clip-path="url(#c)" mask="url(#m)" filter="url(#f)"
         stop-color="red" stop-opacity="0.1" visibility="hidden" color="teal" font-size="20"
         clip-rule="evenodd" marker-end="url(#e)" stroke-dasharray="1 2" style="overflow: visible">
        <g><rect id="r"/></g>
      </g>
    </svg>)x");
    const Element& r = ById(tree, "r");
    for (Property property : {Property::kFill, Property::kStroke, Property::kVisibility,
                              Property::kColor, Property::kFontSize, Property::kClipRule,
                              Property::kMarkerEnd, Property::kStrokeDasharray}) {
        EXPECT_FALSE(r.Get(property).empty()) << PropertyName(property);
        EXPECT_TRUE(IsInherited(property)) << PropertyName(property);
    }
    EXPECT_EQ(r.Get(Property::kFill), "red");
    EXPECT_EQ(r.Get(Property::kStroke), "blue");
    for (Property property : {Property::kOpacity, Property::kDisplay, Property::kClipPath,
                              Property::kMask, Property::kFilter, Property::kStopColor,
                              Property::kStopOpacity, Property::kOverflow}) {
        EXPECT_EQ(r.Get(property), "") << PropertyName(property);
    }
}

TEST(Inheritance, FontSizeIsComputedAgainstTheParentsAndInherited) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg" font-size="inherit">
      <style>.half { font-size: 50% } #sheet { font-size: 3em }</style>
      <g id="unset"><rect id="child-of-unset"/></g>
      <g id="em" font-size="10">
        <g id="own-em" style="font-size: 2em">
          <rect id="inherits-computed"/>
          <rect id="half" class="half"/>
          <rect id="sheet" font-size="1"/>
          <rect id="ignored" font-size="-3"/>
          <use href="#copied"/>
        </g>
      </g>
      <defs><rect id="copied" font-size="1.5em"/></defs>
    </svg>)x");
    EXPECT_DOUBLE_EQ(tree.Root().fontSize, 16);  // medium: nothing to inherit from
    EXPECT_DOUBLE_EQ(ById(tree, "child-of-unset").fontSize, 16);
    EXPECT_DOUBLE_EQ(ById(tree, "em").fontSize, 10);
    EXPECT_DOUBLE_EQ(ById(tree, "own-em").fontSize, 20);
    // The computed size is inherited, not the text "2em" applied again.
    EXPECT_DOUBLE_EQ(ById(tree, "inherits-computed").fontSize, 20);
    EXPECT_DOUBLE_EQ(ById(tree, "half").fontSize, 10);
    EXPECT_DOUBLE_EQ(ById(tree, "sheet").fontSize, 60);
    EXPECT_DOUBLE_EQ(ById(tree, "ignored").fontSize, 20);
    // The <use> copy computes its size in its new place: 1.5em of 20; the original in <defs>
    // against the root's 16.
    EXPECT_DOUBLE_EQ(ById(tree, "copied").fontSize, 24);
    const Element& use = *ById(tree, "own-em").children.back();
    ASSERT_EQ(use.children.size(), 1u);
    EXPECT_DOUBLE_EQ(use.children.front()->fontSize, 30);
}

TEST(Inheritance, InheritTakesTheParentsComputedValueOfAnyProperty) {
    const Tree tree = Parse(R"x(<svg xmlns="http://www.w3.org/2000/svg" opacity="inherit">
      <style>.i { opacity: inherit }</style>
      <g opacity="0.5" fill="red" style="stroke: blue">
        <g id="middle" class="i" fill="inherit">
          <rect id="r" class="i" fill="green" style="fill: INHERIT"/>
        </g>
      </g>
    </svg>)x");
    EXPECT_EQ(tree.Root().Get(Property::kOpacity), "");  // nothing to inherit from
    EXPECT_EQ(ById(tree, "middle").Get(Property::kOpacity), "0.5");
    EXPECT_EQ(ById(tree, "r").Get(Property::kOpacity), "0.5");
    EXPECT_EQ(ById(tree, "r").Get(Property::kFill), "red");
    EXPECT_EQ(ById(tree, "r").Get(Property::kStroke), "blue");
}

TEST(Inheritance, AThirtyThousandDeepTreeInheritsWithoutExhaustingTheStack) {
    constexpr int kDepth = 32000;
    std::string svg = R"x(<svg xmlns="http://www.w3.org/2000/svg" fill="red">)x";
    for (int i = 1; i < kDepth - 1; ++i) svg += "<g>";
    svg += R"x(<rect id="deep"/>)x";
    for (int i = 1; i < kDepth - 1; ++i) svg += "</g>";
    svg += "</svg>";
    const Tree tree = Parse(svg);
    const Element& deep = ById(tree, "deep");
    EXPECT_EQ(deep.Get(Property::kFill), "red");
    int depth = 0;
    for (const Element* e = &deep; e != nullptr; e = e->parent) ++depth;
    EXPECT_EQ(depth, kDepth);
}

}  // namespace
}  // namespace document::svg
