#include "core/kernels.h"

#include "core/modularpower.h"
#include "core/parallelfor.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace amplex::kernels {

namespace {

constexpr std::uint64_t bit(int k) {
    return std::uint64_t{1} << k;
}

// Indexes in runs shorter than this are changed by passes that write every amplitude.
constexpr std::uint64_t ShortRun = 64;
// Pairs nearer than this are visited block by block rather than run by run.
constexpr std::uint64_t NearPairs = 512;

// Reads one byte of every cache line from begin up to end, in address order. A block of pairs
// 32 to 511 amplitudes apart, read as its two halves in turn, is two short streams that the
// hardware follows badly: 1.2 to 1.5 passes' time at 24 qubits, where read in order first it
// takes 1.0.
void readInOrder(const Complex* begin, const Complex* end) {
    constexpr std::ptrdiff_t Line = 64;
    const auto* first = reinterpret_cast<const volatile char*>(begin);
    const auto* last = reinterpret_cast<const volatile char*>(end) - 1;
    char touched = 0;
    for (const volatile char* p = first; p < last; p += Line) {
        touched = static_cast<char>(touched ^ *p);
    }
    touched = static_cast<char>(touched ^ *last); // the last line, when begin lies mid-line
    static_cast<void>(touched);
}

// The indexes whose bits in mask equal those of value, numbered densely: the j-th such index
// is j with the fixed bits put in between. Consecutive j give runs of consecutive indexes as
// long as the lowest fixed bit.
class FixedBits {
public:
    FixedBits(std::uint64_t mask, std::uint64_t value) : mask_(mask), value_(value & mask) {
        for (int pos = 0; pos < 64 && (mask >> pos) != 0;) {
            if (!((mask >> pos) & 1)) {
                ++pos;
                continue;
            }
            const int width = std::countr_one(mask >> pos);
            gaps_[gapCount_++] = {pos, width};
            pos += width;
        }
        fixedCount_ = std::popcount(mask);
        run_ = mask == 0 ? ~std::uint64_t{0} : bit(std::countr_zero(mask));
    }

    // How many indexes of a register of count amplitudes have the fixed bits.
    std::uint64_t size(std::uint64_t count) const { return count >> fixedCount_; }

    std::uint64_t index(std::uint64_t j) const {
        for (int g = 0; g < gapCount_; ++g) {
            const auto [pos, width] = gaps_[g];
            j = ((j >> pos) << (pos + width)) | (j & (bit(pos) - 1));
        }
        return j | value_;
    }

