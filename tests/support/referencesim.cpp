#include "tests/support/referencesim.h"

#include "core/qregister.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

namespace {

bool bit(std::uint64_t i, int k) {
    return (i >> k) & 1u;
}

} // namespace

ReferenceSim::ReferenceSim(int n) : state(std::size_t{1} << n), qubits(n) {
    state[0] = 1.0;
}

ReferenceSim::ReferenceSim(const QRegister& reg) : qubits(reg.qubitCount) {
    for (std::uint64_t i = 0; i < reg.amplitudeCount(); ++i) {
        state.emplace_back(reg.amplitudes[i].real, reg.amplitudes[i].imag);
    }
}

ReferenceSim ReferenceSim::random(int n, unsigned seed) {
    ReferenceSim sim(n);
    std::mt19937 engine(seed);
    std::normal_distribution<double> normal;
    double norm = 0.0;
    for (auto& a : sim.state) {
        a = {normal(engine), normal(engine)};
        norm += std::norm(a);
    }
    for (auto& a : sim.state) {
        a /= std::sqrt(norm);
    }
    return sim;
}

void ReferenceSim::t(int k) {
    controlledPhase(k, k, std::numbers::pi / 4.0);
}

void ReferenceSim::controlledPhase(int a, int b, double theta) {
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        if (bit(i, a) && bit(i, b)) {
            state[i] *= std::polar(1.0, theta);
        }
    }
}

void ReferenceSim::matrix(int k, const std::array<Amplitude, 4>& m, std::uint64_t controls) {
    std::vector<Amplitude> next(state.size());
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        const std::uint64_t zero = i & ~(std::uint64_t{1} << k);
        const std::uint64_t one = zero | (std::uint64_t{1} << k);
        const std::size_t row = bit(i, k) ? 2 : 0;
        next[i] =
            (i & controls) == controls ? m[row] * state[zero] + m[row + 1] * state[one] : state[i];
    }
    state = next;
}

void ReferenceSim::swap(int a, int b) {
    std::vector<Amplitude> next(state.size());
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        const bool differ = bit(i, a) != bit(i, b);
        next[differ ? i ^ (std::uint64_t{1} << a) ^ (std::uint64_t{1} << b) : i] = state[i];
    }
    state = next;
}

void ReferenceSim::project(int first, int last, std::uint64_t v) {
    const std::uint64_t mask = (std::uint64_t{2} << (last - first)) - 1;
    double p = 0.0;
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        p += ((i >> first) & mask) == v ? std::norm(state[i]) : 0.0;
    }
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        state[i] = ((i >> first) & mask) == v ? state[i] * (1.0 / std::sqrt(p)) : Amplitude();
    }
}

void ReferenceSim::mirror(int first, int last) {
    std::vector<Amplitude> next(state.size());
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        std::uint64_t j = i;
        for (int k = first; k <= last; ++k) {
            const std::uint64_t to = std::uint64_t{1} << (first + last - k);
            j = bit(i, k) ? j | to : j & ~to;
        }
        next[j] = state[i];
    }
    state = next;
}

void ReferenceSim::inverseFourier(int first, int last) {
    const int m = last - first + 1;
    const std::uint64_t size = std::uint64_t{1} << m;
    const std::uint64_t mask = (size - 1) << first;
    std::vector<Amplitude> next(state.size());
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        const std::uint64_t y = (i & mask) >> first;
        for (std::uint64_t x = 0; x < size; ++x) {
            const double angle = -2.0 * std::numbers::pi * static_cast<double>(x * y % size) /
                                 static_cast<double>(size);
            next[(i & ~mask) | (x << first)] +=
                std::polar(1.0 / std::sqrt(static_cast<double>(size)), angle) * state[i];
        }
    }
    state = next;
}

void ReferenceSim::loadInto(QRegister& reg) const {
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        reg.amplitudes[i].set(state[i].real(), state[i].imag());
    }
}

double ReferenceSim::distanceTo(const QRegister& reg) const {
    double distance = 0.0;
    for (std::uint64_t i = 0; i < state.size(); ++i) {
        const Amplitude a(reg.amplitudes[i].real, reg.amplitudes[i].imag);
        distance = std::max(distance, std::abs(a - state[i]));
    }
    return distance;
}
