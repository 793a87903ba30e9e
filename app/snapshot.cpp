#include "app/snapshot.h"

#include "core/qregister.h"

#include <lz4.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace {

// The two doubles of an amplitude as bits, so that every value, NaN payloads and the sign of
// zero included, comes back exactly.
struct Value {
    std::uint64_t imag;
    std::uint64_t real;
    bool operator==(const Value&) const = default;
};
static_assert(sizeof(Value) == 16);

Value load(const Complex& c) {
    Value v;
    std::memcpy(&v.imag, &c.imag, sizeof v.imag);
    std::memcpy(&v.real, &c.real, sizeof v.real);
    return v;
}

void store(Complex& c, const Value& v) {
    std::memcpy(&c.imag, &v.imag, sizeof v.imag);
    std::memcpy(&c.real, &v.real, sizeof v.real);
}

constexpr std::uint64_t ChunkAmplitudes = Snapshot::ChunkAmplitudes;
constexpr std::uint64_t ChunkBytes = ChunkAmplitudes * sizeof(Value);
constexpr int MaxPalette = 256;
// What the allocator adds to every block, so that the granted bytes match what is held.
constexpr std::uint64_t BlockOverhead = 16;

// Fixed working space of encoding and decoding, made once: one chunk of values, its palette
// indexes and LZ4's output.
struct Scratch {
    Value values[ChunkAmplitudes];
    std::uint8_t index[ChunkAmplitudes];
    char packed[LZ4_COMPRESSBOUND(ChunkBytes)];
};

Scratch* scratch() {
    static const std::unique_ptr<Scratch> buffers(new Scratch);
    return buffers.get();
}

int indexBits(int paletteSize) {
    return paletteSize <= 1    ? 0
           : paletteSize <= 2  ? 1
           : paletteSize <= 4  ? 2
           : paletteSize <= 16 ? 4
                               : 8;
}

// Distinct values of a chunk in order of appearance, found through a small open hash table.
// Returns the palette size, or 0 when the chunk holds more than MaxPalette distinct values.
int buildPalette(const Complex* src, std::uint64_t n, Value* palette, std::uint8_t* index) {
    constexpr unsigned Slots = 2 * MaxPalette;
    std::uint16_t slot[Slots] = {}; // palette position + 1, 0 for a free slot
    int size = 0;
    int last = -1;
    for (std::uint64_t i = 0; i < n; ++i) {
        const Value v = load(src[i]);
        // Runs of one value are the common case: compare with the last one first.
        if (last >= 0 && v == palette[last]) {
            index[i] = static_cast<std::uint8_t>(last);
            continue;
        }
        unsigned h =
            static_cast<unsigned>(
                ((v.imag * 0x9E3779B97F4A7C15ull) ^ v.real) * 0xC2B2AE3D27D4EB4Full >> 55) %
            Slots;
        while (slot[h] != 0 && !(palette[slot[h] - 1] == v)) {
            h = (h + 1) % Slots;
        }
        if (slot[h] == 0) {
            if (size == MaxPalette) {
                return 0;
            }
            palette[size] = v;
            slot[h] = static_cast<std::uint16_t>(++size);
        }
        last = slot[h] - 1;
        index[i] = static_cast<std::uint8_t>(last);
    }
    return size;
}

} // namespace

struct Snapshot::Chunk {
    enum Kind : std::uint8_t { Palette, Lz4, Raw };
    Kind kind = Palette;
    std::uint8_t bits = 0;
    std::uint16_t paletteSize = 0;
    std::uint32_t bytes = 0; // stored bytes of `data`
    Value single{};          // the value of a chunk that holds only one
    std::unique_ptr<unsigned char[]> data;
};