    // Calls f(first, length) for the runs of consecutive indexes numbered begin .. end - 1.
    // Each run after the first starts at the next index with the fixed bits: carry through
    // the fixed bits, clear them, put the value back. Short runs go one index at a time.
    template <class F> void forEachRun(std::uint64_t begin, std::uint64_t end, const F& f) const {
        if (begin >= end) {
            return;
        }
        std::uint64_t i = index(begin);
        if (run_ < 16) {
            for (std::uint64_t n = end - begin; n != 0; --n) {
                f(i, 1);
                i = ((((i | mask_) + 1) & ~mask_) | value_);
            }
            return;
        }
        while (begin < end) {
            const std::uint64_t length = std::min(end - begin, run_ - (begin & (run_ - 1)));
            f(i, length);
            begin += length;
            i = ((((i + length - 1) | mask_) + 1) & ~mask_) | value_;
        }
    }

private:
    struct Gap {
        int pos;
        int width;
    };
    std::array<Gap, 32> gaps_{};
    int gapCount_ = 0;
    int fixedCount_ = 0;
    std::uint64_t mask_ = 0;
    std::uint64_t value_ = 0;
    std::uint64_t run_ = 0;
};

// Runs f(first, length) over the runs of indexes with the fixed bits, on all threads.
template <class F>
void forEachFixed(std::uint64_t count, std::uint64_t mask, std::uint64_t value, const F& f) {
    const FixedBits fixed(mask, value);
    parallelFor(count, fixed.size(count),
                [&](std::uint64_t begin, std::uint64_t end) { fixed.forEachRun(begin, end, f); });
}

// An amplitude's two parts in a buffer of the kernels, without Complex's table pointer.
struct Value {
    double imag;
    double real;
};

// Calls op(x, y, i) for every pair x = a[i], y = a[i + 2^k] (bit k of i clear), on all
// threads. Two streams a multiple of 256 MiB apart (the top qubit at 26 qubits) alias in the
// first-level cache here, which tells lines apart by a hash of the address bits below 2^28:
// alternating amplitude by amplitude they take 6.9 passes' time, where reading them alone
// takes 1.5. Such far partners go through a buffer block by block instead: 1.5 MiB blocks
// take 1.55 passes on one thread (24 KiB blocks took 2.0; larger ones fall out of the
// second-level cache). A ring that keeps the streams skewed, registers in place of the
// buffer, non-temporal write-back and prefetching all measured no better. Nearer partners
// gain nothing from the buffer.
template <class Op>
void forEachPair(Complex* a, std::uint64_t count, int k, const Op& op,
                 std::uint64_t aliasBytes = AliasBytes) {
    constexpr std::uint64_t Block = std::uint64_t{1} << 16;
    const std::uint64_t step = bit(k);
    if (step < NearPairs) {
        // Near partners: blocks of 2^(k+1) amplitudes, the first half paired with the second,
        // with no runs to find. Found as runs, they took up to three passes' time at 24
        // qubits (k = 1 .. 3 in runs of one index); the neighbours of k = 0 always went so.
        parallelFor(count, count / (2 * step), [&](std::uint64_t begin, std::uint64_t end) {
            for (std::uint64_t base = 2 * step * begin; base < 2 * step * end; base += 2 * step) {
                if (step >= 32) {
                    readInOrder(a + base, a + base + 2 * step);
                }
                for (std::uint64_t i = base; i < base + step; ++i) {
                    op(a[i], a[i + step], i);
                }
            }
        });
        return;
    }
    const bool blocked = step * sizeof(Complex) % aliasBytes == 0;
    forEachFixed(count, step, 0, [&](std::uint64_t first, std::uint64_t length) {
        if (!blocked) {
            for (std::uint64_t i = first; i < first + length; ++i) {
                op(a[i], a[i + step], i);
            }
            return;
        }
        const auto buffer = std::make_unique<Complex[]>(std::min(Block, length));
        for (std::uint64_t b = first; b < first + length; b += Block) {
            const std::uint64_t n = std::min(Block, first + length - b);
            Complex* far = a + b + step;
            std::copy(far, far + n, buffer.get());
            for (std::uint64_t j = 0; j < n; ++j) {
                op(a[b + j], buffer[j], b + j);
            }
            std::copy(buffer.get(), buffer.get() + n, far);
        }
    });
}

// forEachPair restricted to the pairs whose index has every bit of controlMask set; only
// those are visited.
template <class Op>
void forEachControlledPair(Complex* a, std::uint64_t count, std::uint64_t controlMask, int target,
                           const Op& op) {
    if (controlMask == 0) {
        forEachPair(a, count, target, op);
        return;
    }
    const std::uint64_t step = bit(target);
    forEachFixed(count, controlMask | step, controlMask,
                 [&](std::uint64_t first, std::uint64_t length) {
                     for (std::uint64_t i = first; i < first + length; ++i) {
                         op(a[i], a[i + step], i);
                     }
                 });
}

void swapAmplitudes(Complex& x, Complex& y) {
    const double re = x.real;
    const double im = x.imag;
    x.real = y.real;
    x.imag = y.imag;
    y.real = re;
    y.imag = im;
}

// The value an amplitude takes when it is added into a cleared array: -0.0 becomes +0.0.
void addToZero(Complex& x) {
    x.real = 0.0 + x.real;
    x.imag = 0.0 + x.imag;
}

// The low width bits of v in reverse order.
std::uint64_t reverseBits(std::uint64_t v, int width) {
    if (width == 0) {
        return 0;
    }
    v = ((v >> 1) & 0x5555555555555555u) | ((v & 0x5555555555555555u) << 1);
    v = ((v >> 2) & 0x3333333333333333u) | ((v & 0x3333333333333333u) << 2);
    v = ((v >> 4) & 0x0F0F0F0F0F0F0F0Fu) | ((v & 0x0F0F0F0F0F0F0F0Fu) << 4);
    v = ((v >> 8) & 0x00FF00FF00FF00FFu) | ((v & 0x00FF00FF00FF00FFu) << 8);
    v = ((v >> 16) & 0x0000FFFF0000FFFFu) | ((v & 0x0000FFFF0000FFFFu) << 16);
    v = (v >> 32) | (v << 32);
    return v >> (64 - width);
}

// The distinct values in 0 .. limit - 1, in increasing order, with how often each is listed.
std::vector<std::pair<std::uint32_t, std::uint64_t>> tally(std::span<const std::int32_t> values,
                                                           std::int64_t limit) {
    std::vector<std::uint32_t> kept;
    for (const std::int32_t v : values) {
        if (v >= 0 && v < limit) {
            kept.push_back(static_cast<std::uint32_t>(v));
        }
    }
    std::sort(kept.begin(), kept.end());
    std::vector<std::pair<std::uint32_t, std::uint64_t>> counts;
    for (const std::uint32_t v : kept) {
        if (counts.empty() || counts.back().first != v) {
            counts.emplace_back(v, 0);
        }
        ++counts.back().second;
    }
    return counts;
}

} // namespace

