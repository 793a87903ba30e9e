#include "core/qregister.h"

#include "core/exactvalue.h"
#include "core/probabilitywalk.h"
#include "core/random.h"
#include "core/segmentation.h"
#include "core/sortedwindow.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <new>
#include <sys/mman.h>
#include <vector>

// The plug-ins read qubitCount and amplitudes at these offsets.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
static_assert(sizeof(QRegister) == 40);
static_assert(offsetof(QRegister, sortOrder) == 8);
static_assert(offsetof(QRegister, segmentation) == 16);
static_assert(offsetof(QRegister, qubitCount) == 24);
static_assert(offsetof(QRegister, amplitudes) == 32);
#pragma GCC diagnostic pop

namespace {

// Arrays of at least HugeArrayBytes sit on 2 MiB boundaries and ask for transparent huge
// pages: a snapshot or a reset writes every page of a fresh array, and faulting in 4 KiB pages
// would cost more than the copy itself. Smaller arrays are cache-line aligned. The alignment
// follows from the size alone, so the array is freed with the one it was made with.
constexpr std::size_t HugePageBytes = std::size_t{2} << 20;
constexpr std::size_t HugeArrayBytes = 2 * HugePageBytes;

std::align_val_t arrayAlignment(std::size_t bytes) {
    return std::align_val_t{bytes >= HugeArrayBytes ? HugePageBytes : 64};
}

// Amplitude arrays are raw storage with elements constructed in place, so that a fresh array
// and a snapshot each cost one pass. Complex's destructor does nothing, so none is run.
Complex* allocateAmplitudes(std::uint64_t count) {
    const std::size_t bytes = count * sizeof(Complex);
    void* array = ::operator new(bytes, arrayAlignment(bytes), std::nothrow);
    if (array && bytes >= HugeArrayBytes) {
        // Only advice: without huge pages the array works the same, just slower to fault in.
        madvise(array, bytes / HugePageBytes * HugePageBytes, MADV_HUGEPAGE);
    }
    return static_cast<Complex*>(array);
}

// count is the number of amplitudes the array was allocated with.
void freeAmplitudes(Complex* amplitudes, std::uint64_t count) {
    if (amplitudes) {
        ::operator delete(amplitudes, arrayAlignment(count * sizeof(Complex)));
    }
}

const Segmentation& defaultSegmentation() {
    static const Segmentation segmentation;
    return segmentation;
}

// Bits first .. first + width - 1 of a basis index as a number. Bit positions outside the
// index's 32 bits read as 0, also negative ones, which only a hand-edited segment end can give;
// shifting by them directly would be undefined.
std::uint64_t segmentValue(std::uint32_t index, int first, int width) {
    std::uint64_t shifted = 0;
    if (first >= 0) {
        shifted = first < 32 ? std::uint64_t{index} >> first : 0;
    } else if (first > -64) {
        shifted = std::uint64_t{index} << -first;
    }
    return width < 64 ? shifted & ((std::uint64_t{1} << width) - 1) : shifted;
}

} // namespace

QRegister::~QRegister() {
    freeAmplitudes(amplitudes, amplitudeCount());
}

bool QRegister::setQubitCount(int n) {
    if (n < 0 || n > MaxQubitCount) {
        return false;
    }
    const std::uint64_t count = std::uint64_t{1} << n;
    if (amplitudes && n == qubitCount) {
        // Same size: clearing in place spares a second array of up to 1.6 GB.
        for (std::uint64_t i = 0; i < count; ++i) {
            amplitudes[i] = 0.0;
        }
        return true;
    }
    Complex* fresh = allocateAmplitudes(count);
    if (!fresh) {
        return false;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        new (fresh + i) Complex();
    }
    freeAmplitudes(amplitudes, amplitudeCount());
    amplitudes = fresh;
    qubitCount = n;
    return true;
}

void QRegister::copyFrom(const QRegister& other) {
    if (other.qubitCount != qubitCount || !amplitudes || !other.amplitudes || &other == this) {
        return;
    }
    const std::uint64_t count = amplitudeCount();
    for (std::uint64_t i = 0; i < count; ++i) {
        amplitudes[i] = other.amplitudes[i];
    }
}

bool QRegister::cloneFrom(const QRegister& other) {
    if (&other == this) {
        return true;
    }
    if (!other.amplitudes) {
        // A copy of a register that was never sized is one without an array.
        freeAmplitudes(amplitudes, amplitudeCount());
        amplitudes = nullptr;
        qubitCount = other.qubitCount;
        return true;
    }
    const std::uint64_t count = other.amplitudeCount();
    if (amplitudes && qubitCount == other.qubitCount) {
        copyFrom(other);
        return true;
    }
    Complex* fresh = allocateAmplitudes(count);
    if (!fresh) {
        return false;
    }
    for (std::uint64_t i = 0; i < count; ++i) {
        new (fresh + i) Complex(other.amplitudes[i]);
    }
    freeAmplitudes(amplitudes, amplitudeCount());
    amplitudes = fresh;
    qubitCount = other.qubitCount;
    return true;
}

