#include "document/svg/values/transform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace document::svg {
namespace {

void ExpectMatrix(const Matrix& m, double a, double b, double c, double d, double e, double f, double tolerance = 1e-12) {
    EXPECT_NEAR(m.a, a, tolerance);
    EXPECT_NEAR(m.b, b, tolerance);
    EXPECT_NEAR(m.c, c, tolerance);
    EXPECT_NEAR(m.d, d, tolerance);
    EXPECT_NEAR(m.e, e, tolerance);
    EXPECT_NEAR(m.f, f, tolerance);
}

Matrix Parsed(const char* text) {
    const std::optional<Matrix> m = ParseTransform(text);
    EXPECT_TRUE(m.has_value()) << text;
    return m.value_or(Matrix::Scale(0, 0));
}

TEST(SvgMatrix, ProductAppliesInnerFirst) {
    const Matrix outer = Matrix::Translate(10, 0);
    const Matrix inner = Matrix::Scale(2, 3);
    const Point p = (outer * inner).Apply({1, 1});
    EXPECT_DOUBLE_EQ(p.x, 12);  // scaled to (2, 3), then moved
    EXPECT_DOUBLE_EQ(p.y, 3);
    const Point q = (inner * outer).Apply({1, 1});
    EXPECT_DOUBLE_EQ(q.x, 22);
    EXPECT_DOUBLE_EQ(q.y, 3);
}

TEST(SvgMatrix, RotationsAndSkews) {
    ExpectMatrix(Matrix::Rotate(90), 0, 1, -1, 0, 0, 0, 0);  // exact at quarter turns
    ExpectMatrix(Matrix::Rotate(-90), 0, -1, 1, 0, 0, 0, 0);
    ExpectMatrix(Matrix::Rotate(540), -1, 0, 0, -1, 0, 0, 0);
    const double h = std::sqrt(0.5);
    ExpectMatrix(Matrix::Rotate(45), h, h, -h, h, 0, 0);
    ExpectMatrix(Matrix::SkewX(45), 1, 0, 1, 1, 0, 0);
    ExpectMatrix(Matrix::SkewY(-45), 1, -1, 0, 1, 0, 0);
    // y-down: rotating (1, 0) by +90 degrees gives (0, 1).
    const Point p = Matrix::Rotate(90).Apply({1, 0});
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 1);
}

TEST(SvgMatrix, InverseUndoesTheMatrix) {
    const Matrix m{2, 1, -1, 3, 5, -7};
    ASSERT_TRUE(m.Invertible());
    const Point p = m.Inverse().Apply(m.Apply({4, 9}));
    EXPECT_NEAR(p.x, 4, 1e-12);
    EXPECT_NEAR(p.y, 9, 1e-12);
    ExpectMatrix(m * m.Inverse(), 1, 0, 0, 1, 0, 0);
    EXPECT_FALSE(Matrix::Scale(0, 2).Invertible());
    EXPECT_FALSE((Matrix{1, 2, 2, 4, 0, 0}).Invertible());  // rows in proportion
    EXPECT_FALSE((Matrix{1e-200, 0, 0, 1e-200, 0, 0}).Invertible());  // determinant underflows
}

TEST(SvgMatrix, UniformAndMeanScale) {
    EXPECT_TRUE((Matrix::Rotate(30) * Matrix::Scale(2, 2) * Matrix::Translate(5, 5)).Uniform());
    EXPECT_TRUE(Matrix::Scale(-3, 3).Uniform());  // a reflection
    EXPECT_TRUE((Matrix::Rotate(70) * Matrix::Scale(1, -1)).Uniform());
    EXPECT_FALSE(Matrix::Scale(2, 3).Uniform());
    EXPECT_FALSE(Matrix::SkewX(10).Uniform());
    EXPECT_FALSE((Matrix::Rotate(30) * Matrix::Scale(1, 1.001)).Uniform());
    EXPECT_TRUE((Matrix::Rotate(30) * Matrix::Scale(1, 1.001)).Uniform(1e-2));
    EXPECT_DOUBLE_EQ(Matrix::Scale(2, 8).MeanScale(), 4);
    EXPECT_DOUBLE_EQ(Matrix::Scale(-2, 8).MeanScale(), 4);
    EXPECT_NEAR((Matrix::Rotate(33) * Matrix::Scale(3, 3)).MeanScale(), 3, 1e-12);
}

TEST(SvgTransform, EachKind) {
    ExpectMatrix(Parsed("matrix(1 2 3 4 5 6)"), 1, 2, 3, 4, 5, 6);
    ExpectMatrix(Parsed("translate(5)"), 1, 0, 0, 1, 5, 0);
    ExpectMatrix(Parsed("translate(5, -6)"), 1, 0, 0, 1, 5, -6);
    ExpectMatrix(Parsed("scale(2)"), 2, 0, 0, 2, 0, 0);
    ExpectMatrix(Parsed("scale(2 3)"), 2, 0, 0, 3, 0, 0);
    ExpectMatrix(Parsed("rotate(90)"), 0, 1, -1, 0, 0, 0);
    ExpectMatrix(Parsed("skewX(45)"), 1, 0, 1, 1, 0, 0);
    ExpectMatrix(Parsed("skewY(45)"), 1, 1, 0, 1, 0, 0);
    // About a centre: (10, 0) turns a quarter about (10, 10) to (20, 10).
    const Point p = Parsed("rotate(90 10 10)").Apply({10, 0});
    EXPECT_NEAR(p.x, 20, 1e-12);
    EXPECT_NEAR(p.y, 10, 1e-12);
}

TEST(SvgTransform, ListsMultiplyLeftToRight) {
    // The rightmost transform applies to the point first.
    const Point p = Parsed("translate(100,0) scale(2)").Apply({1, 1});
    EXPECT_DOUBLE_EQ(p.x, 102);
    EXPECT_DOUBLE_EQ(p.y, 2);
    const Point q = Parsed("scale(2),translate(100,0)").Apply({1, 1});
    EXPECT_DOUBLE_EQ(q.x, 202);
    ExpectMatrix(Parsed("  translate(1 2)\n\t,  scale( 3 )  "), 3, 0, 0, 3, 1, 2);
    ExpectMatrix(Parsed("translate(1,2)scale(3)"), 3, 0, 0, 3, 1, 2);
    ExpectMatrix(Parsed("translate(1-2)"), 1, 0, 0, 1, 1, -2);
    ExpectMatrix(Parsed("translate (.5.5)"), 1, 0, 0, 1, 0.5, 0.5);
    ExpectMatrix(Parsed(""), 1, 0, 0, 1, 0, 0);
    ExpectMatrix(Parsed("   "), 1, 0, 0, 1, 0, 0);
}

TEST(SvgTransform, InvalidListsAreRejectedWhole) {
    for (const char* bad : {"translate()", "translate(1 2 3)", "scale(1 2 3)", "rotate(1 2)", "rotate(1 2 3 4)",
                            "skewX(1 2)", "matrix(1 2 3 4 5)", "matrix(1 2 3 4 5 6 7)", "translate(1,)",
                            "translate(,1)", "translate(1", "translate 1", "Translate(1)", "translate(1) scale",
                            "translate(1),", ",translate(1)", "translate(1) bogus(2)", "translate(1px)",
                            "scale(1e308) scale(1e308)", "skewX(90)", "none"}) {
        EXPECT_FALSE(ParseTransform(bad).has_value()) << bad;
    }
}

}  // namespace
}  // namespace document::svg