double hadamardFactor() {
    // Computed at run time, as it always was, so that no compiler folds it differently.
    return 1.0 / std::sqrt(2.0);
}

namespace {

// x, y := h x + h y, h x - h y, both old values scaled first. FromZero begins each sum at
// +0.0, as a sum into a cleared array does (-0.0 results then come out as +0.0).
template <bool FromZero> void butterfly(Complex& x, Complex& y, double h) {
    double xr = x.real * h;
    double xi = x.imag * h;
    if constexpr (FromZero) {
        xr = 0.0 + xr; // the lower index's share lands first in both sums
        xi = 0.0 + xi;
    }
    const double yr = y.real * h;
    const double yi = y.imag * h;
    x.real = xr + yr;
    x.imag = xi + yi;
    y.real = xr - yr;
    y.imag = xi - yi;
}

} // namespace

void hadamard(Complex* a, std::uint64_t count, int k, std::uint64_t aliasBytes) {
    const double h = hadamardFactor();
    forEachPair(
        a, count, k, [h](Complex& x, Complex& y, std::uint64_t) { butterfly<false>(x, y, h); },
        aliasBytes);
}

void controlledHadamard(Complex* a, std::uint64_t count, int control, int target) {
    const double h = hadamardFactor();
    const std::uint64_t controlMask = bit(control);
    forEachPair(a, count, target, [=](Complex& x, Complex& y, std::uint64_t i) {
        if (i & controlMask) {
            butterfly<true>(x, y, h);
        } else {
            addToZero(x);
            addToZero(y);
        }
    });
}

void phase(Complex* a, std::uint64_t count, std::uint64_t mask, double c, double s) {
    const auto rotate = [=](Complex& x) {
        const double re = x.real;
        const double im = x.imag;
        x.real = c * re - s * im;
        x.imag = c * im + s * re;
    };
    if ((mask & (~mask + 1)) >= ShortRun) {
        forEachFixed(count, mask, mask, [=](std::uint64_t first, std::uint64_t length) {
            for (std::uint64_t i = first; i < first + length; ++i) {
                rotate(a[i]);
            }
        });
        return;
    }
    // Changed indexes in short runs: writing back every amplitude, most of them unchanged,
    // streams through memory faster than writing every other few.
    parallelFor(count, count, [=](std::uint64_t begin, std::uint64_t end) {
        for (std::uint64_t i = begin; i < end; ++i) {
            Complex x = a[i];
            if ((i & mask) == mask) {
                rotate(x);
            }
            a[i].real = x.real;
            a[i].imag = x.imag;
        }
    });
}

namespace {

// Every pair 2^target apart is written, swapped where its index has every bit of controlMask
// set or not: writing only every other few amplitudes (a low control qubit) streams slower
// than writing all.
void swapAlongEveryPair(Complex* a, std::uint64_t count, std::uint64_t controlMask, int target) {
    forEachPair(a, count, target, [=](Complex& x, Complex& y, std::uint64_t i) {
        const bool swap = (i & controlMask) == controlMask;
        const double xr = x.real;
        const double xi = x.imag;
        const double yr = y.real;
        const double yi = y.imag;
        x.real = swap ? yr : xr;
        x.imag = swap ? yi : xi;
        y.real = swap ? xr : yr;
        y.imag = swap ? xi : yi;
    });
}

} // namespace