const char* QRegister::basisLabel(std::uint32_t index) const {
    static char label[LabelSize];
    constexpr int ScratchSize = 128;
    const Segmentation& seg = segmentation ? *segmentation : defaultSegmentation();
    label[0] = '\0';
    const int segments = std::min<int>(seg.segmentCount, Segmentation::MaxSegments + 1);
    for (int c = 0; c < segments; ++c) {
        const BitRange range = seg.bitRange(c, qubitCount);
        if (range.empty()) {
            continue;
        }
        const int w = range.width();
        std::uint64_t v = segmentValue(index, range.first, w);

        const SegmentOptions& opt = seg.options[c];
        const unsigned base = opt.decimal == 1 ? 10 : 2;
        char digits[ScratchSize];
        int n = 0; // least significant digit first
        while (v != 0 && n < ScratchSize - 1) {
            digits[n++] = static_cast<char>('0' + v % base);
            v /= base;
        }
        if (opt.zeroFill == 1) {
            if (base == 2) {
                while (n < w && n < ScratchSize - 1) {
                    digits[n++] = '0';
                }
            } else {
                // Decimal digits of the largest w-bit value.
                const double widest = std::log10(std::ldexp(1.0, w) - 1.0);
                while (n < widest && n < ScratchSize - 1) {
                    digits[n++] = '0';
                }
            }
        }
        if (n == 0) {
            digits[n++] = '0';
        }
        digits[n] = '\0';
        if (opt.direction == 0) {
            std::reverse(digits, digits + n);
        }
        // The joined label is cut to the 127 characters of its scratch.
        char joined[ScratchSize];
        std::size_t length = 0;
        auto put = [&](const char* text) {
            for (; *text != '\0' && length < ScratchSize - 1; ++text) {
                joined[length++] = *text;
            }
        };
        if (seg.globalDirection == 1) {
            put(label);
            put("|");
            put(digits);
            put(">");
        } else {
            put("|");
            put(digits);
            put(">");
            put(label);
        }
        joined[length] = '\0';
        std::memcpy(label, joined, length + 1);
    }
    return label;
}

void QRegister::appendEntry(char* buffer, int& length, std::uint32_t index, const Complex& value,
                            bool exactValues) const {
    if (length >= ListingSize - 1) {
        return;
    }
    char amplitude[ComplexTextSize];
    if (exactValues) {
        ExactValue::text(value, amplitude);
    } else {
        value.text(amplitude);
    }
    const int written =
        std::snprintf(buffer + length, static_cast<std::size_t>(ListingSize - length),
                      "%s%s %s     ", amplitude[0] == '-' ? "" : "+", amplitude, basisLabel(index));
    length = std::min(length + std::max(written, 0), ListingSize - 1);
}

const char* QRegister::listing(std::uint32_t first, std::uint32_t count, bool exactValues) const {
    const std::uint64_t total = amplitudeCount();
    if (first >= total) {
        return listing(first, 0, nullptr);
    }
    return listing(first, static_cast<std::uint32_t>(std::min<std::uint64_t>(count, total - first)),
                   amplitudes + first, exactValues);
}

const char* QRegister::listing(std::uint32_t first, std::uint32_t count, const Complex* values,
                               bool exactValues) const {
    static char buffer[ListingSize];
    buffer[0] = '\0';
    int length = 0;
    for (std::uint64_t k = 0; k < count && length < ListingSize - 1; ++k) {
        appendEntry(buffer, length, static_cast<std::uint32_t>(first + k), values[k], exactValues);
    }
    return buffer;
}

const char* QRegister::sortedListing(std::uint32_t first, std::uint32_t count, int mode,
                                     bool exactValues) {
    if (mode == 0) {
        return listing(first, count, exactValues);
    }
    static char buffer[ListingSize];
    buffer[0] = '\0';
    const std::uint64_t total = amplitudeCount();
    if (first >= total || count == 0) {
        return buffer;
    }
    // Every entry takes at least one character, so no more than ListingSize entries can show:
    // a larger count would only select and sort entries that are cut off anyway.
    const std::uint64_t shown =
        std::min<std::uint64_t>({count, total - first, std::uint64_t{ListingSize}});
    const std::vector<std::uint32_t> window =
        SortedWindow::select(amplitudes, total, first, shown, mode != 1);
    int length = 0;
    for (std::uint32_t index : window) {
        appendEntry(buffer, length, index, amplitudes[index], exactValues);
    }
    return buffer;
}

std::uint32_t QRegister::sample() const {
    if (amplitudeCount() == 0) {
        return 0;
    }
    return sampleFromDraw(drawNonZeroRandom15());
}

std::uint32_t QRegister::sampleFromDraw(int draw) const {
    // Stops as soon as the sample is settled; most states settle it well before the end.
    const std::uint64_t total = amplitudeCount();
    ProbabilityWalk walk(draw);
    for (std::uint64_t i = 0; i < total && !walk.found(); ++i) {
        walk.add(i, amplitudes[i].norm());
    }
    return walk.sample(total);
}

void QRegister::walkProbabilities(ProbabilityWalk& walk) const {
    const std::uint64_t total = amplitudeCount();
    const Complex* const values = amplitudes;
    // A local copy, handed back at the end: through the reference every add would store and
    // reload the running sums, the amplitudes being doubles too.
    ProbabilityWalk local = walk;
    for (std::uint64_t i = 0; i < total; ++i) {
        local.add(i, values[i].norm());
    }
    walk = local;
}

double QRegister::probabilitySum() const {
    ProbabilityWalk walk(0);
    walkProbabilities(walk);
    return walk.sum();
}
