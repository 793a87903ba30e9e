#include "gates/shor/numbertheory/shorinput.h"

#include "gates/shor/numbertheory/unsignedarithmetic.h"

#include <bit>
#include <cstdio>

namespace {

constexpr std::int64_t Limit = std::int64_t{1} << 31;

std::string format(const char* pattern, auto... values) {
    char text[256];
    std::snprintf(text, sizeof text, pattern, values...);
    return text;
}

std::string modulusRefusal(std::int64_t n) {
    if (n < 2) {
        return format("N = %lld: N must be at least 2", static_cast<long long>(n));
    }
    if (n >= Limit) {
        return format("N = %lld: N must be below 2^31 = 2147483648", static_cast<long long>(n));
    }
    return {};
}

} // namespace

int ShorInput::valueWidth(std::uint32_t n) {
    // N - 1 would wrap for N = 0 and claim 32 qubits.
    if (n < 2) {
        return 0;
    }
    return static_cast<int>(std::bit_width(n - 1));
}

std::string ShorInput::powerRefusal(int qubits, int from, int to, std::int64_t n) {
    if (std::string why = modulusRefusal(n); !why.empty()) {
        return why;
    }
    const int width = valueWidth(static_cast<std::uint32_t>(n));
    if (to + width < qubits || from >= width) {
        return {};
    }
    if (from > 0) {
        return format("the value register needs %d free qubits above qubit %d or below qubit %d",
                      width, to, from);
    }
    return format("the value register needs %d free qubits above qubit %d", width, to);
}

std::string ShorInput::driverRefusal(int qubits, int from, int to, std::int64_t x, std::int64_t n) {
    if (from == to) {
        return "the bitrange of a needs at least two qubits";
    }
    if (std::string why = modulusRefusal(n); !why.empty()) {
        return why;
    }
    const int width = valueWidth(static_cast<std::uint32_t>(n));
    if (width + 2 > qubits) {
        return format("N = %lld is too large for %d qubits: its values need %d of them, and a "
                      "at least 2",
                      static_cast<long long>(n), qubits, width);
    }
    if (x < 2 || x > n - 2) {
        return format("x = %lld must lie in 2 .. %lld (N - 2)", static_cast<long long>(x),
                      static_cast<long long>(n - 2));
    }
    const std::uint32_t factor =
        amplex::numbertheory::gcd(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(n));
    if (factor != 1) {
        return format("x shares the factor %u with N = %lld: that factor is found without the "
                      "quantum part",
                      factor, static_cast<long long>(n));
    }
    return powerRefusal(qubits, from, to, n);
}