void cnot(Complex* a, std::uint64_t count, int control, int target) {
    swapAlongEveryPair(a, count, bit(control), target);
}

void bitMirror(Complex* a, std::uint64_t count, int first, int last) {
    const int width = last - first + 1;
    const std::uint64_t inner = bit(first); // amplitudes that move together
    // Tiles of 2^tileBits x 2^tileBits groups of inner amplitudes, at most TileSize in all:
    // the top and bottom tileBits bits of the range trade places, so the rows of one tile
    // become the columns of its mirror tile. Both are read row by row into buffers and
    // written back row by row: their rows lie a power of two apart and would evict each other
    // from the caches if they were swapped element by element.
    // Measured at 24 qubits on one thread: about 5.5 in-place passes. Reading the register as
    // rows of a few lines far apart alone takes 2.3 passes here (6 KiB rows: 2.0), so no tile
    // order comes near one pass; writing whole rows past the caches, a separate transposing
    // step, prefetching rows ahead and reading the next pair while writing this one each
    // measured within a few percent of this.
    constexpr int TileSizeBits = 12;
    const int tileBits = (TileSizeBits - first) / 2;
    if (tileBits < 2 || width < 2 * tileBits) {
        // Wide groups already stream, and a narrow range moves indexes only a short way.
        const std::uint64_t fieldMask = (bit(width) - 1) << first;
        parallelFor(count, count >> first, [=](std::uint64_t begin, std::uint64_t end) {
            for (std::uint64_t g = begin; g < end; ++g) {
                const std::uint64_t i = g << first;
                const std::uint64_t m =
                    (i & ~fieldMask) | (reverseBits((i & fieldMask) >> first, width) << first);
                if (m > i) {
                    for (std::uint64_t k = 0; k < inner; ++k) {
                        swapAmplitudes(a[i + k], a[m + k]);
                    }
                }
            }
        });
        return;
    }
    const std::uint64_t tile = bit(tileBits);
    std::array<std::uint64_t, bit(TileSizeBits / 2)> reversed{};
    for (std::uint64_t t = 0; t < tile; ++t) {
        reversed[t] = reverseBits(t, tileBits);
    }
    const int middleBits = width - 2 * tileBits;
    const int highShift = first + width - tileBits; // where the range's top tileBits begin
    const std::uint64_t middles = bit(middleBits);
    const std::uint64_t outers = count >> (last + 1);
    const std::uint64_t rowLength = tile * inner;
    parallelFor(count, outers * middles, [&](std::uint64_t begin, std::uint64_t end) {
        std::vector<Value> here(bit(TileSizeBits));
        std::vector<Value> there(bit(TileSizeBits));
        // Row hi of a tile, and where (lo, k) of row hi lands in the buffer of the mirror.
        const auto row = [&](std::uint64_t base, std::uint64_t hi) {
            return a + (base | (hi << highShift));
        };
        const auto load = [&](std::vector<Value>& buffer, std::uint64_t base) {
            for (std::uint64_t hi = 0; hi < tile; ++hi) {
                const Complex* r = row(base, hi);
                for (std::uint64_t j = 0; j < rowLength; ++j) {
                    buffer[hi * rowLength + j] = {r[j].imag, r[j].real};
                }
            }
        };
        // Row hi, group lo of the tile takes group reversed[hi] of row reversed[lo].
        const auto store = [&](const std::vector<Value>& buffer, std::uint64_t base) {
            for (std::uint64_t hi = 0; hi < tile; ++hi) {
                Complex* r = row(base, hi);
                for (std::uint64_t lo = 0; lo < tile; ++lo) {
                    const Value* from = &buffer[reversed[lo] * rowLength + reversed[hi] * inner];
                    for (std::uint64_t k = 0; k < inner; ++k) {
                        r[lo * inner + k].imag = from[k].imag;
                        r[lo * inner + k].real = from[k].real;
                    }
                }
            }
        };
        // The tile pair of an item, or nothing when the item's mirror does the work. Each pair
        // is done by one of its two items; which one alternates, so that the threads' shares
        // of the range carry the same work.
        const auto tiles =
            [&](std::uint64_t item) -> std::optional<std::pair<std::uint64_t, std::uint64_t>> {
            const std::uint64_t middle = item & (middles - 1);
            const std::uint64_t mirror = reverseBits(middle, middleBits);
            const std::uint64_t low = std::min(middle, mirror);
            const bool lowDoesIt = (std::popcount(low) & 1) == 0;
            if (middle != mirror && (middle == low) != lowDoesIt) {
                return std::nullopt;
            }
            const std::uint64_t outer = (item >> middleBits) << (last + 1);
            return std::pair{outer | (middle << (first + tileBits)),
                             outer | (mirror << (first + tileBits))};
        };
        for (std::uint64_t item = begin; item < end; ++item) {
            const auto pair = tiles(item);
            if (!pair) {
                continue;
            }
            const auto [from, to] = *pair;
            const bool ownMirror = from == to;
            load(here, from);
            if (ownMirror) {
                store(here, from); // a tile of its own mirror: fixed points written back as read
                continue;
            }
            load(there, to);
            store(there, from);
            store(here, to);
        }
    });
}