namespace {

// Encodes n amplitudes into the chunk, asking for its storage first. False when refused.
template <typename Chunk>
bool encodeChunk(const Complex* src, std::uint64_t n, Chunk& chunk,
                 const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    Scratch& s = *scratch();
    auto allocate = [&](std::uint64_t bytes) {
        if (!reserve(bytes + BlockOverhead)) {
            return false;
        }
        // Counted as soon as granted, so that a failed allocation is handed back as well.
        granted += bytes + BlockOverhead;
        chunk.data.reset(new (std::nothrow) unsigned char[bytes]);
        if (!chunk.data) {
            return false;
        }
        chunk.bytes = static_cast<std::uint32_t>(bytes);
        return true;
    };
    const int size = buildPalette(src, n, s.values, s.index);
    if (size == 1) {
        chunk.single = s.values[0];
        chunk.paletteSize = 1;
        return true;
    }
    if (size > 1) {
        const int bits = indexBits(size);
        const std::uint64_t paletteBytes = static_cast<std::uint64_t>(size) * sizeof(Value);
        const std::uint64_t indexBytes = (n * static_cast<std::uint64_t>(bits) + 7) / 8;
        if (!allocate(paletteBytes + indexBytes)) {
            return false;
        }
        chunk.kind = Chunk::Palette;
        chunk.bits = static_cast<std::uint8_t>(bits);
        chunk.paletteSize = static_cast<std::uint16_t>(size);
        std::memcpy(chunk.data.get(), s.values, paletteBytes);
        unsigned char* packed = chunk.data.get() + paletteBytes;
        std::memset(packed, 0, indexBytes);
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * static_cast<std::uint64_t>(bits);
            packed[bit / 8] = static_cast<unsigned char>(packed[bit / 8] | s.index[i] << bit % 8);
        }
        return true;
    }
    for (std::uint64_t i = 0; i < n; ++i) {
        s.values[i] = load(src[i]);
    }
    const int rawBytes = static_cast<int>(n * sizeof(Value));
    const int packedBytes = LZ4_compress_default(reinterpret_cast<const char*>(s.values), s.packed,
                                                 rawBytes, static_cast<int>(sizeof s.packed));
    if (packedBytes > 0 && packedBytes < rawBytes) {
        if (!allocate(static_cast<std::uint64_t>(packedBytes))) {
            return false;
        }
        chunk.kind = Chunk::Lz4;
        std::memcpy(chunk.data.get(), s.packed, static_cast<std::size_t>(packedBytes));
        return true;
    }
    if (!allocate(static_cast<std::uint64_t>(rawBytes))) {
        return false;
    }
    chunk.kind = Chunk::Raw;
    std::memcpy(chunk.data.get(), s.values, static_cast<std::size_t>(rawBytes));
    return true;
}

template <typename Chunk> void decodeChunk(const Chunk& chunk, Complex* dst, std::uint64_t n) {
    switch (chunk.kind) {
    case Chunk::Palette: {
        if (chunk.paletteSize == 1) {
            for (std::uint64_t i = 0; i < n; ++i) {
                store(dst[i], chunk.single);
            }
            return;
        }
        Value palette[MaxPalette];
        std::memcpy(palette, chunk.data.get(), chunk.paletteSize * sizeof(Value));
        const unsigned char* packed = chunk.data.get() + chunk.paletteSize * sizeof(Value);
        const unsigned bits = chunk.bits;
        const unsigned mask = (1u << bits) - 1;
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * bits;
            store(dst[i], palette[(packed[bit / 8] >> bit % 8) & mask]);
        }
        return;
    }
    case Chunk::Lz4: {
        Value* values = scratch()->values;
        LZ4_decompress_safe(reinterpret_cast<const char*>(chunk.data.get()),
                            reinterpret_cast<char*>(values), static_cast<int>(chunk.bytes),
                            static_cast<int>(n * sizeof(Value)));
        for (std::uint64_t i = 0; i < n; ++i) {
            store(dst[i], values[i]);
        }
        return;
    }
    case Chunk::Raw:
        for (std::uint64_t i = 0; i < n; ++i) {
            Value v;
            std::memcpy(&v, chunk.data.get() + i * sizeof(Value), sizeof v);
            store(dst[i], v);
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
        if (!encodeChunk(reg.amplitudes + first, n, chunks_[c], reserve, bytes_)) {
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
        decodeChunk(chunks_[c], reg.amplitudes + first, std::min(ChunkAmplitudes, total - first));
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
