#include "core/sortedwindow.h"

#include "core/parallelfor.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

// The order as one unsigned number, equal numbers then by index. A squared magnitude is never
// negative (not even -0), so its bits order like it (+1 keeps 0 for NaN, the smallest);
// decreasing order is the complement, which `flip` (all ones) gives.
std::uint64_t rankKey(const Complex& c, std::uint64_t flip) {
    const double n = c.norm();
    std::uint64_t bits = 0;
    std::memcpy(&bits, &n, sizeof bits);
    return (std::isnan(n) ? 0 : bits + 1) ^ flip;
}

std::uint64_t flipFor(bool descending) {
    return descending ? ~std::uint64_t{0} : 0;
}

using Ranked = std::pair<std::uint64_t, std::uint32_t>; // key and index: ordered as listed

// The k entries of indexes begin .. end - 1 that come first in the order (front) or last, in
// no particular order. Indexes only grow, so an entry enters a front heap when its key is below
// the top's, and a back heap when it is not below it.
std::vector<Ranked> keepNearEnd(const Complex* amplitudes, std::uint64_t begin, std::uint64_t end,
                                std::uint64_t k, bool front, std::uint64_t flip) {
    auto heapOrder = [front](const Ranked& a, const Ranked& b) { return front ? a < b : b < a; };
    std::vector<Ranked> heap;
    heap.reserve(std::min(k, end - begin));
    std::uint64_t i = begin;
    for (; i < end && heap.size() < k; ++i) {
        heap.emplace_back(rankKey(amplitudes[i], flip), static_cast<std::uint32_t>(i));
    }
    if (heap.empty()) {
        return heap;
    }
    std::make_heap(heap.begin(), heap.end(), heapOrder);
    std::uint64_t top = heap.front().first;
    for (; i < end; ++i) {
        const std::uint64_t key = rankKey(amplitudes[i], flip);
        if ((key < top) == front) {
            std::pop_heap(heap.begin(), heap.end(), heapOrder);
            heap.back() = {key, static_cast<std::uint32_t>(i)};
            std::push_heap(heap.begin(), heap.end(), heapOrder);
            top = heap.front().first;
        }
    }
    return heap;
}

// A window near one end: the k entries that come first in the order (front window) or last
// (back window). Each of `parts` ranges of indexes keeps its own k in a heap during one pass,
// on threads of their own; the window is then taken from all of them sorted together, which
// holds the k overall.
std::vector<std::uint32_t> selectNearEnd(const Complex* amplitudes, std::uint64_t total,
                                         std::uint64_t first, std::uint64_t count, bool descending,
                                         int parts) {
    const bool front = first + count <= SortedWindow::HeapWindowLimit;
    const std::uint64_t k = front ? first + count : total - first;
    if (parts <= 0) {
        parts = total < amplex::kernels::ParallelThreshold ? 1 : amplex::kernels::threadCount();
    }
    const auto ranges = static_cast<std::uint64_t>(parts);
    std::vector<std::vector<Ranked>> kept(ranges);
    amplex::kernels::parallelFor(total, ranges, [&](std::uint64_t from, std::uint64_t to) {
        for (std::uint64_t r = from; r < to; ++r) {
            kept[r] = keepNearEnd(amplitudes, total * r / ranges, total * (r + 1) / ranges, k,
                                  front, flipFor(descending));
        }
    });
    std::vector<Ranked> all;
    all.reserve(ranges * k);
    for (const std::vector<Ranked>& part : kept) {
        all.insert(all.end(), part.begin(), part.end());
    }
    std::sort(all.begin(), all.end());
    const std::uint64_t offset = front ? first : all.size() - k;
    std::vector<std::uint32_t> window;
    window.reserve(count);
    for (std::uint64_t p = offset; p < offset + count; ++p) {
        window.push_back(all[p].second);
    }
    return window;
}

constexpr int DigitBits = 16;
constexpr std::size_t Buckets = std::size_t{1} << DigitBits;

// The keys of one bucket level: how many, and whether they are all one key.
struct Histogram {
    std::vector<std::uint64_t> count = std::vector<std::uint64_t>(Buckets);
    std::vector<std::uint64_t> firstKey = std::vector<std::uint64_t>(Buckets);
    std::vector<std::uint8_t> mixed = std::vector<std::uint8_t>(Buckets);

    void add(std::size_t d, std::uint64_t key) {
        if (count[d]++ == 0) {
            firstKey[d] = key;
        } else if (firstKey[d] != key) {
            mixed[d] = 1;
        }
    }
};

// One end of the window, narrowed bucket by bucket until it is settled: its key is known (a
// bucket of one key), or its bucket is small enough to be collected whole.
struct End {
    std::uint64_t position = 0;
    int known = 0;            // leading bits of the key fixed so far
    std::uint64_t prefix = 0; // their value
    std::uint64_t below = 0;  // entries before the prefix's keys
    std::uint64_t size = 0;   // entries with the prefix
    std::uint64_t key = 0;    // the one key of the prefix, when exact
    bool exact = false;
    bool settled = false;

