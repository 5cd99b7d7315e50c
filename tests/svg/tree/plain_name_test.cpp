// Names the fast XML reader may take itself: the check of a measured name and the one-pass scan
// of a NUL-terminated name must agree, and the scan must measure the name and find its colon.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "document/svg/tree/names.h"
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

// Names are compared a word at a time, the last word overlapping the one before: a difference at
// any place of a name of any length must be seen, and only the names' own bytes read (the
// sanitizer builds see a read past them).
TEST(NameEquality, SeesADifferenceAtEveryPlaceOfEveryLength) {
    for (size_t length = 0; length <= 40; ++length) {
        const std::string name = std::string("stroke-dasharray-color-interpolation-filters").substr(0, length);
        const std::unique_ptr<char[]> a(new char[length]), b(new char[length]);
        std::memcpy(a.get(), name.data(), length);
        std::memcpy(b.get(), name.data(), length);
        EXPECT_TRUE(SameName({a.get(), length}, {b.get(), length})) << length;
        for (size_t at = 0; at < length; ++at) {
            b[at] = char(b[at] ^ 0x20);
            EXPECT_FALSE(SameName({a.get(), length}, {b.get(), length})) << length << " " << at;
            b[at] = a[at];
        }
        if (length > 0) {
            EXPECT_FALSE(SameName({a.get(), length}, {b.get(), length - 1})) << length;
        }
    }
}

}  // namespace
}  // namespace document::svg