void modularPowerXor(Complex* a, std::uint64_t count, int from, int to, int low, std::uint32_t base,
                     std::uint32_t modulus) {
    // base^e for the low exponent bits from a table, the higher bits by one product that
    // changes seldom.
    constexpr int TableBits = 12; // 16 KiB, at home in the first-level cache
    const int exponentBits = to - from + 1;
    const int tableBits = std::min(exponentBits, TableBits);
    std::vector<std::uint32_t> powers(bit(tableBits));
    powers[0] = 1 % modulus;
    for (std::size_t e = 1; e < powers.size(); ++e) {
        powers[e] = multiplyModulo(powers[e - 1], base, modulus);
    }
    // Index = (high, value field, rest below low). Pairs differ only in the value field, so
    // a chunk of consecutive rests taken across every value of the field holds whole pairs
    // and fits in the cache: each amplitude is fetched once.
    const int width = std::bit_width(modulus - 1);
    const std::uint64_t values = bit(width);
    const std::uint64_t rests = bit(low);
    // About 2.4 in-place passes at 24 qubits (Shor's layout), the time spent waiting for the
    // partner rows; chunks of 48 KiB to 3 MiB, requesting the next chunk's rows ahead and
    // swaps without branches all measured no better.
    constexpr std::uint64_t ChunkSize = 8192; // 192 KiB of rows, at home in the second level
    // The power of the exponent held by index i; each thread keeps its own high product.
    struct Power {
        const std::vector<std::uint32_t>& powers;
        std::uint32_t base, modulus;
        int from, tableBits, exponentBits;
        std::uint64_t highExponent = 0;
        std::uint32_t highPower = 1;

        std::uint64_t operator()(std::uint64_t i) {
            const std::uint64_t e = (i >> from) & (bit(exponentBits) - 1);
            std::uint32_t v = powers[e & (bit(tableBits) - 1)];
            if (exponentBits > tableBits) {
                if (e >> tableBits != highExponent) {
                    highExponent = e >> tableBits;
                    highPower = modularPower(base, highExponent << tableBits, modulus);
                }
                v = multiplyModulo(v, highPower, modulus);
            }
            return v;
        }
    };
    const Power power{powers, base, modulus, from, tableBits, exponentBits};
    if (values > ChunkSize) {
        // A value field too wide for a chunk: each pair swapped by its lower end.
        parallelFor(count, count, [&](std::uint64_t begin, std::uint64_t end) {
            Power p = power;
            for (std::uint64_t i = begin; i < end; ++i) {
                const std::uint64_t partner = i ^ (p(i) << low);
                if (partner > i) {
                    swapAmplitudes(a[i], a[partner]);
                }
            }
        });
        return;
    }
    const std::uint64_t chunk = std::min(rests, ChunkSize / values);
    const std::uint64_t chunksPerHigh = rests / chunk;
    parallelFor(count, (count >> (low + width)) * chunksPerHigh,
                [&](std::uint64_t begin, std::uint64_t end) {
                    Power p = power;
                    // v is the same for every value of the field: it is found once per rest,
                    // and then each row of the field is walked in order, every amplitude
                    // swapped with its partner in row f ^ v by the lower of the two rows.
                    std::vector<std::uint64_t> partner(chunk);
                    for (std::uint64_t item = begin; item < end; ++item) {
                        const std::uint64_t high = (item / chunksPerHigh) << (low + width);
                        const std::uint64_t first = high | ((item % chunksPerHigh) * chunk);
                        for (std::uint64_t r = 0; r < chunk; ++r) {
                            partner[r] = p(first + r);
                        }
                        for (std::uint64_t f = 0; f < values; ++f) {
                            Complex* row = a + first + (f << low);
                            for (std::uint64_t r = 0; r < chunk; ++r) {
                                const std::uint64_t g = f ^ partner[r];
                                if (g > f) {
                                    swapAmplitudes(row[r], a[first + (g << low) + r]);
                                }
                            }
                        }
                    }
                });
}

