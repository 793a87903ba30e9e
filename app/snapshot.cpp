#include "app/snapshot.h"

#include "core/qregister.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

using Word = std::uint64_t;
// One of the two doubles of every amplitude, read and written as bits, so that every value,
// NaN payloads and the sign of zero included, comes back exactly.
using Part = double Complex::*;

Word load(const Complex& c, Part part) {
    Word w;
    std::memcpy(&w, &(c.*part), sizeof w);
    return w;
}

void store(Complex& c, Part part, Word w) {
    std::memcpy(&(c.*part), &w, sizeof w);
}

constexpr std::uint64_t ChunkAmplitudes = Snapshot::ChunkAmplitudes;
constexpr int MaxPalette = 256;
// Parts with more distinct values are kept as repeats: a value whose magnitude was seen
// lately (a table of RepeatSlots magnitudes, indexed by a hash of the magnitude) is stored as
// its slot and sign in 2 bytes, any other value whole in 8; one bit per value tells which.
// The noisy chunks of a search hold some 5,000 different magnitudes among 16,384 values, each
// about three times, often with both signs: this keeps 1.9 of LZ4's 2 times and packs them
// six times faster. Magnitudes of 14 bits keep 4 % more than 13 and fill only the second level
// cache.
constexpr int RepeatSlotBits = 14;
constexpr std::uint64_t RepeatSlots = std::uint64_t{1} << RepeatSlotBits;
constexpr Word SignBit = Word{1} << 63;
// Values looked at before a part without repeats is given up on.
constexpr std::uint64_t RepeatProbe = 2048;
static_assert(ChunkAmplitudes <= 65535, "a plane counts its values in 16 bits");
// What the allocator adds to every block, so that the granted bytes match what is held.
constexpr std::uint64_t BlockOverhead = 16;

// Fixed working space of encoding and decoding, made once: the palette indexes of a part, and the
// repeat table with the three streams of a part kept as repeats.
struct Scratch {
    std::uint8_t index[ChunkAmplitudes];
    Word slots[RepeatSlots];
    std::uint64_t repeated[ChunkAmplitudes / 64];
    std::uint16_t seen[ChunkAmplitudes];
    Word whole[ChunkAmplitudes];
};

Scratch& scratch() {
    static const std::unique_ptr<Scratch> buffers(new Scratch);
    return *buffers;
}

int indexBits(int count) {
    return count <= 1 ? 0 : count <= 2 ? 1 : count <= 4 ? 2 : count <= 16 ? 4 : 8;
}

// Gathers the distinct values of one part of n amplitudes, in order of appearance, into
// palette (through a small open hash table). Returns the palette size, or 0
// when there are more than MaxPalette distinct values.
int gather(const Complex* src, Part part, std::uint64_t n, Word* palette, std::uint8_t* index) {
    constexpr unsigned Slots = 2 * MaxPalette;
    std::uint16_t slot[Slots] = {}; // palette position + 1, 0 for a free slot
    int size = 0;
    int last = -1;
    std::uint64_t i = 0;
    for (; i < n; ++i) {
        const Word w = load(src[i], part);
        // Runs of one value are the common case: compare with the last one first.
        if (last >= 0 && w == palette[last]) {
            index[i] = static_cast<std::uint8_t>(last);
            continue;
        }
        unsigned h = static_cast<unsigned>((w * 0x9E3779B97F4A7C15ull) >> 55);
        while (slot[h] != 0 && palette[slot[h] - 1] != w) {
            h = (h + 1) % Slots;
        }
        if (slot[h] == 0) {
            if (size == MaxPalette) {
                break;
            }
            palette[size] = w;
            slot[h] = static_cast<std::uint16_t>(++size);
        }
        last = slot[h] - 1;
        index[i] = static_cast<std::uint8_t>(last);
    }
    return i == n ? size : 0;
}

// Whether one part holds a single value throughout (the imaginary part of every real state):
// a quick test without a branch per value before the palette is built.
bool allEqual(const Complex* src, Part part, std::uint64_t n) {
    const Word first = load(src[0], part);
    for (std::uint64_t begin = 0; begin < n; begin += 64) {
        const std::uint64_t end = std::min(n, begin + 64);
        Word differ = 0;
        for (std::uint64_t i = begin; i < end; ++i) {
            differ |= load(src[i], part) ^ first;
        }
        if (differ != 0) {
            return false;
        }
    }
    return true;
}

unsigned repeatSlot(Word magnitude) {
    return static_cast<unsigned>((magnitude * 0x9E3779B97F4A7C15ull) >> (64 - RepeatSlotBits));
}

// The sizes of the three streams of a part kept as repeats, in values.
struct Repeats {
    std::uint64_t seen = 0;
    std::uint64_t whole = 0;

