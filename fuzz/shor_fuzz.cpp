// The classical arithmetic of Shor's algorithm against plain references in unsigned __int128,
// where nothing a 32-bit argument can do overflows: gcd, the modular power, the perfect-power
// test and its roots, the random factor, the measured value and the order candidate; and the
// texts of the checks, the post-processing and the dialogs' refusals, which must not crash.

#include "fuzz/fuzzinput.h"
#include "gates/shor/numbertheory/continuedfractions.h"
#include "gates/shor/numbertheory/shorchecks.h"
#include "gates/shor/numbertheory/shorinput.h"
#include "gates/shor/numbertheory/unsignedarithmetic.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

using u128 = unsigned __int128;

u128 gcdReference(u128 p, u128 q) {
    while (q != 0) {
        const u128 t = p % q;
        p = q;
        q = t;
    }
    return p;
}

u128 powerReference(u128 x, std::uint32_t e, u128 n) {
    u128 result = 1 % n;
    x %= n;
    for (; e != 0; e >>= 1) {
        if (e & 1u) {
            result = result * x % n;
        }
        x = x * x % n;
    }
    return result;
}

// c^k, held at 2^64 (every k-th power that matters is below 2^32).
u128 cappedPower(u128 c, std::uint32_t k) {
    u128 result = 1;
    for (std::uint32_t i = 0; i < k && result <= (u128{1} << 64); ++i) {
        result *= c;
    }
    return result;
}

// The largest c with c^k <= n, by bisection.
u128 rootReference(std::uint32_t n, std::uint32_t k) {
    u128 low = 0;
    u128 high = u128{n} + 1;
    while (high - low > 1) {
        const u128 mid = (low + high) / 2;
        (cappedPower(mid, k) <= n ? low : high) = mid;
    }
    return low;
}

// The draws of randomFactor, taken from the input.
FuzzInput* draws = nullptr;
int draw() {
    return static_cast<int>(draws->below(32768));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const auto p = in.take<std::uint32_t>();
    const auto q = in.take<std::uint32_t>();
    const auto e = in.take<std::uint32_t>();
    const int from = in.take<std::int8_t>();
    const int to = in.take<std::int8_t>();
    const auto k = in.take<std::uint8_t>();

    require(amplex::numbertheory::gcd(p, q) == gcdReference(p, q));
    require(amplex::numbertheory::modularPower(p, e, q) == (q == 0 ? 0 : powerReference(p, e, q)));

    // The root of the smallest exponent whose root is whole, as the reference finds it (for
    // odd numbers, which is all the checks ask about), and nothing for 0.
    if (p % 2 == 1 || p == 0) {
        std::optional<std::uint32_t> expected;
        for (std::uint32_t j = 2; j <= 32 && p != 0 && !expected; ++j) {
            const u128 root = rootReference(p, j);
            if (cappedPower(root, j) == p) {
                expected = static_cast<std::uint32_t>(root);
            }
        }
        require(ShorChecks::perfectPowerRoot(p) == expected);
    }
    // One attempt from any guess at or above the root; a k below 2 is refused.
    std::uint64_t guess =
        static_cast<std::uint64_t>(rootReference(q, k < 2 ? 2 : k)) + in.take<std::uint16_t>();
    if (const auto root = ShorChecks::rootAttempt(q, k, guess)) {
        require(k >= 2 && cappedPower(*root, k) == q);
    }

    draws = &in;
    if (const auto factor = ShorChecks::randomFactor(p, draw)) {
        require(*factor > 1 && p % *factor == 0);
    }
    ShorChecks::report(q, draw);

    if (from >= 0 && from <= to && to <= 30) {
        const u128 mask = (u128{1} << (to + 1)) - 1;
        require(ContinuedFractions::measuredValue(p, from, to) == (p & mask) >> from);
    }
    if (from >= 1 && from <= 31) {
        const u128 denominator = u128{1} << from;
        require(ContinuedFractions::orderCandidate(p, from) ==
                denominator / gcdReference(p, denominator));
    }
    ContinuedFractions::report(p, from, static_cast<std::int32_t>(q), static_cast<std::int32_t>(e));
    ShorInput::powerRefusal(k, from, to, static_cast<std::int64_t>(e) - 0x40000000);
    ShorInput::driverRefusal(k, from, to, static_cast<std::int64_t>(p) - 0x40000000,
                             static_cast<std::int64_t>(q) - 0x40000000);
    return 0;
}
