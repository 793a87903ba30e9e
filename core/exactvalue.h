#pragma once

#include "core/complex.h"

// The "exact values" text of an amplitude: each part written as the closed form it is within
// Tolerance of, k / 2^j ("-1/2", "61/64", "3") or k / (2^j sqrt2), written with the root of
// 2^(2j+1) ("1/sqrt2", "3/sqrt8"), for an odd k of at most MaxNumerator and j up to MaxPower.
// Rounding noise below Tolerance reads 0 and a part that is 0 is left out; the imaginary unit
// goes into the numerator ("i/sqrt8", "-3i/4"). A part without a closed form keeps the "%.5g"
// of Complex::text, and a NaN or infinite part gives that text whole. Display only: the
// amplitude is not changed.
class ExactValue {
public:
    static constexpr double Tolerance = 1e-12;
    // 2^-13 is a uniform amplitude of 26 qubits; 2^-16 leaves room for smaller steps.
    static constexpr int MaxPower = 16;
    static constexpr int MaxNumerator = 1023;

    // Writes at most ComplexTextSize characters including the terminator.
    static void text(const Complex& c, char* buffer);
};
