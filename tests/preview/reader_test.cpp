// Reading XAML: the scene's size, and every kind of fault refused with the file, the line and
// the element (and attribute) named, never another exception.
#include <gtest/gtest.h>

#include <string>

#include "preview_test_support.h"

namespace {

using preview_test::InCanvas;
using preview_test::kWpf;

struct Refused {
    int line = 0;
    std::string message;
};

Refused RefusalOf(const std::string& xaml) {
    try {
        preview::ReadXaml(xaml, "bad.xaml");
    } catch (const preview::XamlError& error) {
        return {error.Line(), error.what()};
    }
    ADD_FAILURE() << "read without complaint: " << xaml;
    return {};
}

void ExpectRefused(const std::string& xaml, int line, const std::string& part) {
    const Refused refused = RefusalOf(xaml);
    EXPECT_EQ(refused.line, line) << refused.message;
    EXPECT_EQ(refused.message.rfind("bad.xaml:" + std::to_string(line) + ": ", 0), 0u) << refused.message;
    EXPECT_NE(refused.message.find(part), std::string::npos) << refused.message;
}

TEST(ReadXaml, TheSceneHasTheOuterElementsSize) {
    const preview::Scene canvas = preview::ReadXaml(InCanvas("", 120, 80), "a.xaml");
    EXPECT_EQ(canvas.Width(), 120);
    EXPECT_EQ(canvas.Height(), 80);
    const preview::Scene viewbox = preview::ReadXaml(
        std::string("<Viewbox xmlns=\"") + kWpf + "\" Width=\"300.5\" Height=\"20\"><Canvas Width=\"10\" Height=\"10\"/></Viewbox>",
        "b.xaml");
    EXPECT_EQ(viewbox.Width(), 300.5);
    EXPECT_EQ(viewbox.Height(), 20);
}

TEST(ReadXaml, CommentsBlanksAndTheTwoNamespacesAreAccepted) {
    const std::string xaml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!-- a comment -->\n"
        "<Canvas xmlns=\"http://schemas.microsoft.com/client/2007\" xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\"\n"
        "  Width=\"10\" Height=\"10\" x:Name=\"root\">\n  <!-- inside -->\n  <Path Data=\"M 0,0 L 10,10\"/>\n</Canvas>\n";
    EXPECT_NO_THROW(preview::ReadXaml(xaml, "ok.xaml"));
}

TEST(ReadXaml, FaultsOfTheXmlNameTheLine) {
    ExpectRefused("", 1, "the file is empty");
    ExpectRefused("  \n\n ", 1, "the file is empty");
    ExpectRefused(InCanvas("\n\n<Path>"), 3, "not well-formed");
    ExpectRefused("<Canvas", 1, "not well-formed");
    ExpectRefused("<!DOCTYPE Canvas [<!ENTITY a \"b\">]>\n" + InCanvas(""), 1, "document type");
    ExpectRefused(InCanvas("\nsome words"), 2, "text is not allowed in <Canvas>");
}

TEST(ReadXaml, UnknownElementsAndAttributesAreNamed) {
    ExpectRefused(InCanvas("\n<Ellipse Width=\"3\"/>"), 2, "<Ellipse> cannot stand inside a <Canvas>");
    ExpectRefused(InCanvas("\n\n<Path Dta=\"M 0,0\"/>"), 3, "<Path> has no attribute Dta");
    ExpectRefused(InCanvas("<Path><Path.Fill><SolidColorBrush Colour=\"Red\"/></Path.Fill></Path>"), 1,
                  "<SolidColorBrush> has no attribute Colour");
    ExpectRefused(InCanvas("<Path><Path.Fill><ImageBrush/></Path.Fill></Path>"), 1, "<ImageBrush> is not a brush");
    ExpectRefused(InCanvas("<Path><Canvas.Fill/></Path>"), 1, "<Canvas.Fill> is not a property of <Path>");
    ExpectRefused(InCanvas("<Path><Path.Fill>\n<SolidColorBrush/><SolidColorBrush/></Path.Fill></Path>"), 1,
                  "<Path.Fill> holds exactly one element");
    ExpectRefused("<Canvas Width=\"1\" Height=\"1\"/>", 1, "<Canvas> is in no namespace");
    ExpectRefused(std::string("<Ellipse xmlns=\"") + kWpf + "\"/>", 1, "can stand outermost");
    ExpectRefused(InCanvas("<Path xmlns:o=\"urn:other\" o:Data=\"M 0,0\"/>"), 1, "namespace urn:other");
}

TEST(ReadXaml, MissingAndMalformedValuesNameTheAttribute) {
    ExpectRefused(std::string("<Canvas xmlns=\"") + kWpf + "\" Width=\"10\"/>", 1, "needs a Width and a Height");
    ExpectRefused(InCanvas("\n<Path StrokeThickness=\"thick\"/>"), 2,
                  "<Path> attribute StrokeThickness: \"thick\" is not a finite number");
    ExpectRefused(InCanvas("<Path Fill=\"#12345\"/>"), 1, "<Path> attribute Fill:");
    ExpectRefused(InCanvas("<Path Fill=\"Reddish\"/>"), 1, "\"Reddish\" is not a colour");
    // WPF has CSS's colour names but for the "grey" spellings and rebeccapurple.
    ExpectRefused(InCanvas("<Path Fill=\"LightGrey\"/>"), 1, "\"LightGrey\" is not a colour");
    ExpectRefused(InCanvas("<Path Fill=\"RebeccaPurple\"/>"), 1, "is not a colour");
    ExpectRefused(InCanvas("<Path StrokeLineJoin=\"Pointy\"/>"), 1, "is not one of Miter, Bevel or Round");
    ExpectRefused(InCanvas("<Path Opacity=\"1e999\"/>"), 1, "beyond the range");
    ExpectRefused(InCanvas("<Path Opacity=\"NaN\"/>"), 1, "not a finite number");
    ExpectRefused(InCanvas("<Path Width=\"-3\"/>"), 1, "may not be negative");
    ExpectRefused(InCanvas("<Path StrokeDashArray=\"1,,2\"/>"), 1, "an empty item");
    ExpectRefused(InCanvas("<Path StrokeDashArray=\"1,-2\"/>"), 1, "may not be negative");
    ExpectRefused(InCanvas("<Path RenderTransform=\"1,0,0,1,0\"/>"), 1, "is not a matrix");
    ExpectRefused(InCanvas("<Path Fill=\"Red\" Fill=\"Blue\"/>"), 1, "not well-formed");
    ExpectRefused(InCanvas("<Path Fill=\"Red\"><Path.Fill><SolidColorBrush/></Path.Fill></Path>"), 1,
                  "sets Fill more than once");
}

TEST(ReadXaml, MalformedPathMarkupSaysWhere) {
    ExpectRefused(InCanvas("<Path Data=\"M 1\"/>"), 1, "a number is missing at the end");
    ExpectRefused(InCanvas("<Path Data=\"L 1,2\"/>"), 1, "the first command is not M");
    ExpectRefused(InCanvas("<Path Data=\"M 1,2 X 3,4\"/>"), 1, "at character 7: 'X' is not a command");
    ExpectRefused(InCanvas("<Path Data=\"F2 M 1,2\"/>"), 1, "F is followed by 0 or 1");
    ExpectRefused(InCanvas("<Path Data=\"M 1,2 L 1e400,0\"/>"), 1, "out of range");
    ExpectRefused(InCanvas("<Path Data=\"M 0,0 C 1,1 2,2\"/>"), 1, "a number is missing");
}

TEST(ReadXaml, NestingIsBounded) {
    std::string deep;
    for (int i = 0; i < 2000; ++i) deep += "<Canvas>";
    const Refused refused = RefusalOf(InCanvas(deep));
    EXPECT_NE(refused.message.find("nested deeper than"), std::string::npos) << refused.message;
}

TEST(ReadXaml, AGradientStopWithoutValuesTakesTheDefaults) {
    // Offset 0 and a transparent colour, as in WPF; reading it leaks nothing (the sanitizers).
    EXPECT_NO_THROW(preview::ReadXaml(
        InCanvas("<Path Data=\"M 0,0 L 10,0 L 10,10 Z\"><Path.Fill><LinearGradientBrush><LinearGradientBrush.GradientStops>"
                 "<GradientStop/></LinearGradientBrush.GradientStops></LinearGradientBrush></Path.Fill></Path>"),
        "stop.xaml"));
    ExpectRefused(InCanvas("<Path><Path.Fill><LinearGradientBrush><LinearGradientBrush.GradientStops>\n"
                           "<GradientStop Offset=\"0\"/><GradientStop Offset=\"x\"/>"
                           "</LinearGradientBrush.GradientStops></LinearGradientBrush></Path.Fill></Path>"),
                  2, "<GradientStop> attribute Offset");
}

}  // namespace