    bool holds(std::uint64_t key) const { return known == 0 || (key >> (64 - known)) == prefix; }
    std::size_t digit(std::uint64_t key) const {
        return static_cast<std::size_t>((key >> (64 - known - DigitBits)) & (Buckets - 1));
    }
    bool samePrefix(const End& other) const {
        return known == other.known && prefix == other.prefix;
    }
    std::uint64_t lowKey() const { return exact ? key : known == 0 ? 0 : prefix << (64 - known); }
    std::uint64_t highKey() const {
        return exact || known >= 64 ? lowKey()
                                    : lowKey() | ((std::uint64_t{1} << (64 - known)) - 1);
    }
    void narrow(const Histogram& h, std::uint64_t collectLimit) {
        std::size_t d = 0;
        while (below + h.count[d] <= position) {
            below += h.count[d++];
        }
        prefix = known == 0 ? d : (prefix << DigitBits) | d;
        known += DigitBits;
        size = h.count[d];
        exact = !h.mixed[d];
        key = h.firstKey[d];
        settled = exact || size <= collectLimit;
    }
};

// A window in the middle of the order, in two passes or a few more.
std::vector<std::uint32_t> selectInMiddle(const Complex* amplitudes, std::uint64_t total,
                                          std::uint64_t first, std::uint64_t count, bool descending,
                                          std::uint64_t collectLimit) {
    const std::uint64_t flip = flipFor(descending);
    End lo, hi;
    lo.position = first;
    hi.position = first + count - 1;
    while (!lo.settled || !hi.settled) {
        // Both ends share one histogram while they share a prefix.
        const bool shared = lo.samePrefix(hi);
        Histogram forLo, forHi;
        for (std::uint64_t i = 0; i < total; ++i) {
            const std::uint64_t key = rankKey(amplitudes[i], flip);
            if (!lo.settled && lo.holds(key)) {
                forLo.add(lo.digit(key), key);
            }
            if (!hi.settled && !shared && hi.holds(key)) {
                forHi.add(hi.digit(key), key);
            }
        }
        if (!lo.settled) {
            lo.narrow(forLo, collectLimit);
        }
        if (!hi.settled) {
            hi.narrow(shared ? forLo : forHi, collectLimit);
        }
    }

    // Everything from the low end's keys to the high end's lies in or next to the window: the
    // keys in between all lie inside it; an end of one key gives its entries in index order,
    // of which only those inside the window are kept; an end's bucket is taken whole.
    const std::uint64_t last = hi.position;
    const std::uint64_t lowest = lo.lowKey(), highest = hi.highKey();
    std::vector<Ranked> picked;
    picked.reserve((lo.exact ? 0 : lo.size) + (hi.exact ? 0 : hi.size) + count);
    std::uint64_t loRank = lo.below, hiRank = hi.below;
    for (std::uint64_t i = 0; i < total; ++i) {
        const std::uint64_t key = rankKey(amplitudes[i], flip);
        if (key < lowest || key > highest) {
            continue;
        }
        const auto index = static_cast<std::uint32_t>(i);
        if (lo.exact && key == lowest) {
            const std::uint64_t rank = loRank++;
            if (rank >= first && rank <= last) {
                picked.emplace_back(key, index);
            }
        } else if (hi.exact && key == highest) {
            if (hiRank++ <= last) {
                picked.emplace_back(key, index);
            }
        } else {
            picked.emplace_back(key, index);
        }
    }
    const auto skip = static_cast<std::ptrdiff_t>(lo.exact ? 0 : first - lo.below);
    const auto begin = picked.begin() + skip;
    std::nth_element(picked.begin(), begin, picked.end());
    std::partial_sort(begin, begin + static_cast<std::ptrdiff_t>(count), picked.end());
    std::vector<std::uint32_t> window;
    window.reserve(count);
    for (auto it = begin; it != begin + static_cast<std::ptrdiff_t>(count); ++it) {
        window.push_back(it->second);
    }
    return window;
}

} // namespace

std::vector<std::uint32_t> SortedWindow::select(const Complex* amplitudes, std::uint64_t total,
                                                std::uint64_t first, std::uint64_t count,
                                                bool descending, std::uint64_t collectLimit,
                                                int parts) {
    if (count == 0 || first + count > total) {
        return {};
    }
    if (first + count <= HeapWindowLimit || total - first <= HeapWindowLimit) {
        return selectNearEnd(amplitudes, total, first, count, descending, parts);
    }
    return selectInMiddle(amplitudes, total, first, count, descending, collectLimit);
}
