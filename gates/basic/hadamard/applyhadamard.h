#pragma once

#include "core/complex.h"

#include <cmath>
#include <cstdint>

namespace amplex::gates {

// The Hadamard transform of qubit k over count amplitudes (count a power of two above 2^k):
// for every pair i (bit k clear) and j = i + 2^k the new values are h a_i + h a_j at i and
// h a_i - h a_j at j, h = 1.0 / sqrt(2.0). Both old values are scaled first, then added, so the
// result matches the controlled Hadamard bit for bit. The caller checks k against the register.
inline void applyHadamard(Complex* a, std::uint64_t count, int k) {
    // Computed at run time, like the controlled Hadamard's constant, so both agree bit for bit.
    const double h = 1.0 / std::sqrt(2.0);
    const std::uint64_t step = std::uint64_t{1} << k;
    for (std::uint64_t block = 0; block < count; block += 2 * step) {
        for (std::uint64_t i = block; i < block + step; ++i) {
            const double ir = a[i].real * h;
            const double ii = a[i].imag * h;
            const double jr = a[i + step].real * h;
            const double ji = a[i + step].imag * h;
            a[i].real = ir + jr;
            a[i].imag = ii + ji;
            a[i + step].real = ir - jr;
            a[i + step].imag = ii - ji;
        }
    }
}

} // namespace amplex::gates