void flagOracle(Complex* a, std::uint64_t count, int from, int to, int target,
                std::span<const std::int32_t> values) {
    const int width = to - from + 1;
    const std::uint64_t fieldMask = bit(width) - 1;
    // One bit per value of the qubits from .. to: at most an eighth of a byte per amplitude.
    std::vector<std::uint64_t> marked((bit(width) + 63) / 64);
    for (const auto& [v, times] : tally(values, static_cast<std::int64_t>(bit(width)))) {
        marked[v / 64] |= bit(static_cast<int>(v % 64));
    }
    const auto isMarked = [&](std::uint64_t i) {
        const std::uint64_t x = (i >> from) & fieldMask;
        return (marked[x / 64] >> (x % 64)) & 1;
    };
    const std::uint64_t step = bit(target);
    forEachPair(a, count, target, [&](Complex& x, Complex& y, std::uint64_t i) {
        const bool flipX = isMarked(i);
        const bool flipY = isMarked(i + step);
        if (flipX == flipY) {
            // Outside from .. to the target never changes the value: only these cases.
            if (flipX) {
                swapAmplitudes(x, y);
            }
            addToZero(x);
            addToZero(y);
            return;
        }
        // Both land on one index, the lower one's share first; the other index is left with
        // nothing.
        Complex& sum = flipX ? y : x;
        Complex& emptied = flipX ? x : y;
        const double re = (0.0 + x.real) + y.real;
        const double im = (0.0 + x.imag) + y.imag;
        sum.real = re;
        sum.imag = im;
        emptied.real = 0.0;
        emptied.imag = 0.0;
    });
}

void signOracle(Complex* a, std::uint64_t count, int from, int to,
                std::span<const std::int32_t> values) {
    const int width = to - from + 1;
    std::vector<std::uint64_t> marked;
    for (const auto& [v, times] : tally(values, static_cast<std::int64_t>(bit(width)))) {
        if (times % 2 == 1) {
            marked.push_back(v);
        }
    }
    if (bit(from) < ShortRun && marked.size() * 8 >= bit(width)) {
        // Many marked values in short runs: one pass writing every amplitude is faster than
        // visiting the marked ones.
        std::vector<std::uint64_t> isMarked((bit(width) + 63) / 64);
        for (const std::uint64_t v : marked) {
            isMarked[v / 64] |= bit(static_cast<int>(v % 64));
        }
        const std::uint64_t fieldMask = bit(width) - 1;
        parallelFor(count, count, [&](std::uint64_t begin, std::uint64_t end) {
            for (std::uint64_t i = begin; i < end; ++i) {
                const std::uint64_t x = (i >> from) & fieldMask;
                Complex& y = a[i];
                const double re = y.real;
                const double im = y.imag;
                const bool negate = (isMarked[x / 64] >> (x % 64)) & 1;
                y.real = negate ? -re : re;
                y.imag = negate ? -im : im;
            }
        });
        return;
    }
    // Item j: the marked value j >> rest, with the other bits of the index from the rest.
    const int rest = std::countr_zero(count) - width;
    const FixedBits others((bit(width) - 1) << from, 0);
    const std::uint64_t lowMask = bit(rest) - 1;
    parallelFor(count, marked.size() << rest, [&](std::uint64_t begin, std::uint64_t end) {
        while (begin < end) {
            const std::uint64_t value = marked[begin >> rest] << from;
            const std::uint64_t stop = std::min(end, ((begin >> rest) + 1) << rest);
            others.forEachRun(begin & lowMask, ((stop - 1) & lowMask) + 1,
                              [&](std::uint64_t first, std::uint64_t length) {
                                  for (std::uint64_t i = first; i < first + length; ++i) {
                                      Complex& x = a[i | value];
                                      x.real = -x.real;
                                      x.imag = -x.imag;
                                  }
                              });
            begin = stop;
        }
    });
}

