// Names the fast XML reader may take itself: the check of a measured name and the one-pass scan
// of a NUL-terminated name must agree, and the scan must measure the name and find its colon.
#include <gtest/gtest.h>

#include <string>

#include "document/svg/tree/xml_plain_text.h"

namespace document::svg {
namespace {

struct NameCase {
    const char* name;
    bool plain;
    size_t colon;  // npos when there is none (or when the name is not plain)
};

constexpr size_t kNone = std::string_view::npos;

TEST(PlainName, ScanAgreesWithTheCheckAndFindsTheColon) {
    for (const NameCase& c : {NameCase{"path", true, kNone}, NameCase{"xlink:href", true, 5},
                              NameCase{"inkscape:label", true, 8}, NameCase{"_x-1.2", true, kNone},
                              NameCase{"a:b-2", true, 1}, NameCase{"A", true, kNone}, NameCase{"a-", true, kNone},
                              NameCase{"", false, kNone}, NameCase{"1a", false, kNone}, NameCase{"-a", false, kNone},
                              NameCase{":a", false, kNone}, NameCase{"a:", false, kNone}, NameCase{"a:b:c", false, kNone},
                              NameCase{"a:1", false, kNone}, NameCase{"a b", false, kNone}, NameCase{"\xC3\xA9t\xC3\xA9", false, kNone},
                              NameCase{"a\xC3\xA9", false, kNone}, NameCase{"a=", false, kNone}}) {
        const std::string name = c.name;
        EXPECT_EQ(IsPlainQualifiedName(name), c.plain) << name;
        size_t length = 99, colon = 99;
        EXPECT_EQ(ScanPlainQualifiedName(name.c_str(), length, colon), c.plain) << name;
        if (c.plain) {
            EXPECT_EQ(length, name.size()) << name;
            EXPECT_EQ(colon, c.colon) << name;
        }
    }
}

TEST(PlainName, ScanStopsAtTheFirstByteThatCannotContinueAName) {
    // pugixml hands over names that end at their NUL; a byte before it that no plain name holds
    // makes the name not plain, and the length says where the plain part ends.
    size_t length = 0, colon = 0;
    EXPECT_FALSE(ScanPlainQualifiedName("rect\x01", length, colon));
    EXPECT_EQ(length, 4u);
    EXPECT_FALSE(ScanPlainQualifiedName("svg:g:x", length, colon));
    EXPECT_EQ(length, 5u);
    EXPECT_EQ(colon, 3u);
}

}  // namespace
}  // namespace document::svg
