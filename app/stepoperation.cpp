#include "app/stepoperation.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

using amplex::Operation;

namespace {

// How the numbers of a matched text become the operation.
enum class Shape {
    Qubits,        // every number is a qubit
    QubitDegrees,  // a qubit, then an angle in degrees
    PairRadians,   // two qubits, then an angle in radians to 5 digits
    Range,         // first - last: every qubit between
    MeasuredRange, // first - last, then the outcome
    TwoRanges,     // first - last, first - last, then numbers that are no qubits
    Whole,         // numbers that are no qubits; the step may touch any qubit
};

struct Pattern {
    // The gate's printf format with "%i" for an integer and "%g" for a real number.
    const char* format;
    const char* name;
    Shape shape;
};

constexpr Pattern Patterns[] = {
    {"Hadamard ( %i )", "h", Shape::Qubits},
    {"Pi-eighth ( %i )", "t", Shape::Qubits},
    {"X ( %i )", "x", Shape::Qubits},
    {"Y ( %i )", "y", Shape::Qubits},
    {"Z ( %i )", "z", Shape::Qubits},
    {"S ( %i )", "s", Shape::Qubits},
    {"S-dagger ( %i )", "sdg", Shape::Qubits},
    {"T-dagger ( %i )", "tdg", Shape::Qubits},
    {"Phase ( %i, %g )", "p", Shape::QubitDegrees},
    {"Rx ( %i, %g )", "rx", Shape::QubitDegrees},
    {"Ry ( %i, %g )", "ry", Shape::QubitDegrees},
    {"Rz ( %i, %g )", "rz", Shape::QubitDegrees},
    {"cnot ( %i, %i )", "cx", Shape::Qubits},
    {"Hadamard controlled ( %i, %i )", "ch", Shape::Qubits},
    {"Swap ( %i, %i )", "swap", Shape::Qubits},
    {"Controlled Z ( %i, %i )", "cz", Shape::Qubits},
    {"Toffoli ( %i, %i, %i )", "ccx", Shape::Qubits},
    {"Rotate 2 bits controlled ( bits: %i, %i, angle: %g)", "cp", Shape::PairRadians},
    {"Measure ( %i - %i ) = %i", "measure", Shape::MeasuredRange},
    {"Hadamardrange ( %i - %i )", "hadamardrange", Shape::Range},
    {"Bitmirror ( %i - %i )", "bitmirror", Shape::Range},
    {"FFT^-1 ( %i - %i )", "invfourier", Shape::Range},
    {"Seekerstep ( %i - %i )", "seekerstep", Shape::Range},
    {"Power ( a: %i - %i, y: %i - %i, x = %i, N = %i )", "power", Shape::TwoRanges},
    {"Seeker ( %i )", "seeker", Shape::Whole},
    {"Amplify ( %i )", "amplify", Shape::Whole},
    {"Shor ( %i - %i, x = %i, n = %i )", "shor", Shape::Whole},
    {"Flagoracle", "flagoracle", Shape::Whole},
    {"Signoracle", "signoracle", Shape::Whole},
};

constexpr std::string_view IncompleteMark = " [incomplete]";

struct Numbers {
    std::vector<long long> ints;
    std::vector<std::string_view> reals;
};

// Matches text against a format exactly; the numbers in order of appearance.
bool match(std::string_view format, std::string_view text, Numbers& out) {
    std::size_t t = 0;
    for (std::size_t f = 0; f < format.size(); ++f) {
        if (format[f] == '%' && f + 1 < format.size()) {
            const char kind = format[++f];
            const char* begin = text.data() + t;
            const char* end = text.data() + text.size();
            if (kind == 'i') {
                long long value = 0;
                const auto [at, ec] = std::from_chars(begin, end, value);
                if (ec != std::errc{}) {
                    return false;
                }
                out.ints.push_back(value);
                t = static_cast<std::size_t>(at - text.data());
            } else {
                // A real number runs up to the format's next character.
                const char stop = f + 1 < format.size() ? format[f + 1] : '\0';
                const std::size_t until = stop ? text.find(stop, t) : text.size();
                if (until == std::string_view::npos || until == t) {
                    return false;
                }
                out.reals.push_back(text.substr(t, until - t));
                t = until;
            }
        } else if (t < text.size() && text[t] == format[f]) {
            ++t;
        } else {
            return false;
        }
    }
    return t == text.size();
}

std::optional<double> number(std::string_view token) {
    double value = 0;
    const auto [at, ec] = std::from_chars(token.data(), token.data() + token.size(), value);
    if (ec != std::errc{} || at != token.data() + token.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool isQubit(long long k) {
    return k >= 0 && k < StepOperation::MaxQubits;
}

bool addRange(std::vector<int>& qubits, long long first, long long last) {
    if (!isQubit(first) || !isQubit(last) || first > last) {
        return false;
    }
    for (long long k = first; k <= last; ++k) {
        qubits.push_back(static_cast<int>(k));
    }
    return true;
}

// The operation of a text that matched; false when its numbers are not those of a real step.
bool build(Shape shape, const Numbers& n, Operation& op) {
    const auto& v = n.ints;
    switch (shape) {
    case Shape::Qubits:
        for (const long long k : v) {
            if (!isQubit(k)) {
                return false;
            }
            op.qubits.push_back(static_cast<int>(k));
        }
        return true;
    case Shape::QubitDegrees: {
        const auto degrees = number(n.reals[0]);
        if (!isQubit(v[0]) || !degrees) {
            return false;
        }
        op.qubits = {static_cast<int>(v[0])};
        op.params = {*degrees * std::numbers::pi / 180.0};
        return true;
    }
    case Shape::PairRadians: {
        const auto shown = number(n.reals[0]);
        if (!isQubit(v[0]) || !isQubit(v[1]) || !shown) {
            return false;
        }
        op.qubits = {static_cast<int>(v[0]), static_cast<int>(v[1])};
        op.params = {StepOperation::exactRotation(n.reals[0]).value_or(*shown)};
        return true;
    }
    case Shape::Range:
        return addRange(op.qubits, v[0], v[1]);
    case Shape::MeasuredRange:
        op.params = {static_cast<double>(v[2])};
        return addRange(op.qubits, v[0], v[1]);
    case Shape::TwoRanges:
        return addRange(op.qubits, v[0], v[1]) && addRange(op.qubits, v[2], v[3]);
    case Shape::Whole:
        return true;
    }
    return false;
}

} // namespace

Operation StepOperation::read(std::string_view text) {
    Operation op;
    op.text = std::string(text);
    std::string_view core = text;
    if (core.ends_with(IncompleteMark)) {
        core.remove_suffix(IncompleteMark.size());
    }
    for (const Pattern& pattern : Patterns) {
        Numbers numbers;
        if (match(pattern.format, core, numbers)) {
            op.name = pattern.name;
            if (build(pattern.shape, numbers, op)) {
                return op;
            }
            break;
        }
    }
    op.name = "opaque";
    op.qubits.clear();
    op.params.clear();
    return op;
}

std::optional<double> StepOperation::exactRotation(std::string_view shown) {
    for (int k = 0; k <= 62; ++k) {
        // Formed as the inverse Fourier transform forms it: only the exponent changes.
        const double angle = std::numbers::pi / std::pow(2.0, k);
        for (const double candidate : {angle, -angle}) {
            char digits[32];
            const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, candidate,
                                                 std::chars_format::general, 5);
            if (ec == std::errc{} && std::string_view(digits, end) == shown) {
                return candidate;
            }
        }
    }
    return std::nullopt;
}

bool StepOperation::angleIsApproximate(const Operation& op) {
    if (op.name != "cp" || op.params.empty() || !op.text.starts_with("Rotate 2 bits")) {
        return false;
    }
    const double magnitude = std::fabs(op.params[0]);
    if (magnitude == 0) {
        return false; // "%.5g" writes 0 only for 0 itself
    }
    int exponent = 0;
    // pi / 2^k has pi's significand.
    return std::frexp(magnitude, &exponent) != std::frexp(std::numbers::pi, &exponent);
}