void singleQubit(Complex* a, std::uint64_t count, std::uint64_t controlMask, int target,
                 const std::array<Complex, 4>& m) {
    const double r00 = m[0].real, i00 = m[0].imag, r01 = m[1].real, i01 = m[1].imag;
    const double r10 = m[2].real, i10 = m[2].imag, r11 = m[3].real, i11 = m[3].imag;
    forEachControlledPair(a, count, controlMask, target,
                          [=](Complex& x, Complex& y, std::uint64_t) {
                              const double xr = x.real;
                              const double xi = x.imag;
                              const double yr = y.real;
                              const double yi = y.imag;
                              x.real = (r00 * xr - i00 * xi) + (r01 * yr - i01 * yi);
                              x.imag = (r00 * xi + i00 * xr) + (r01 * yi + i01 * yr);
                              y.real = (r10 * xr - i10 * xi) + (r11 * yr - i11 * yi);
                              y.imag = (r10 * xi + i10 * xr) + (r11 * yi + i11 * yr);
                          });
}

void flip(Complex* a, std::uint64_t count, std::uint64_t controlMask, int target) {
    if (controlMask != 0 && (controlMask & (~controlMask + 1)) < ShortRun) {
        swapAlongEveryPair(a, count, controlMask, target);
        return;
    }
    forEachControlledPair(a, count, controlMask, target,
                          [](Complex& x, Complex& y, std::uint64_t) { swapAmplitudes(x, y); });
}

void swapQubits(Complex* a, std::uint64_t count, int first, int second) {
    const std::uint64_t both = bit(first) | bit(second);
    forEachFixed(count, both, bit(first), [=](std::uint64_t start, std::uint64_t length) {
        for (std::uint64_t i = start; i < start + length; ++i) {
            swapAmplitudes(a[i], a[i ^ both]);
        }
    });
}

double probabilityOf(const Complex* a, std::uint64_t count, std::uint64_t mask,
                     std::uint64_t value) {
    constexpr std::uint64_t Block = std::uint64_t{1} << 16;
    // Aligned runs of this many indexes share their bits in mask: each run is summed whole or
    // skipped whole, so short runs stream through every amplitude and long ones skip the rest.
    const std::uint64_t run = std::min(mask == 0 ? Block : mask & (~mask + 1), Block);
    // One sum per block, whichever thread adds it: the split never reaches the arithmetic.
    std::vector<double> sums((count + Block - 1) / Block);
    parallelFor(count, sums.size(), [&](std::uint64_t begin, std::uint64_t end) {
        for (std::uint64_t b = begin; b < end; ++b) {
            double sum = 0.0;
            for (std::uint64_t i = b * Block; i < std::min(count, (b + 1) * Block); i += run) {
                if ((i & mask) == value) {
                    for (std::uint64_t j = i; j < i + run; ++j) {
                        sum += a[j].norm();
                    }
                }
            }
            sums[b] = sum;
        }
    });
    double total = 0.0;
    for (const double sum : sums) {
        total += sum;
    }
    return total;
}

void collapse(Complex* a, std::uint64_t count, std::uint64_t mask, std::uint64_t value,
              double scale) {
    parallelFor(count, count, [=](std::uint64_t begin, std::uint64_t end) {
        for (std::uint64_t i = begin; i < end; ++i) {
            const bool kept = (i & mask) == value;
            a[i].real = kept ? a[i].real * scale : 0.0;
            a[i].imag = kept ? a[i].imag * scale : 0.0;
        }
    });
}

} // namespace amplex::kernels