    static std::uint64_t flagBytes(std::uint64_t n) { return (n + 63) / 64 * 8; }
    std::uint64_t bytes(std::uint64_t n) const {
        return flagBytes(n) + seen * sizeof(std::uint16_t) + whole * sizeof(Word);
    }
};

// Splits n words into the repeat streams of the scratch. Branch-free: every value is written
// to both streams and counted in one; the flags of 64 values are gathered in a register.
Repeats findRepeats(const Complex* src, Part part, std::uint64_t n, Scratch& s) {
    std::memset(s.slots, 0, sizeof s.slots);
    Repeats r;
    for (std::uint64_t first = 0; first < n; first += 64) {
        const std::uint64_t end = std::min(n, first + 64);
        std::uint64_t flags = 0;
        for (std::uint64_t i = first; i < end; ++i) {
            const Word w = load(src[i], part);
            const Word magnitude = w & ~SignBit;
            const unsigned slot = repeatSlot(magnitude);
            const bool hit = s.slots[slot] == magnitude;
            s.slots[slot] = magnitude;
            flags |= static_cast<std::uint64_t>(hit) << (i - first);
            s.seen[r.seen] = static_cast<std::uint16_t>(slot | (w >> 63) << RepeatSlotBits);
            s.whole[r.whole] = w;
            r.seen += hit;
            r.whole += !hit;
        }
        s.repeated[first / 64] = flags;
        // Repeats pay from one value in 48 on; values without them (noise) are seen early.
        if (first + 64 == RepeatProbe && r.seen * 48 < RepeatProbe) {
            return {0, n};
        }
    }
    return r;
}

} // namespace

// One part (imaginary or real) of a chunk: a palette of its distinct values and an index per
// amplitude, or its repeats, or the values as they are.
struct Snapshot::Plane {
    enum Kind : std::uint8_t { Palette, Repeat, Raw };
    Kind kind = Palette;
    std::uint8_t bits = 0;
    std::uint16_t count = 0; // palette values (Palette) or values kept as repeats (Repeat)
    std::uint32_t bytes = 0; // stored bytes of `data`
    Word single = 0;         // the value of a plane that holds only one
    std::unique_ptr<unsigned char[]> data;
};

struct Snapshot::Chunk {
    Plane imag;
    Plane real;
};

namespace {

// Encodes one part of n amplitudes into the plane, asking for its storage first. False when
// refused.
template <typename Plane>
bool encodePlane(const Complex* src, Part part, std::uint64_t n, Plane& plane,
                 const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    Scratch& s = scratch();
    Word palette[MaxPalette];
    auto allocate = [&](std::uint64_t bytes) {
        if (!reserve(bytes + BlockOverhead)) {
            return false;
        }
        // Counted as soon as granted, so that a failed allocation is handed back as well.
        granted += bytes + BlockOverhead;
        plane.data.reset(new (std::nothrow) unsigned char[bytes]);
        plane.bytes = static_cast<std::uint32_t>(bytes);
        return plane.data != nullptr;
    };
    if (n > 0 && allEqual(src, part, n)) {
        plane.single = load(src[0], part);
        plane.count = 1;
        return true;
    }
    const int size = gather(src, part, n, palette, s.index);
    if (size > 1) {
        const int bits = indexBits(size);
        const std::uint64_t paletteBytes = static_cast<std::uint64_t>(size) * sizeof(Word);
        const std::uint64_t indexBytes = (n * static_cast<std::uint64_t>(bits) + 7) / 8;
        if (!allocate(paletteBytes + indexBytes)) {
            return false;
        }
        plane.kind = Plane::Palette;
        plane.bits = static_cast<std::uint8_t>(bits);
        plane.count = static_cast<std::uint16_t>(size);
        std::memcpy(plane.data.get(), palette, paletteBytes);
        unsigned char* packed = plane.data.get() + paletteBytes;
        std::memset(packed, 0, indexBytes);
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * static_cast<std::uint64_t>(bits);
            packed[bit / 8] = static_cast<unsigned char>(packed[bit / 8] | s.index[i] << bit % 8);
        }
        return true;
    }
    const std::uint64_t rawBytes = n * sizeof(Word);
    const Repeats repeats = findRepeats(src, part, n, s);
    const bool packs = repeats.bytes(n) < rawBytes;
    if (!allocate(packs ? repeats.bytes(n) : rawBytes)) {
        return false;
    }
    if (!packs) {
        plane.kind = Plane::Raw;
        for (std::uint64_t i = 0; i < n; ++i) {
            const Word w = load(src[i], part);
            std::memcpy(plane.data.get() + i * sizeof(Word), &w, sizeof w);
        }
        return true;
    }
    plane.kind = Plane::Repeat;
    plane.count = static_cast<std::uint16_t>(repeats.seen);
    unsigned char* out = plane.data.get();
    const std::uint64_t flagBytes = Repeats::flagBytes(n);
    std::memcpy(out, s.repeated, flagBytes);
    out += flagBytes;
    std::memcpy(out, s.seen, repeats.seen * sizeof(std::uint16_t));
    out += repeats.seen * sizeof(std::uint16_t);
    std::memcpy(out, s.whole, repeats.whole * sizeof(Word));
    return true;
}

