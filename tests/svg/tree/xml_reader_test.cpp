// The XML layer's two parsers: the fast one must read what it takes exactly as expat does, and
// leave to expat whatever expat reads otherwise or refuses, so that messages stay expat's.
#include <gtest/gtest.h>

#include <string>

#include "document/svg/tree/errors.h"
#include "document/svg/tree/xml_fast_reader.h"
#include "tests/svg/tree/parse.h"
#include "tests/svg/tree/xml_event_record.h"

namespace document::svg {
namespace {

// The events of a parser, or its error.
template <typename Read>
std::string Recorded(Read read, const std::string& text) {
    XmlEventRecord record;
    try {
        read(text, "test.svg", record);
    } catch (const SvgError& error) {
        return std::string("error: ") + error.what();
    }
    return record.Events();
}

std::string WithExpat(const std::string& text) { return Recorded(ReadXmlWithExpat, text); }
std::string WithReadXml(const std::string& text) { return Recorded(ReadXml, text); }

// The events of the fast parser, or "declined".
std::string WithFastParser(const std::string& text) {
    XmlEventRecord record;
    if (!TryReadXmlFast(text, "test.svg", record)) return "declined";
    return record.Events();
}

// Text read in place: a writable copy of it, and how often the reader asked for it as it was.
struct InPlace {
    explicit InPlace(const std::string& text) : original(text), bytes(text) {
        writable.data = bytes.data();
        writable.size = bytes.size();
        writable.readAgain = [this] {
            ++readsAgain;
            return original;
        };
    }
    std::string original, bytes;
    WritableXml writable;
    int readsAgain = 0;
};

// The events of ReadXmlInPlace, or its error.
std::string WithReadXmlInPlace(const std::string& text, int* readsAgain = nullptr) {
    InPlace in(text);
    const std::string events = Recorded(
        [&](std::string_view, const std::string& fileName, XmlHandler& handler) { ReadXmlInPlace(in.writable, fileName, handler); },
        text);
    if (readsAgain != nullptr) *readsAgain = in.readsAgain;
    return events;
}

// The events of the fast parser reading in place, or how it declined.
std::string WithFastParserInPlace(const std::string& text) {
    InPlace in(text);
    XmlEventRecord record;
    switch (TryReadXmlFastInPlace(in.writable, "test.svg", record)) {
        case InPlaceRead::kRead: return record.Events();
        case InPlaceRead::kDeclined: return in.bytes == text ? "declined" : "declined, yet the text was changed";
        case InPlaceRead::kNotInPlace: return in.bytes == text ? "not in place" : "not in place, yet the text was changed";
        case InPlaceRead::kDeclinedAfterChange: return "declined after change";
    }
    return "?";
}

constexpr const char* kSvgOpen = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\">";

TEST(XmlFastParser, ReadsPlainFilesAsExpatDoes) {
    const std::string cases[] = {
        std::string(kSvgOpen) + "<g id='a'><rect x=\"1\" y='2'/></g></svg>",
        // A declaration, a DOCTYPE with an external identifier, comments and instructions.
        "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n"
        "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" \"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\">\n"
        "<!-- made by hand --><?xml-stylesheet href=\"a.css\"?>\n" + std::string(kSvgOpen) + "\n<g/><!-- c --></svg>\n<!-- after -->\n",
        // Prefixes: bound at the root, rebound and unbound below, xml: always bound.
        "<s:svg xmlns:s=\"http://www.w3.org/2000/svg\" xmlns:o=\"urn:o\"><s:g o:a=\"1\" xml:space=\"preserve\">"
        "<o:x xmlns:o=\"urn:p\" o:b=\"2\"/><g xmlns=\"urn:q\"><h xmlns=\"\"/></g></s:g></s:svg>",
        // References, and white space in values as XML normalises it: a CR LF is one space.
        // (A value with '<' in it, even written &lt;, is left to expat, as a raw '<' is an error.)
        std::string(kSvgOpen) + "<path d=\"M0 0&#10;L1&#x9;1\r\n\tZ\" fill=\"&amp;&gt;&quot;&apos;\" id='&#233;&#x1F600;'/></svg>",
        // Text: a style sheet in CDATA, text around elements, multi-byte characters.
        std::string(kSvgOpen) + "<style>\n<![CDATA[ .a { fill: red } ]]>\n</style>"
        "<text>h\xC3\xA9llo <tspan>\xE2\x82\xAC</tspan> world &amp; more</text></svg>",
        // Line ends of every kind before elements.
        std::string(kSvgOpen) + "\r\n<g/>\r<g/>\n\n<g\n/>\r\r\n<g/></svg>",
    };
    for (const std::string& text : cases) {
        EXPECT_NE(WithFastParser(text), "declined") << text;
        EXPECT_EQ(WithFastParser(text), WithExpat(text)) << text;
        EXPECT_EQ(WithFastParserInPlace(text), WithExpat(text)) << text;
    }
}

TEST(XmlFastParser, LeavesToExpatWhatItWouldReadOtherwiseOrNotAtAll) {
    const std::string svg = kSvgOpen;
    const std::string cases[] = {
        // Read by expat, otherwise than pugixml would.
        "<!DOCTYPE svg [<!ENTITY c \"red\">]>" + svg + "<rect fill=\"&c;\"/></svg>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + svg + "<g id=\"\xE9\"/></svg>",
        svg + "<style><![CDATA[.a]]> <![CDATA[.b {}]]></style></svg>",
        // Refused by expat, taken by pugixml.
        svg + "<rect x=\"1\" x=\"2\"/></svg>",
        svg + "<rect xlink:href=\"#a\" xmlns:l=\"http://www.w3.org/1999/xlink\" l:href=\"#b\"/></svg>",
        svg + "<rect fill=\"a<b\"/></svg>",
        "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:p=\"urn:a</g>b\"/>",
        svg + "<p:rect/></svg>",
        svg + "<rect a:b:c=\"1\"/></svg>",
        svg + "<r\xC3\x97/></svg>",
        svg + "<text>&nbsp;</text></svg>",
        svg + "<text>a ]]> b</text></svg>",
        svg + "<text>\x01</text></svg>",
        svg + "<text>\xC3</text></svg>",
        svg + "<!-- a -- b --></svg>",
        svg + "</svg><g/>",
        svg + "</svg>trailing",
        svg + "</svg>\n@",  // one character after the root, the file's last
        svg + "</svg>@",
        svg + "</svg><",
        "leading" + svg + "</svg>",
        "<?xml version=\"1.1\"?>" + svg + "</svg>",
        " <?xml version=\"1.0\"?>" + svg + "</svg>",
        "<!DOCTYPE svg PUBLIC \"bad{char\" \"x\">" + svg + "</svg>",
        "<!DOCTYPEsvg SYSTEM \"x\">" + svg + "</svg>",
        svg + "<g xmlns:p=\"\"/></svg>",
        svg + "<g xmlns:xml=\"urn:x\"/></svg>",
        svg + "<?xml bad?></svg>",
        // Malformed either way: expat's message.
        svg + "<g></svg>",
        svg + "<rect x=1/></svg>",
        "",
    };
    for (const std::string& text : cases) {
        EXPECT_EQ(WithFastParser(text), "declined") << text;
        EXPECT_EQ(WithReadXml(text), WithExpat(text)) << text;
        // Read in place, the text is read again for expat only when pugixml wrote into it.
        const std::string inPlace = WithFastParserInPlace(text);
        EXPECT_TRUE(inPlace == "declined" || inPlace == "declined after change") << inPlace << ": " << text;
        int readsAgain = 0;
        EXPECT_EQ(WithReadXmlInPlace(text, &readsAgain), WithExpat(text)) << text;
        EXPECT_EQ(readsAgain, inPlace == "declined after change" ? 1 : 0) << text;
    }
}

// The raw text is first checked in blocks of many bytes: a character that needs a closer look
// must be seen wherever it falls in a block, and white space must not be mistaken for one; the
// text is copied for the parser in the same pass, sequences that reach past a block included.
TEST(XmlFastParser, CharactersThatNeedACloserLookAreSeenAtEveryPlaceOfABlock) {
    const std::string head = std::string(kSvgOpen) + "<text>";
    const std::string tail = "</text></svg>";
    for (size_t at = 0; at < 130; ++at) {
        const std::string before(at, 'x'), after(130 - at, 'y');
        for (const char* declined : {"\x01", "\x1F", "&nbsp;", "\xC3", "\x80", "\xFF"}) {
            EXPECT_EQ(WithFastParser(head + before + declined + after + tail), "declined") << at << " " << declined;
        }
        for (const char* taken : {"\t", "\n", "\r", "&amp;", "\xC3\xA9", "\x7F", "\xE2\x82\xAC", "&#x20AC;\xF0\x9F\x98\x80"}) {
            const std::string text = head + before + taken + after + tail;
            EXPECT_EQ(WithFastParser(text), WithExpat(text)) << at << " " << taken;
            EXPECT_EQ(WithFastParserInPlace(text), WithExpat(text)) << at << " " << taken;
        }
    }
}

// A text of 4 MiB or more is parsed in a buffer of its own kind (huge pages): the same file
// read whole, and its last character still seen.
TEST(XmlFastParser, LargeTextsAreReadAsSmallOnes) {
    std::string svg = kSvgOpen;
    for (int i = 0; svg.size() < (size_t(4) << 20) + 100; ++i) svg += "<path d=\"M0 0L" + std::to_string(i) + " 1\"/>\n";
    svg += "</svg>";
    const std::string events = WithFastParser(svg);
    ASSERT_NE(events, "declined");
    EXPECT_EQ(events, WithExpat(svg));
    EXPECT_EQ(WithFastParserInPlace(svg), events);
    EXPECT_EQ(WithFastParser(svg + "\n@"), "declined");
}

// The fast parser gives events as it walks: a file it declines part-way (here at a value that
// held "&lt;") is read again by expat into a tree made afresh, with each element, sheet and loss
// once.
TEST(XmlFastParser, AFileDeclinedPartWayIsBuiltOnceFromExpatsEvents) {
    const std::string svg = std::string(kSvgOpen) +
                            "<style type=\"text/xsl\">x</style><rect id=\"a\"/><style>.c { fill: red }</style>\n"
                            "<rect id=\"b\" class=\"c\" fill=\"1&lt;2\" stroke=\"blue\"/></svg>";
    XmlEventRecord partial;
    ASSERT_FALSE(TryReadXmlFast(svg, "test.svg", partial));
    EXPECT_NE(partial.Events(), "");  // the elements before the value were given

    LossReport losses;
    const Tree tree = testing::Parse(svg, &losses);
    EXPECT_EQ(tree.Root().children.size(), 4u);
    EXPECT_EQ(testing::ById(tree, "b").Get(Property::kFill), "red");
    EXPECT_EQ(testing::ById(tree, "b").Get(Property::kStroke), "blue");
    EXPECT_EQ(testing::ById(tree, "b").line, 2);
    EXPECT_EQ(testing::Kinds(losses), "style sheet of type text/xsl x1 at line 1");
}

TEST(XmlFastParser, ErrorsOfTheHandlerNameTheElementsLineAndColumnAsExpatDoes) {
    class Refusing final : public XmlHandler {
    public:
        void StartElement(const XmlName& name, std::span<const XmlAttribute>, const XmlPosition& where) override {
            if (name.local == "bad") ThrowSvgErrorAt("test.svg", where.Line(), where.Column(), "refused");
        }
        void EndElement() override {}
        void Text(std::string_view) override {}
        void Restart() override {}
    };
    for (const std::string& text :
         {std::string(kSvgOpen) + "\n\t<g>\xC3\xA9\xE2\x82\xAC<g/>\r\n  \xF0\x9F\x98\x80<bad/></g></svg>",
          "\xEF\xBB\xBF" + std::string(kSvgOpen) + "<bad/></svg>"}) {
        std::string fast, inPlace, expat;
        Refusing handler;
        try {
            EXPECT_TRUE(TryReadXmlFast(text, "test.svg", handler));
        } catch (const SvgError& error) {
            fast = error.what();
        }
        // In place, the column is counted in the text read again: pugixml has written over it.
        try {
            InPlace in(text);
            EXPECT_EQ(TryReadXmlFastInPlace(in.writable, "test.svg", handler), InPlaceRead::kRead);
        } catch (const SvgError& error) {
            inPlace = error.what();
        }
        try {
            ReadXmlWithExpat(text, "test.svg", handler);
        } catch (const SvgError& error) {
            expat = error.what();
        }
        EXPECT_NE(fast, "") << text;
        EXPECT_EQ(fast, expat) << text;
        EXPECT_EQ(inPlace, expat) << text;
    }
}

// Read in place, lines are told from line ends listed before pugixml writes its end marks over
// some of them (after a name) and turns those in values into spaces. Where lines are so short
// that their list would cost about as much as a copy of the text, the text is read from a copy,
// as it was.
TEST(XmlFastParser, InPlaceLinesSurviveWhatPugixmlWritesOverAndShortLinesAreReadFromACopy) {
    const std::string svg = std::string(kSvgOpen) +
                            "<path\n d=\"M0 0\nL1 1\r\nZ\"\r\n id='a'\n/>\r<g\r\n/><text>x\r\ny</text>\n\n<g id=\"b\"\n>\n</g></svg>";
    EXPECT_EQ(WithFastParserInPlace(svg), WithExpat(svg));
    EXPECT_NE(WithExpat(svg).find("<{http://www.w3.org/2000/svg}g line 11"), std::string::npos) << WithExpat(svg);

    std::string dense = kSvgOpen;
    for (int i = 0; i < 200; ++i) dense += "<g\n\n\n/>\n";
    dense += "</svg>";
    EXPECT_EQ(WithFastParserInPlace(dense), "not in place");

    // Text that cannot be had again (a file changed since it was read) ends the read with that
    // error, for a file declined after pugixml wrote into it.
    InPlace changed(std::string(kSvgOpen) + "<rect x=\"1\" x=\"2\"/></svg>");
    changed.writable.readAgain = []() -> std::string { throw SvgError("test.svg: the file changed while it was read"); };
    XmlEventRecord record;
    try {
        ReadXmlInPlace(changed.writable, "test.svg", record);
        ADD_FAILURE() << "read without its text";
    } catch (const SvgError& error) {
        EXPECT_STREQ(error.what(), "test.svg: the file changed while it was read");
    }
    int readsAgain = 0;
    EXPECT_EQ(WithReadXmlInPlace(dense, &readsAgain), WithExpat(dense));
    EXPECT_EQ(readsAgain, 0);
}

}  // namespace
}  // namespace document::svg
