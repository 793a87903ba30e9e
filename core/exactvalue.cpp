#include "core/exactvalue.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// A part as sign, odd numerator (or 0) and denominator: 2^power, or sqrt(2^(2 power + 1)) when
// root is set.
struct ClosedForm {
    bool negative = false;
    std::int64_t numerator = 0;
    int power = 0;
    bool root = false;
};

// The closed form v is within the tolerance of, scaled by `scale` (1 or sqrt2) first; false when
// there is none with a small numerator.
bool closedForm(double v, double scale, bool root, ClosedForm& form) {
    const double grid = std::ldexp(1.0, ExactValue::MaxPower);
    const double k = std::nearbyint(v * scale * grid);
    if (!(std::fabs(k) <= grid * ExactValue::MaxNumerator)) {
        return false;
    }
    // Compared at the value's own scale: sqrt2 * tolerance would be a looser test.
    if (!(std::fabs(v - k / grid / scale) <= ExactValue::Tolerance)) {
        return false;
    }
    auto numerator = static_cast<std::int64_t>(k);
    int power = ExactValue::MaxPower;
    while (numerator != 0 && power > 0 && numerator % 2 == 0) {
        numerator /= 2;
        --power;
    }
    if (numerator == 0) {
        form = {};
        return true;
    }
    // An even numerator with no power left is a multiple of sqrt2, not a fraction of it.
    if (std::abs(numerator) > ExactValue::MaxNumerator || (root && numerator % 2 == 0)) {
        return false;
    }
    form = {numerator < 0, std::abs(numerator), power, root};
    return true;
}

bool closedForm(double v, ClosedForm& form) {
    return closedForm(v, 1.0, false, form) || closedForm(v, std::sqrt(2.0), true, form);
}

// The form without its sign, the imaginary unit after the numerator ("3i/4", "i/sqrt2").
void write(const ClosedForm& form, bool imaginary, char* out, std::size_t size) {
    char numerator[24] = "";
    if (form.numerator != 1 || !imaginary) {
        std::snprintf(numerator, sizeof numerator, "%lld", static_cast<long long>(form.numerator));
    }
    const char* unit = imaginary ? "i" : "";
    if (form.root) {
        std::snprintf(out, size, "%s%s/sqrt%lld", numerator, unit, 1LL << (2 * form.power + 1));
    } else if (form.power == 0) {
        std::snprintf(out, size, "%s%s", numerator, unit);
    } else {
        std::snprintf(out, size, "%s%s/%lld", numerator, unit, 1LL << form.power);
    }
}

// One part without its sign: closed form or "%.5g" of its magnitude.
void part(double v, const ClosedForm* form, bool imaginary, char* out, std::size_t size) {
    if (form) {
        write(*form, imaginary, out, size);
    } else {
        std::snprintf(out, size, imaginary ? "%.5gi" : "%.5g", std::fabs(v));
    }
}

} // namespace

void ExactValue::text(const Complex& c, char* buffer) {
    if (!std::isfinite(c.real) || !std::isfinite(c.imag)) {
        c.text(buffer);
        return;
    }
    ClosedForm re, im;
    const bool reClosed = closedForm(c.real, re);
    const bool imClosed = closedForm(c.imag, im);
    const bool reZero = reClosed && re.numerator == 0;
    const bool imZero = imClosed && im.numerator == 0;
    const bool reNegative = reClosed ? re.negative : c.real < 0.0;
    const bool imNegative = imClosed ? im.negative : c.imag < 0.0;
    constexpr std::size_t PartSize = 30;
    char reText[PartSize], imText[PartSize];
    part(c.real, reClosed ? &re : nullptr, false, reText, sizeof reText);
    part(c.imag, imClosed ? &im : nullptr, true, imText, sizeof imText);
    if (imZero) {
        std::snprintf(buffer, ComplexTextSize, "%s%s", reNegative && !reZero ? "-" : "", reText);
    } else if (reZero) {
        std::snprintf(buffer, ComplexTextSize, "%s%s", imNegative ? "-" : "", imText);
    } else {
        std::snprintf(buffer, ComplexTextSize, "%s%s %c %s", reNegative ? "-" : "", reText,
                      imNegative ? '-' : '+', imText);
    }
}
