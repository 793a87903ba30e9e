// Basis labels and listings under any segmentation record: every field of the record as the
// bytes give it (ends out of order or beyond the register, counts out of range, options that
// are neither 0 nor 1), amplitudes including NaN and infinities. Each text must end inside its
// buffer.

#include "core/qregister.h"
#include "core/segmentation.h"
#include "fuzz/fuzzinput.h"

#include <cstdio>
#include <cstring>

namespace {

void check(const char* text, std::size_t size) {
    require(std::strlen(text) < size);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    Segmentation segmentation;
    segmentation.globalDirection = in.take<std::uint8_t>();
    segmentation.segmentCount = in.take<std::int32_t>();
    for (std::int32_t& end : segmentation.segmentEnd) {
        end = in.take<std::int8_t>();
    }
    for (SegmentOptions& options : segmentation.options) {
        options = in.take<SegmentOptions>();
    }
    QRegister live;
    live.segmentation = &segmentation;
    if (!live.setQubitCount(1 + static_cast<int>(in.below(10)))) {
        return 0;
    }
    for (std::uint64_t i = 0; i < live.amplitudeCount() && !in.empty(); ++i) {
        live.amplitudes[i] = Complex(in.take<double>(), in.take<double>());
    }
    for (int k = 0; k < 4; ++k) {
        check(live.basisLabel(in.take<std::uint32_t>()), QRegister::LabelSize);
    }
    const auto first = in.take<std::uint32_t>() % (live.amplitudeCount() + 2);
    const auto count = in.take<std::uint32_t>() % 64;
    check(live.listing(static_cast<std::uint32_t>(first), count), QRegister::ListingSize);
    check(live.sortedListing(static_cast<std::uint32_t>(first), count, in.take<std::int8_t>()),
          QRegister::ListingSize);
    return 0;
}
