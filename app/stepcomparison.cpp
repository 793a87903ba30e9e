#include "app/stepcomparison.h"

#include "app/snapshot.h"
#include "app/stephistory.h"
#include "core/exactvalue.h"
#include "core/qregister.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

struct Ranked {
    double key = 0.0; // |after - before|^2
    StepComparison::Change change;
};

// Heap order that puts the weakest kept change on top: the smaller change, or of equal changes
// the larger index.
bool stronger(const Ranked& a, const Ranked& b) {
    return a.key > b.key || (a.key == b.key && a.change.index < b.change.index);
}

// Chunk c of a state: the snapshot's, or that of the basis state 0.
void readChunk(const Snapshot* state, std::uint64_t c, std::uint64_t n, Complex* dst) {
    if (state) {
        state->restoreChunk(c, dst);
        return;
    }
    std::fill(dst, dst + n, Complex());
    if (c == 0) {
        dst[0] = 1.0;
    }
}

void amplitudeText(const Complex& c, bool exact, char* buffer) {
    if (exact) {
        ExactValue::text(c, buffer);
    } else {
        c.text(buffer);
    }
}

} // namespace

std::optional<StepComparison> StepComparison::compare(const Snapshot* before, const Snapshot* after,
                                                      int qubitCount, int shown) {
    for (const Snapshot* s : {before, after}) {
        if (s && (s->empty() || s->qubitCount() != qubitCount)) {
            return std::nullopt;
        }
    }
    if (qubitCount < 0 || qubitCount > QRegister::MaxQubitCount) {
        return std::nullopt;
    }
    const std::uint64_t total = std::uint64_t{1} << qubitCount;
    const std::uint64_t chunk = std::min(Snapshot::ChunkAmplitudes, total);
    std::vector<Complex> a(chunk), b(chunk);
    std::vector<Ranked> heap;
    const auto limit = static_cast<std::size_t>(std::max(shown, 0));
    heap.reserve(limit);
    StepComparison result;
    double moved = 0.0, overlapRe = 0.0, overlapIm = 0.0;
    for (std::uint64_t c = 0; c * chunk < total; ++c) {
        readChunk(before, c, chunk, a.data());
        readChunk(after, c, chunk, b.data());
        for (std::uint64_t i = 0; i < chunk; ++i) {
            const Complex& x = a[i];
            const Complex& y = b[i];
            const double dp = y.norm() - x.norm();
            moved += std::fabs(dp);
            // <before|after> = sum of conj(before) * after
            overlapRe += x.real * y.real + x.imag * y.imag;
            overlapIm += x.real * y.imag - x.imag * y.real;
            const double dr = y.real - x.real, di = y.imag - x.imag;
            const double key = dr * dr + di * di;
            if (!(key > 0.0) || limit == 0) {
                continue; // unchanged (or NaN): not listed
            }
            const Ranked r{key, {static_cast<std::uint32_t>(c * chunk + i), x, y, dp}};
            if (heap.size() < limit) {
                heap.push_back(r);
                std::push_heap(heap.begin(), heap.end(), stronger);
            } else if (stronger(r, heap.front())) {
                std::pop_heap(heap.begin(), heap.end(), stronger);
                heap.back() = r;
                std::push_heap(heap.begin(), heap.end(), stronger);
            }
        }
    }
    std::sort_heap(heap.begin(), heap.end(), stronger);
    for (const Ranked& r : heap) {
        result.changes.push_back(r.change);
    }
    result.probabilityMoved = moved / 2;
    result.overlap = overlapRe * overlapRe + overlapIm * overlapIm;
    return result;
}

std::string StepComparison::report(const StepHistory& history, int beforeStep, int afterStep,
                                   bool exactValues) {
    const int size = history.historySize();
    char line[512];
    if (beforeStep < 0 || afterStep < 0 || beforeStep > size || afterStep > size) {
        std::snprintf(line, sizeof line, "Steps are numbered 0 (the reset state) to %i.", size);
        return line;
    }
    const Snapshot* states[2] = {};
    const Segmentation* segmentation = nullptr;
    int qubitCount = -1;
    for (int s = 0; s < 2; ++s) {
        const int step = s == 0 ? beforeStep : afterStep;
        if (step == 0) {
            continue;
        }
        const HistoryEntry& e = history.entry(step - 1);
        if (!e.hasSnapshot()) {
            std::snprintf(line, sizeof line,
                          "Step %i was released to stay within the memory budget.", step);
            return line;
        }
        states[s] = &e.snapshot;
        segmentation = e.segmentation;
        qubitCount = e.snapshot.qubitCount();
    }
    if (qubitCount < 0) {
        return "Both are the reset state: nothing changed.";
    }
    const auto result = StepComparison::compare(states[0], states[1], qubitCount);
    if (!result) {
        return "The two steps hold registers of different sizes.";
    }
    // Labels need only the size and the segmentation, no amplitudes.
    QRegister labels;
    labels.qubitCount = qubitCount;
    labels.segmentation = const_cast<Segmentation*>(segmentation);
    std::string text;
    std::snprintf(
        line, sizeof line,
        "Step %i => step %i\r\nProbability moved: %.5g\r\nOverlap |<a|b>|^2: %.5g\r\n\r\n",
        beforeStep, afterStep, result->probabilityMoved, result->overlap);
    text += line;
    if (result->changes.empty()) {
        return text + "No amplitude changed.\r\n";
    }
    text += "Basis state          Before                   After                    "
            "Change in probability\r\n";
    for (const Change& c : result->changes) {
        char before[ComplexTextSize], after[ComplexTextSize];
        amplitudeText(c.before, exactValues, before);
        amplitudeText(c.after, exactValues, after);
        std::snprintf(line, sizeof line, "%-20s %-24s %-24s %+.5g\r\n", labels.basisLabel(c.index),
                      before, after, c.probabilityChange);
        text += line;
    }
    return text;
}
