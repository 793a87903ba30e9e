#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>

// How one segment's number is written inside its ket.
struct SegmentOptions {
    std::uint8_t direction = 0; // 0: most significant digit first; 1: least significant first
    std::uint8_t decimal = 1;   // 1: decimal digits; 0: binary digits
    std::uint8_t zeroFill = 0;  // 1: pad with zeros to the segment's full width
};
static_assert(sizeof(SegmentOptions) == 3);

// First and last bit of a segment; the segment is empty when last < first.
struct BitRange {
    int first = 0;
    int last = -1;
    bool empty() const { return last < first; }
    // Counted in 64 bits: ends far apart would overflow an int.
    int width() const {
        return empty() ? 0
                       : static_cast<int>(
                             std::min<std::int64_t>(std::int64_t{last} - first + 1, INT_MAX));
    }
};

// The division of the register's qubits into segments, each written as a ket of its own.
//
// Segment c covers bits segmentEnd[c - 1] + 1 .. segmentEnd[c]; the first starts at bit 0 and
// the last always reaches the top qubit. Nothing keeps the ends ascending: a segment may be
// empty or overlap its neighbour, and every reader goes through bitRange().
class Segmentation {
public:
    static constexpr int MaxSegments = 31;

    Segmentation() { reset(); }
    virtual ~Segmentation() = default;

    // One decimal segment without zero fill; keeps globalDirection, the other options and
    // segmentEnd as they are.
    void reset();

    // Bits of segment c in a register of qubitCount qubits. A segment number outside
    // 0 .. MaxSegments gives an empty range instead of reading past segmentEnd.
    BitRange bitRange(int c, int qubitCount) const;

    std::uint8_t globalDirection = 0; // 0: segment 0 rightmost; 1: segment 0 leftmost
    SegmentOptions options[MaxSegments + 2];
    std::int32_t segmentCount = 1;
    std::int32_t segmentEnd[MaxSegments + 1] = {};
};
