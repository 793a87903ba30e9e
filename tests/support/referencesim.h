#pragma once

#include <array>
#include <complex>
#include <cstdint>
#include <vector>

class QRegister;

// A slow, plainly written state-vector simulator to hold the plug-ins against: every gate is
// its textbook definition over the basis indexes, with no shortcuts. Qubit k is bit k.
class ReferenceSim {
public:
    using Amplitude = std::complex<double>;

    explicit ReferenceSim(int qubits);
    // The state that a register holds.
    explicit ReferenceSim(const QRegister& reg);
    // A normalised state with random amplitudes, reproducible by seed.
    static ReferenceSim random(int qubits, unsigned seed);

    // The phase e^(i pi/4) where qubit k is 1.
    void t(int k);
    // The phase e^(i theta) where qubits a and b are both 1.
    void controlledPhase(int a, int b, double theta);
    // The 2x2 matrix m (row by row) on qubit k where every qubit of controls is 1.
    void matrix(int k, const std::array<Amplitude, 4>& m, std::uint64_t controls = 0);
    // Exchanges qubits a and b.
    void swap(int a, int b);
    // The measurement of qubits first .. last with outcome v: the other values dropped, the
    // rest renormalised.
    void project(int first, int last, std::uint64_t v);
    // Reverses the order of the qubits first .. last.
    void mirror(int first, int last);
    // The inverse discrete Fourier transform of the qubits first .. last, read as the number
    // y with qubit first as its lowest bit: |y> -> 2^(-m/2) sum_x e^(-2 pi i x y / 2^m) |x>.
    void inverseFourier(int first, int last);

    // Copies the state into a register of the same qubit count.
    void loadInto(QRegister& reg) const;
    // Largest distance between an amplitude of the register and the same one here.
    double distanceTo(const QRegister& reg) const;

    std::vector<Amplitude> state;
    int qubits = 0;
};
