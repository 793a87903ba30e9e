#include "core/complex.h"

#include <cmath>
#include <cstddef>
#include <cstdio>

// The plug-ins read amplitudes at these offsets; a change here breaks every built gate.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(Complex) == 24);
static_assert(offsetof(Complex, imag) == 8);
static_assert(offsetof(Complex, real) == 16);
#pragma GCC diagnostic pop

void Complex::text(char* buffer) const {
    if (imag == 0.0 || std::isnan(imag)) {
        std::snprintf(buffer, ComplexTextSize, "%.5g", real);
    } else if (imag > 0.0) {
        std::snprintf(buffer, ComplexTextSize, "%.5g + %.5gi", real, imag);
    } else {
        std::snprintf(buffer, ComplexTextSize, "%.5g - %.5gi", real, -imag);
    }
}

const char* Complex::text() const {
    static char buffer[ComplexTextSize];
    text(buffer);
    return buffer;
}

double Complex::magnitude() const {
    return std::sqrt(imag * imag + real * real);
}

void Complex::setAngle(double theta) {
    real = std::cos(theta);
    imag = std::sin(theta);
}
