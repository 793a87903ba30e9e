#include "core/segmentation.h"

#include <climits>

void Segmentation::reset() {
    segmentCount = 1;
    options[0] = SegmentOptions{};
}

BitRange Segmentation::bitRange(int c, int qubitCount) const {
    if (c < 0 || c > MaxSegments) {
        return {};
    }
    BitRange range;
    // An end at INT_MAX would overflow the next segment's first bit; no register reaches it.
    range.first = c == 0 ? 0 : segmentEnd[c - 1] == INT_MAX ? INT_MAX : segmentEnd[c - 1] + 1;
    range.last = c == segmentCount - 1 ? qubitCount - 1 : segmentEnd[c];
    return range;
}
