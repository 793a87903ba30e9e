#include "app/snapshot.h"

#include "core/qregister.h"

#include <lz4.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

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
constexpr std::uint64_t PlaneBytes = ChunkAmplitudes * sizeof(Word);
constexpr int MaxPalette = 256;
// LZ4 trades a little size for speed: on a search's states 4 packs 1.3 times faster than 1 and
// keeps 3.9 of 4.3 times smaller; 16 packs only 1.2 times faster than 4 but keeps 3.5. Shuffling
// the 8 bytes of the values into byte planes first (with or without the sign moved next to the
// low mantissa bits) packs a little faster still but keeps only 3.1 to 3.3: the chunks of a
// search hold hundreds to thousands of truly different values, whose whole 8-byte repeats are
// what LZ4 finds.
constexpr int Lz4Acceleration = 4;
// What the allocator adds to every block, so that the granted bytes match what is held.
constexpr std::uint64_t BlockOverhead = 16;

// Fixed working space of encoding and decoding, made once: one plane of a chunk, its palette
// indexes and LZ4's output.
struct Scratch {
    Word words[ChunkAmplitudes];
    std::uint8_t index[ChunkAmplitudes];
    char packed[LZ4_COMPRESSBOUND(PlaneBytes)];
};

Scratch& scratch() {
    static const std::unique_ptr<Scratch> buffers(new Scratch);
    return *buffers;
}

int indexBits(int paletteSize) {
    return paletteSize <= 1    ? 0
           : paletteSize <= 2  ? 1
           : paletteSize <= 4  ? 2
           : paletteSize <= 16 ? 4
                               : 8;
}

// Gathers one part of n amplitudes into words and their distinct values, in order of
// appearance, into palette (through a small open hash table). Returns the palette size, or 0
// when there are more than MaxPalette distinct values.
int gather(const Complex* src, Part part, std::uint64_t n, Word* words, Word* palette,
           std::uint8_t* index) {
    constexpr unsigned Slots = 2 * MaxPalette;
    std::uint16_t slot[Slots] = {}; // palette position + 1, 0 for a free slot
    int size = 0;
    int last = -1;
    std::uint64_t i = 0;
    for (; i < n; ++i) {
        const Word w = words[i] = load(src[i], part);
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
    if (i == n) {
        return size;
    }
    for (; i < n; ++i) {
        words[i] = load(src[i], part);
    }
    return 0;
}

} // namespace

// One part (imaginary or real) of a chunk: a palette of its distinct values and an index per
// amplitude, or LZ4's packing of the values, or the values as they are.
struct Snapshot::Plane {
    enum Kind : std::uint8_t { Palette, Lz4, Raw };
    Kind kind = Palette;
    std::uint8_t bits = 0;
    std::uint16_t paletteSize = 0;
    std::uint32_t bytes = 0; // stored bytes of `data`
    Word single = 0;         // the value of a plane that holds only one
    std::unique_ptr<unsigned char[]> data;
};

struct Snapshot::Chunk {
    Plane imag;
    Plane real;
};

namespace {

// Gives the plane `bytes` of storage, asked of `reserve` first. False when refused.
template <typename Plane>
bool allocatePlane(Plane& plane, std::uint64_t bytes, const Snapshot::Reserve& reserve,
                   std::uint64_t& granted) {
    if (!reserve(bytes + BlockOverhead)) {
        return false;
    }
    // Counted as soon as granted, so that a failed allocation is handed back as well.
    granted += bytes + BlockOverhead;
    plane.data.reset(new (std::nothrow) unsigned char[bytes]);
    plane.bytes = static_cast<std::uint32_t>(bytes);
    return plane.data != nullptr;
}

// Encodes one part of n amplitudes into the plane, asking for its storage first. False when
// refused.
template <typename Plane>
bool encodePlane(const Complex* src, Part part, std::uint64_t n, Plane& plane,
                 const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    Scratch& s = scratch();
    Word palette[MaxPalette];
    auto allocate = [&](std::uint64_t bytes) {
        return allocatePlane(plane, bytes, reserve, granted);
    };
    const int size = gather(src, part, n, s.words, palette, s.index);
    if (size == 1) {
        plane.single = palette[0];
        plane.paletteSize = 1;
        return true;
    }
    if (size > 1) {
        const int bits = indexBits(size);
        const std::uint64_t paletteBytes = static_cast<std::uint64_t>(size) * sizeof(Word);
        const std::uint64_t indexBytes = (n * static_cast<std::uint64_t>(bits) + 7) / 8;
        if (!allocate(paletteBytes + indexBytes)) {
            return false;
        }
        plane.kind = Plane::Palette;
        plane.bits = static_cast<std::uint8_t>(bits);
        plane.paletteSize = static_cast<std::uint16_t>(size);
        std::memcpy(plane.data.get(), palette, paletteBytes);
        unsigned char* packed = plane.data.get() + paletteBytes;
        std::memset(packed, 0, indexBytes);
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * static_cast<std::uint64_t>(bits);
            packed[bit / 8] = static_cast<unsigned char>(packed[bit / 8] | s.index[i] << bit % 8);
        }
        return true;
    }
    const int rawBytes = static_cast<int>(n * sizeof(Word));
    const int packedBytes =
        LZ4_compress_fast(reinterpret_cast<const char*>(s.words), s.packed, rawBytes,
                          static_cast<int>(sizeof s.packed), Lz4Acceleration);
    const bool packs = packedBytes > 0 && packedBytes < rawBytes;
    if (!allocate(static_cast<std::uint64_t>(packs ? packedBytes : rawBytes))) {
        return false;
    }
    plane.kind = packs ? Plane::Lz4 : Plane::Raw;
    std::memcpy(plane.data.get(), packs ? s.packed : reinterpret_cast<const char*>(s.words),
                plane.bytes);
    return true;
}

