#include "core/complex.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string textOf(double re, double im) {
    char buffer[ComplexTextSize];
    Complex(re, im).text(buffer);
    return buffer;
}

TEST(Complex, TextChoosesFormatBySignOfImaginaryPart) {
    EXPECT_EQ(textOf(0, 0), "0");
    EXPECT_EQ(textOf(1, 0), "1");
    EXPECT_EQ(textOf(0.70710678, 0), "0.70711");
    EXPECT_EQ(textOf(0.5, 0.5), "0.5 + 0.5i");
    EXPECT_EQ(textOf(0.5, -0.5), "0.5 - 0.5i");
    EXPECT_EQ(textOf(0, 1), "0 + 1i");
    EXPECT_EQ(textOf(-0.25, -1), "-0.25 - 1i");
}

TEST(Complex, NegativeZeroAndNaNImaginaryPartsWriteOnlyTheRealPart) {
    EXPECT_EQ(textOf(0.5, -0.0), "0.5");
    EXPECT_EQ(textOf(0.5, std::nan("")), "0.5");
    EXPECT_EQ(textOf(0.000012345, 0), "1.2345e-05");
}

TEST(Complex, StaticTextIsOneSharedBuffer) {
    const Complex a(1, 0);
    const Complex b(2, 0);
    const char* first = a.text();
    const char* second = b.text();
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "2");
}

TEST(Complex, MagnitudesAndProductsRoundEachTerm) {
    EXPECT_NEAR(Complex(0.6, 0.8).norm(), 1.0, 1e-15);
    EXPECT_NEAR(Complex(0.6, 0.8).magnitude(), 1.0, 1e-15);
    const double s = std::sqrt(0.5);
    Complex a(0, 1);
    a *= Complex(s, s);
    EXPECT_EQ(a.real, -s);
    EXPECT_EQ(a.imag, s);
}

TEST(Complex, AssignmentCopiesOnlyTheTwoNumbers) {
    Complex a(1, 2);
    Complex b(3, 4);
    a = b;
    EXPECT_EQ(a.real, 3);
    EXPECT_EQ(a.imag, 4);
    a = 5.0;
    EXPECT_EQ(a.real, 5);
    EXPECT_EQ(a.imag, 0);
}

TEST(Complex, ExtremeValuesStayWithinTheTextBuffer) {
    const double big = -1.7976931348623157e308;
    EXPECT_EQ(textOf(big, big), "-1.7977e+308 - 1.7977e+308i");
    EXPECT_EQ(textOf(-INFINITY, INFINITY), "-inf + infi");
    EXPECT_EQ(textOf(std::nan(""), 0), "nan");
    EXPECT_EQ(textOf(-4.9e-324, -4.9e-324), "-4.9407e-324 - 4.9407e-324i");
}

} // namespace
