#include "xaml/name_comment.h"

#include <gtest/gtest.h>

#include "captured_output.h"

namespace {

std::string Comment(const std::string& name) {
    CapturedOutput out;
    WriteNameComment(out.get(), name.c_str());
    return out.Take();
}

TEST(NameComment, WritesOrdinaryNamesUnchanged) {
    EXPECT_EQ(Comment("Layer 1/<Group>/Path"), "\n\n  <!-- Layer 1/<Group>/Path -->");
    EXPECT_EQ(Comment("Grüße & \"quotes\" ✓ 🎨"), "\n\n  <!-- Grüße & \"quotes\" ✓ 🎨 -->");
    EXPECT_EQ(Comment("tab\tline\ncr\r"), "\n\n  <!-- tab\tline\ncr\r -->");
    EXPECT_EQ(Comment("one-dash-"), "\n\n  <!-- one-dash- -->");
}

TEST(NameComment, SeparatesDoubleHyphens) {
    EXPECT_EQ(Comment("a--b"), "\n\n  <!-- a- -b -->");
    EXPECT_EQ(Comment("---"), "\n\n  <!-- - - - -->");
    EXPECT_EQ(Comment("-->"), "\n\n  <!-- - -> -->");
}

TEST(NameComment, ReplacesEachStrayByteWithOneQuestionMark) {
    EXPECT_EQ(Comment("a\xFF" "b"), "\n\n  <!-- a?b -->");
    EXPECT_EQ(Comment("\xC0\xAF"), "\n\n  <!-- ?? -->");              // overlong "/"
    EXPECT_EQ(Comment("\xE0\x80\xAF"), "\n\n  <!-- ??? -->");         // overlong, three bytes
    EXPECT_EQ(Comment("\xED\xA0\x80"), "\n\n  <!-- ??? -->");         // a surrogate
    EXPECT_EQ(Comment("\xF4\x90\x80\x80"), "\n\n  <!-- ???? -->");    // above U+10FFFF
    EXPECT_EQ(Comment("\xE2\x82" "x"), "\n\n  <!-- ??x -->");         // cut short
    EXPECT_EQ(Comment("end\xE2\x82"), "\n\n  <!-- end?? -->");        // cut short by the end
}

TEST(NameComment, ReplacesEachControlCharacterWithOneQuestionMark) {
    EXPECT_EQ(Comment("a\x01" "b\x1F" "c\x7F" "d"), "\n\n  <!-- a?b?c?d -->");
    EXPECT_EQ(Comment("c1\xC2\x80" "x\xC2\x9F"), "\n\n  <!-- c1?x? -->");
    EXPECT_EQ(Comment("nbsp\xC2\xA0"), "\n\n  <!-- nbsp\xC2\xA0 -->");
}

}  // namespace
