#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The classical checks before the quantum part of Shor's algorithm: is N even, is it a perfect
// power, does a random number already share a factor with it. Pure functions; the random
// draws come from a source the caller passes, so that a test can fix them.
class ShorChecks {
public:
    // A draw of 0 .. 32767 (the program's generator in the plug-in). A plain function, not a
    // std::function, whose type information a plug-in would export.
    using DrawFn = int (*)();

    static constexpr int RandomAttempts = 20;

    // One attempt at the k-th root of n by Newton's iteration from the guess, which the
    // attempt lowers in place. Yields the root when n is exactly its k-th power. Nothing for
    // k < 2, n = 0 or a guess whose k-th power is below n. The powers are taken in 64 bits and
    // held at a ceiling above every 32-bit n, so no power wraps to 0 and no division by it can
    // occur, for any 32-bit n.
    static std::optional<std::uint32_t> rootAttempt(std::uint32_t n, std::uint32_t k,
                                                    std::uint64_t& guess);
    // The root c of the smallest exponent k in 2 .. 32 with c^k = n, for odd n (1 counts as a
    // power of 1); nothing when n is no perfect power, and nothing for n = 0.
    static std::optional<std::uint32_t> perfectPowerRoot(std::uint32_t n);
    // Up to RandomAttempts numbers y in 1 .. n - 1 drawn from the source; the first
    // gcd(y, n) > 1 found. For odd n >= 3; nothing for n < 3 or without a source.
    static std::optional<std::uint32_t> randomFactor(std::uint32_t n, DrawFn draw);
    // The whole message for n: even; a power of its root; a random factor; or failure. Every
    // 32-bit n gives one of the four texts.
    static std::string report(std::uint32_t n, DrawFn draw);
};