template <typename Plane>
void decodePlane(const Plane& plane, Complex* dst, Part part, std::uint64_t n) {
    switch (plane.kind) {
    case Plane::Palette: {
        if (plane.paletteSize == 1) {
            for (std::uint64_t i = 0; i < n; ++i) {
                store(dst[i], part, plane.single);
            }
            return;
        }
        Word palette[MaxPalette];
        std::memcpy(palette, plane.data.get(), plane.paletteSize * sizeof(Word));
        const unsigned char* packed = plane.data.get() + plane.paletteSize * sizeof(Word);
        const unsigned bits = plane.bits;
        const unsigned mask = (1u << bits) - 1;
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * bits;
            store(dst[i], part, palette[(packed[bit / 8] >> bit % 8) & mask]);
        }
        return;
    }
    case Plane::Lz4:
    case Plane::Raw: {
        const unsigned char* words = plane.data.get();
        if (plane.kind == Plane::Lz4) {
            LZ4_decompress_safe(reinterpret_cast<const char*>(words),
                                reinterpret_cast<char*>(scratch().words),
                                static_cast<int>(plane.bytes), static_cast<int>(n * sizeof(Word)));
            words = reinterpret_cast<const unsigned char*>(scratch().words);
        }
        for (std::uint64_t i = 0; i < n; ++i) {
            Word w;
            std::memcpy(&w, words + i * sizeof(Word), sizeof w);
            store(dst[i], part, w);
        }
        return;
    }
    }
}

// The stored form of a plane: a fixed header, then its data.
struct PlaneHeader {
    std::uint8_t kind;
    std::uint8_t bits;
    std::uint16_t paletteSize;
    std::uint32_t bytes;
    Word single;
};
static_assert(sizeof(PlaneHeader) == 16);

template <typename Plane> bool savePlane(const Plane& plane, const Snapshot::Sink& sink) {
    const PlaneHeader header{plane.kind, plane.bits, plane.paletteSize, plane.bytes, plane.single};
    return sink(&header, sizeof header) &&
           (plane.bytes == 0 || sink(plane.data.get(), plane.bytes));
}

// Reads a plane of n amplitudes that savePlane wrote and checks that it decodes into n values
// without reading outside its data: the sizes that follow from its kind, every palette index,
// and a packed plane's unpacked size.
template <typename Plane>
bool loadPlane(Plane& plane, std::uint64_t n, const Snapshot::Source& source,
               const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    PlaneHeader header;
    if (!source(&header, sizeof header) || header.kind > Plane::Raw) {
        return false;
    }
    const std::uint64_t rawBytes = n * sizeof(Word);
    std::uint64_t expected = 0;
    switch (header.kind) {
    case Plane::Palette:
        if (header.paletteSize < 1 || header.paletteSize > MaxPalette ||
            header.bits != (header.paletteSize == 1 ? 0 : indexBits(header.paletteSize))) {
            return false;
        }
        expected = header.paletteSize == 1
                       ? 0
                       : header.paletteSize * sizeof(Word) + (n * header.bits + 7) / 8;
        break;
    case Plane::Lz4:
        expected = header.bytes > 0 && header.bytes < rawBytes ? header.bytes : ~std::uint64_t{0};
        break;
    default:
        expected = rawBytes;
        break;
    }
    if (header.bytes != expected ||
        (header.kind != Plane::Palette && (header.paletteSize != 0 || header.bits != 0))) {
        return false;
    }
    plane.kind = static_cast<typename Plane::Kind>(header.kind);
    plane.bits = header.bits;
    plane.paletteSize = header.paletteSize;
    plane.single = header.single;
    if (header.bytes == 0) {
        return true;
    }
    if (!allocatePlane(plane, header.bytes, reserve, granted) ||
        !source(plane.data.get(), header.bytes)) {
        return false;
    }
    const unsigned char* data = plane.data.get();
    if (plane.kind == Plane::Lz4) {
        return LZ4_decompress_safe(reinterpret_cast<const char*>(data),
                                   reinterpret_cast<char*>(scratch().words),
                                   static_cast<int>(plane.bytes),
                                   static_cast<int>(rawBytes)) == static_cast<int>(rawBytes);
    }
    if (plane.kind == Plane::Palette) {
        const unsigned char* packed = data + plane.paletteSize * sizeof(Word);
        const unsigned mask = (1u << plane.bits) - 1;
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * plane.bits;
            if (((packed[bit / 8] >> bit % 8) & mask) >= plane.paletteSize) {
                return false;
            }
        }
    }
    return true;
}