template <typename Plane>
void decodePlane(const Plane& plane, Complex* dst, Part part, std::uint64_t n) {
    switch (plane.kind) {
    case Plane::Palette: {
        if (plane.count == 1) {
            for (std::uint64_t i = 0; i < n; ++i) {
                store(dst[i], part, plane.single);
            }
            return;
        }
        Word palette[MaxPalette];
        std::memcpy(palette, plane.data.get(), plane.count * sizeof(Word));
        const unsigned char* packed = plane.data.get() + plane.count * sizeof(Word);
        const unsigned bits = plane.bits;
        const unsigned mask = (1u << bits) - 1;
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * bits;
            store(dst[i], part, palette[(packed[bit / 8] >> bit % 8) & mask]);
        }
        return;
    }
    case Plane::Repeat: {
        Scratch& s = scratch();
        std::memset(s.slots, 0, sizeof s.slots);
        const unsigned char* flags = plane.data.get();
        const unsigned char* seen = flags + Repeats::flagBytes(n);
        const unsigned char* whole = seen + plane.count * sizeof(std::uint16_t);
        for (std::uint64_t i = 0; i < n; ++i) {
            Word w;
            if ((flags[i / 8] >> i % 8) & 1) {
                std::uint16_t token;
                std::memcpy(&token, seen, sizeof token);
                seen += sizeof token;
                w = s.slots[token & (RepeatSlots - 1)] | static_cast<Word>(token >> RepeatSlotBits)
                                                             << 63;
            } else {
                std::memcpy(&w, whole, sizeof w);
                whole += sizeof w;
                s.slots[repeatSlot(w & ~SignBit)] = w & ~SignBit;
            }
            store(dst[i], part, w);
        }
        return;
    }
    case Plane::Raw:
        for (std::uint64_t i = 0; i < n; ++i) {
            Word w;
            std::memcpy(&w, plane.data.get() + i * sizeof(Word), sizeof w);
            store(dst[i], part, w);
        }
        return;
    }
}

} // namespace

Snapshot::Snapshot() = default;

Snapshot::~Snapshot() {
    clear();
}

bool Snapshot::capture(const QRegister& reg, const Reserve& reserve, GiveBack giveBack) {
    clear();
    giveBack_ = std::move(giveBack);
    const std::uint64_t total = reg.amplitudeCount();
    if (total == 0) {
        return false;
    }
    const std::uint64_t count = (total + ChunkAmplitudes - 1) / ChunkAmplitudes;
    const std::uint64_t tableBytes = count * sizeof(Chunk) + BlockOverhead;
    if (!reserve(tableBytes)) {
        return false;
    }
    chunks_.reset(new (std::nothrow) Chunk[count]);
    if (!chunks_) {
        giveBack_(tableBytes);
        return false;
    }
    bytes_ = tableBytes;
    chunkCount_ = count;
    qubitCount_ = reg.qubitCount;
    for (std::uint64_t c = 0; c < count; ++c) {
        const std::uint64_t first = c * ChunkAmplitudes;
        const std::uint64_t n = std::min(ChunkAmplitudes, total - first);
        const Complex* src = reg.amplitudes + first;
        if (!encodePlane(src, &Complex::imag, n, chunks_[c].imag, reserve, bytes_) ||
            !encodePlane(src, &Complex::real, n, chunks_[c].real, reserve, bytes_)) {
            clear();
            return false;
        }
    }
    return true;
}

void Snapshot::restoreInto(QRegister& reg) const {
    if (!chunks_ || reg.qubitCount != qubitCount_ || !reg.amplitudes) {
        return;
    }
    const std::uint64_t total = reg.amplitudeCount();
    for (std::uint64_t c = 0; c < chunkCount_; ++c) {
        const std::uint64_t first = c * ChunkAmplitudes;
        const std::uint64_t n = std::min(ChunkAmplitudes, total - first);
        decodePlane(chunks_[c].imag, reg.amplitudes + first, &Complex::imag, n);
        decodePlane(chunks_[c].real, reg.amplitudes + first, &Complex::real, n);
    }
}

void Snapshot::clear() {
    chunks_.reset();
    chunkCount_ = 0;
    qubitCount_ = 0;
    if (bytes_ != 0 && giveBack_) {
        giveBack_(bytes_);
    }
    bytes_ = 0;
}
