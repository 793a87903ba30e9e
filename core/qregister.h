#pragma once

#include "core/complex.h"

#include <cstdint>

class ProbabilityWalk;
class Segmentation;

// The state vector of n qubits: 2^n amplitudes, one per basis state.
//
// Qubit k is bit k of the basis index; qubit 0 is the least significant bit.
// The record layout is a binary contract with the gate plug-ins (table pointer at 0,
// sortOrder at 8, segmentation at 16, qubitCount at 24, amplitudes at 32; 40 bytes): they
// read qubitCount and amplitudes of the program's register and write amplitudes in place.
class QRegister {
public:
    static constexpr int MaxQubitCount = 31; // basis indexes are 32-bit
    static constexpr int ListingSize = 4096;
    static constexpr int LabelSize = 256;

    QRegister() = default;
    QRegister(const QRegister&) = delete;
    QRegister& operator=(const QRegister&) = delete;
    virtual ~QRegister();

    // Number of amplitudes, 2^qubitCount (0 before the first setQubitCount).
    std::uint64_t amplitudeCount() const { return amplitudes ? std::uint64_t{1} << qubitCount : 0; }

    // n qubits, every amplitude 0. Returns false, leaving the register as it was, when n is
    // outside 0 .. MaxQubitCount or the array cannot be allocated.
    bool setQubitCount(int n);
    // Copies the other register's amplitudes when both have the same qubit count; otherwise
    // does nothing.
    void copyFrom(const QRegister& other);
    // Makes this register an exact copy of the other's size and amplitudes in one pass (the
    // segmentation link stays). Returns false, leaving the register as it was, when the array
    // cannot be allocated.
    bool cloneFrom(const QRegister& other);

    // Ket text of a basis index under the linked segmentation, in one static buffer of
    // LabelSize characters that the next call overwrites. Cut short, never overrun.
    const char* basisLabel(std::uint32_t index) const;
    // count consecutive entries from basis index first ("+0.5 |3>     " each), cut at the end
    // of the register; static buffer of ListingSize characters. exactValues writes the
    // amplitudes as ExactValue does ("+1/sqrt2 |3>     ").
    const char* listing(std::uint32_t first, std::uint32_t count, bool exactValues = false) const;
    // The same for count entries whose amplitudes are values[0 .. count - 1] instead of the
    // register's own (which is not read: a register without an array, its qubitCount and
    // segmentation set, lists values kept elsewhere), in the same static buffer.
    const char* listing(std::uint32_t first, std::uint32_t count, const Complex* values,
                        bool exactValues = false) const;
    // mode 0: as listing; 1: by increasing magnitude; other: by decreasing magnitude, count
    // entries from position first of that order. Equal magnitudes keep index order; NaN counts
    // as the smallest magnitude. Selects only the shown window; a separate static buffer of
    // ListingSize characters, empty when first is past the end. Nothing of the register's size
    // is allocated (see SortedWindow).
    const char* sortedListing(std::uint32_t first, std::uint32_t count, int mode,
                              bool exactValues = false);

    // A basis index drawn with the probabilities of the state, which stays unchanged. A draw of
    // 0 is drawn again, so the result is always an index of the register.
    std::uint32_t sample() const;
    // The walk of sample for a given draw 1 .. 32767: the smallest index at which the running
    // sum of probabilities reaches draw / 32767, or the last index when the sum stays below
    // it. A draw of 0 gives index 0, and so does a register without an array.
    std::uint32_t sampleFromDraw(int draw) const;
    double probabilitySum() const;
    // Hands every basis state's probability to the walk, in increasing index order.
    void walkProbabilities(ProbabilityWalk& walk) const;

    std::uint32_t* sortOrder = nullptr;
    Segmentation* segmentation = nullptr;
    std::int32_t qubitCount = 0;
    Complex* amplitudes = nullptr;

private:
    void appendEntry(char* buffer, int& length, std::uint32_t index, const Complex& value,
                     bool exactValues) const;
};