std::uint64_t chunkCountFor(std::uint64_t total) {
    return (total + ChunkAmplitudes - 1) / ChunkAmplitudes;
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
    const std::uint64_t count = chunkCountFor(total);
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
    for (std::uint64_t c = 0; c < chunkCount_; ++c) {
        restoreChunk(c, reg.amplitudes + c * ChunkAmplitudes);
    }
}

std::uint64_t Snapshot::chunkSize() const {
    return std::min(ChunkAmplitudes, std::uint64_t{1} << qubitCount_);
}

void Snapshot::restoreChunk(std::uint64_t c, Complex* dst) const {
    if (c < chunkCount_) {
        decodePlane(chunks_[c].imag, dst, &Complex::imag, chunkSize());
        decodePlane(chunks_[c].real, dst, &Complex::real, chunkSize());
    }
}

bool Snapshot::save(const Sink& sink) const {
    for (std::uint64_t c = 0; c < chunkCount_; ++c) {
        if (!savePlane(chunks_[c].imag, sink) || !savePlane(chunks_[c].real, sink)) {
            return false;
        }
    }
    return true;
}

bool Snapshot::load(int qubitCount, const Source& source, const Reserve& reserve,
                    GiveBack giveBack) {
    clear();
    giveBack_ = std::move(giveBack);
    if (qubitCount < 0 || qubitCount > QRegister::MaxQubitCount) {
        return false;
    }
    const std::uint64_t total = std::uint64_t{1} << qubitCount;
    const std::uint64_t count = chunkCountFor(total);
    const std::uint64_t tableBytes = count * sizeof(Chunk) + BlockOverhead;
    if (!reserve(tableBytes)) {
        return false;
    }
    bytes_ = tableBytes;
    chunks_.reset(new (std::nothrow) Chunk[count]);
    if (!chunks_) {
        clear();
        return false;
    }
    chunkCount_ = count;
    qubitCount_ = qubitCount;
    const std::uint64_t n = chunkSize();
    for (std::uint64_t c = 0; c < count; ++c) {
        if (!loadPlane(chunks_[c].imag, n, source, reserve, bytes_) ||
            !loadPlane(chunks_[c].real, n, source, reserve, bytes_)) {
            clear();
            return false;
        }
    }
    return true;
}

bool Snapshot::saveRegister(const QRegister& reg, const Sink& sink) {
    return eachScratchChunk(reg, [&](std::uint64_t first, std::uint64_t n, Chunk& chunk,
                                     const Reserve& always, std::uint64_t& granted) {
        const Complex* src = reg.amplitudes + first;
        return encodePlane(src, &Complex::imag, n, chunk.imag, always, granted) &&
               encodePlane(src, &Complex::real, n, chunk.real, always, granted) &&
               savePlane(chunk.imag, sink) && savePlane(chunk.real, sink);
    });
}

bool Snapshot::loadRegister(QRegister& reg, const Source& source) {
    return eachScratchChunk(reg, [&](std::uint64_t first, std::uint64_t n, Chunk& chunk,
                                     const Reserve& always, std::uint64_t& granted) {
        if (!loadPlane(chunk.imag, n, source, always, granted) ||
            !loadPlane(chunk.real, n, source, always, granted)) {
            return false;
        }
        decodePlane(chunk.imag, reg.amplitudes + first, &Complex::imag, n);
        decodePlane(chunk.real, reg.amplitudes + first, &Complex::real, n);
        return true;
    });
}

template <typename Step> bool Snapshot::eachScratchChunk(const QRegister& reg, Step step) {
    const Reserve always = [](std::uint64_t) { return true; };
    const std::uint64_t total = reg.amplitudeCount();
    for (std::uint64_t first = 0; first < total; first += ChunkAmplitudes) {
        Chunk chunk;
        std::uint64_t granted = 0;
        if (!step(first, std::min(ChunkAmplitudes, total - first), chunk, always, granted)) {
            return false;
        }
    }
    return true;
}

void Snapshot::takeFrom(Snapshot& other, GiveBack giveBack) {
    if (&other == this) {
        return;
    }
    clear();
    chunks_ = std::move(other.chunks_);
    chunkCount_ = std::exchange(other.chunkCount_, 0);
    bytes_ = std::exchange(other.bytes_, 0);
    qubitCount_ = std::exchange(other.qubitCount_, 0);
    giveBack_ = std::move(giveBack);
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
