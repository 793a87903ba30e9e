#include "app/snapshot.h"

#include "app/helperthreads.h"
#include "core/parallelfor.h"
#include "core/qregister.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>
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
constexpr int MaxPalette = 256;
// Parts with more distinct values are kept as repeats: a value whose magnitude was seen
// lately (a table of RepeatSlots magnitudes, indexed by a hash of the magnitude) is stored as
// its slot and sign in 2 bytes, any other value whole in 8; one bit per value tells which.
// The noisy chunks of a search hold some 5,000 different magnitudes among 16,384 values (the
// rounding left where an exact amplitude would be 0), each about three times, often with both
// signs. On a search's states this keeps 4.5 times smaller than the values at 4 GB/s, where LZ4
// (acceleration 4) kept 3.9 at 1.2 GB/s. A table of 2^14 magnitudes keeps 3 % more than 2^13
// and packs as fast.
constexpr int RepeatSlotBits = 14;
constexpr std::uint64_t RepeatSlots = std::uint64_t{1} << RepeatSlotBits;
constexpr Word SignBit = Word{1} << 63;
// Values looked at before a part without repeats is given up on.
constexpr std::uint64_t RepeatProbe = 2048;
static_assert(ChunkAmplitudes <= 65535, "a plane counts its values in 16 bits");
// What the allocator adds to every block, so that the granted bytes match what is held.
constexpr std::uint64_t BlockOverhead = 16;

// How one part of a chunk is to be stored, found before its storage is asked for, with the
// working space that finding it needs.
struct PackedPart {
    enum Kind : std::uint8_t { Palette, Repeat, Raw };
    Kind kind = Palette;
    int paletteSize = 0;
    std::uint64_t seen = 0;  // values kept as repeats
    std::uint64_t whole = 0; // values kept whole among the repeats
    std::uint64_t bytes = 0; // bytes of storage
    Word palette[MaxPalette];
    std::uint8_t index[ChunkAmplitudes];
    std::uint64_t repeated[ChunkAmplitudes / 64];
    std::uint16_t seenSlots[ChunkAmplitudes];
    Word wholeValues[ChunkAmplitudes];
};

// The working space of one chunk: both parts and the repeat table they are found with (the
// decoder's table as well).
struct ChunkWork {
    PackedPart imag;
    PackedPart real;
    Word slots[RepeatSlots];
};

// Chunks packed at once, by as many threads, before their storage is asked for in order.
int chunksPerRound() {
    return 4 * (HelperThreads::shared().helpers() + 1);
}

// Fixed working space, made once per thread that packs or decodes: about 0.5 MB per chunk of a
// round. The thread hands chunks of it to the helpers while it waits for them.
ChunkWork* work() {
    static thread_local const std::unique_ptr<ChunkWork[]> chunks(
        new ChunkWork[static_cast<std::size_t>(chunksPerRound())]);
    return chunks.get();
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

// Which of the two parts of n >= 1 amplitudes hold a single value throughout (the imaginary
// part of every real state, both parts of a uniform or zero stretch): one pass for both, without
// a branch per value, that stops once both have shown a second value.
struct SingleValued {
    bool imag;
    bool real;
};

SingleValued singleValued(const Complex* src, std::uint64_t n) {
    const Word imag = load(src[0], &Complex::imag);
    const Word real = load(src[0], &Complex::real);
    Word imagDiffers = 0;
    Word realDiffers = 0;
    for (std::uint64_t begin = 0; begin < n && (imagDiffers == 0 || realDiffers == 0);
         begin += 64) {
        const std::uint64_t end = std::min(n, begin + 64);
        for (std::uint64_t i = begin; i < end; ++i) {
            imagDiffers |= load(src[i], &Complex::imag) ^ imag;
            realDiffers |= load(src[i], &Complex::real) ^ real;
        }
    }
    return {imagDiffers == 0, realDiffers == 0};
}

unsigned repeatSlot(Word magnitude) {
    return static_cast<unsigned>((magnitude * 0x9E3779B97F4A7C15ull) >> (64 - RepeatSlotBits));
}

std::uint64_t flagBytes(std::uint64_t n) {
    return (n + 63) / 64 * 8;
}

// Splits one part of n amplitudes into the repeat streams of the packing and counts them.
// Branch-free: every value is written to both streams and counted in one; the flags of 64
// values are gathered in a register. Gives up (nothing seen) on a part without repeats.
void findRepeats(const Complex* src, Part part, std::uint64_t n, PackedPart& p, Word* slots) {
    std::memset(slots, 0, RepeatSlots * sizeof(Word));
    std::uint64_t seen = 0;
    std::uint64_t whole = 0;
    for (std::uint64_t first = 0; first < n; first += 64) {
        const std::uint64_t end = std::min(n, first + 64);
        std::uint64_t flags = 0;
        for (std::uint64_t i = first; i < end; ++i) {
            const Word w = load(src[i], part);
            const Word magnitude = w & ~SignBit;
            const unsigned slot = repeatSlot(magnitude);
            const bool hit = slots[slot] == magnitude;
            slots[slot] = magnitude;
            flags |= static_cast<std::uint64_t>(hit) << (i - first);
            p.seenSlots[seen] = static_cast<std::uint16_t>(slot | (w >> 63) << RepeatSlotBits);
            p.wholeValues[whole] = w;
            seen += hit;
            whole += !hit;
        }
        p.repeated[first / 64] = flags;
        // Repeats pay from one value in 48 on; values without them (noise) are seen early.
        if (first + 64 == RepeatProbe && seen * 48 < RepeatProbe) {
            p.seen = 0;
            p.whole = n;
            return;
        }
    }
    p.seen = seen;
    p.whole = whole;
}

// Decides how one part of n amplitudes is stored (`single`: it holds one value throughout) and
// prepares it in the packing; touches nothing but the packing and the repeat table, so chunks
// are packed on any thread.
void pack(const Complex* src, Part part, std::uint64_t n, bool single, PackedPart& p, Word* slots) {
    p.bytes = 0;
    if (single) {
        p.kind = PackedPart::Palette;
        p.paletteSize = 1;
        p.palette[0] = load(src[0], part);
        return;
    }
    p.paletteSize = gather(src, part, n, p.palette, p.index);
    if (p.paletteSize > 1) {
        p.kind = PackedPart::Palette;
        p.bytes = static_cast<std::uint64_t>(p.paletteSize) * sizeof(Word) +
                  (n * static_cast<std::uint64_t>(indexBits(p.paletteSize)) + 7) / 8;
        return;
    }
    const std::uint64_t rawBytes = n * sizeof(Word);
    findRepeats(src, part, n, p, slots);
    const std::uint64_t repeatBytes =
        flagBytes(n) + p.seen * sizeof(std::uint16_t) + p.whole * sizeof(Word);
    p.kind = repeatBytes < rawBytes ? PackedPart::Repeat : PackedPart::Raw;
    p.bytes = std::min(repeatBytes, rawBytes);
}

} // namespace

// One part (imaginary or real) of a chunk: a palette of its distinct values and an index per
// amplitude, or its repeats, or the values as they are.
struct Snapshot::Plane {
    using Kind = PackedPart::Kind;
    Kind kind = PackedPart::Palette;
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
// Packs both parts of the n amplitudes at src into the working space of one chunk.
void packChunk(const Complex* src, std::uint64_t n, ChunkWork& w) {
    const SingleValued single = singleValued(src, n);
    pack(src, &Complex::imag, n, single.imag, w.imag, w.slots);
    pack(src, &Complex::real, n, single.real, w.real, w.slots);
}

// Faults in the pages of a block that is about to be written whole, in one call instead of one
// fault per page: a search over 16 qubits records some 700 MB of fresh snapshot memory, and
// the faults were a third of the time the history took. Only pages that hold bytes of the
// block are touched, so nothing is asked beyond what was granted; kernels without the call
// leave the faults to the writes.
void faultIn(void* block, std::uint64_t bytes) {
#ifdef MADV_POPULATE_WRITE
    static const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(block) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(block) + bytes + page - 1) & ~(page - 1);
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)block;
    (void)bytes;
#endif
}

// Gives the plane `bytes` of storage, asked of `reserve` first. False when refused or when
// memory cannot be had.
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
    if (!plane.data) {
        return false;
    }
    faultIn(plane.data.get(), bytes);
    return true;
}

// Stores a packed part into the plane, asking for its storage first. False when refused or
// when memory cannot be had.
template <typename Plane>
bool commit(const PackedPart& p, const Complex* src, Part part, std::uint64_t n, Plane& plane,
            const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    plane.kind = p.kind;
    if (p.kind == PackedPart::Palette && p.paletteSize == 1) {
        plane.single = p.palette[0];
        plane.count = 1;
        return true;
    }
    if (!allocatePlane(plane, p.bytes, reserve, granted)) {
        return false;
    }
    unsigned char* out = plane.data.get();
    switch (p.kind) {
    case PackedPart::Palette: {
        const int bits = indexBits(p.paletteSize);
        const std::uint64_t paletteBytes = static_cast<std::uint64_t>(p.paletteSize) * sizeof(Word);
        plane.bits = static_cast<std::uint8_t>(bits);
        plane.count = static_cast<std::uint16_t>(p.paletteSize);
        std::memcpy(out, p.palette, paletteBytes);
        unsigned char* packed = out + paletteBytes;
        std::memset(packed, 0, p.bytes - paletteBytes);
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * static_cast<std::uint64_t>(bits);
            packed[bit / 8] = static_cast<unsigned char>(packed[bit / 8] | p.index[i] << bit % 8);
        }
        return true;
    }
    case PackedPart::Repeat:
        plane.count = static_cast<std::uint16_t>(p.seen);
        std::memcpy(out, p.repeated, flagBytes(n));
        out += flagBytes(n);
        std::memcpy(out, p.seenSlots, p.seen * sizeof(std::uint16_t));
        out += p.seen * sizeof(std::uint16_t);
        std::memcpy(out, p.wholeValues, p.whole * sizeof(Word));
        return true;
    case PackedPart::Raw:
        for (std::uint64_t i = 0; i < n; ++i) {
            const Word w = load(src[i], part);
            std::memcpy(out + i * sizeof(Word), &w, sizeof w);
        }
        return true;
    }
    return false;
}

// Stores both packed parts of the n amplitudes at src into the chunk.
template <typename Chunk>
bool commitChunk(const ChunkWork& w, const Complex* src, std::uint64_t n, Chunk& chunk,
                 const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    return commit(w.imag, src, &Complex::imag, n, chunk.imag, reserve, granted) &&
           commit(w.real, src, &Complex::real, n, chunk.real, reserve, granted);
}

template <typename Plane>
void decodePlane(const Plane& plane, Complex* dst, Part part, std::uint64_t n, Word* slots) {
    switch (plane.kind) {
    case PackedPart::Palette: {
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
    case PackedPart::Repeat: {
        std::memset(slots, 0, RepeatSlots * sizeof(Word));
        const unsigned char* flags = plane.data.get();
        const unsigned char* seen = flags + flagBytes(n);
        const unsigned char* whole = seen + plane.count * sizeof(std::uint16_t);
        for (std::uint64_t i = 0; i < n; ++i) {
            Word w;
            if ((flags[i / 8] >> i % 8) & 1) {
                std::uint16_t token;
                std::memcpy(&token, seen, sizeof token);
                seen += sizeof token;
                w = slots[token & (RepeatSlots - 1)] | static_cast<Word>(token >> RepeatSlotBits)
                                                           << 63;
            } else {
                std::memcpy(&w, whole, sizeof w);
                whole += sizeof w;
                slots[repeatSlot(w & ~SignBit)] = w & ~SignBit;
            }
            store(dst[i], part, w);
        }
        return;
    }
    case PackedPart::Raw:
        for (std::uint64_t i = 0; i < n; ++i) {
            Word w;
            std::memcpy(&w, plane.data.get() + i * sizeof(Word), sizeof w);
            store(dst[i], part, w);
        }
        return;
    }
}

// The one decoding of a chunk of n amplitudes, into dst (whose elements stay in place), with
// the decoder's repeat table in the program thread's working space.
template <typename Chunk> void decodeChunk(const Chunk& chunk, Complex* dst, std::uint64_t n) {
    Word* const slots = work()[0].slots;
    decodePlane(chunk.imag, dst, &Complex::imag, n, slots);
    decodePlane(chunk.real, dst, &Complex::real, n, slots);
}

// The stored form of a plane: a fixed header, then its data.
struct PlaneHeader {
    std::uint8_t kind;
    std::uint8_t bits;
    std::uint16_t count;
    std::uint32_t bytes;
    Word single;
};
static_assert(sizeof(PlaneHeader) == 16);

template <typename Plane> bool savePlane(const Plane& plane, const Snapshot::Sink& sink) {
    const PlaneHeader header{plane.kind, plane.bits, plane.count, plane.bytes, plane.single};
    return sink(&header, sizeof header) &&
           (plane.bytes == 0 || sink(plane.data.get(), plane.bytes));
}

// The bytes a plane of n amplitudes must store for its header, or none when the header cannot
// be one the packing writes.
std::optional<std::uint64_t> storedBytes(const PlaneHeader& header, std::uint64_t n) {
    const std::uint64_t rawBytes = n * sizeof(Word);
    switch (header.kind) {
    case PackedPart::Palette:
        if (header.count < 1 || header.count > MaxPalette ||
            header.bits != (header.count == 1 ? 0 : indexBits(header.count))) {
            return std::nullopt;
        }
        return header.count == 1 ? 0 : header.count * sizeof(Word) + (n * header.bits + 7) / 8;
    case PackedPart::Repeat: {
        // Repeats are kept only where they take less than the values themselves.
        if (header.bits != 0 || header.count > n) {
            return std::nullopt;
        }
        const std::uint64_t bytes =
            flagBytes(n) + header.count * sizeof(std::uint16_t) + (n - header.count) * sizeof(Word);
        return bytes < rawBytes ? std::optional<std::uint64_t>(bytes) : std::nullopt;
    }
    case PackedPart::Raw:
        if (header.bits != 0 || header.count != 0) {
            return std::nullopt;
        }
        return rawBytes;
    default:
        return std::nullopt;
    }
}

// Whether the data of a plane of n amplitudes, its header already checked, decodes without
// reading outside it: every palette index within the palette; repeat flags that mark as many
// values as the plane counts (none past n) and slot tokens of a slot and a sign.
template <typename Plane> bool decodable(const Plane& plane, std::uint64_t n) {
    const unsigned char* data = plane.data.get();
    if (plane.kind == PackedPart::Palette && plane.count > 1) {
        const unsigned char* packed = data + plane.count * sizeof(Word);
        const unsigned mask = (1u << plane.bits) - 1;
        for (std::uint64_t i = 0; i < n; ++i) {
            const std::uint64_t bit = i * plane.bits;
            if (((packed[bit / 8] >> bit % 8) & mask) >= plane.count) {
                return false;
            }
        }
    }
    if (plane.kind == PackedPart::Repeat) {
        std::uint64_t flagged = 0;
        for (std::uint64_t i = 0; i < flagBytes(n) * 8; ++i) {
            const bool set = (data[i / 8] >> i % 8) & 1;
            if (set && i >= n) {
                return false;
            }
            flagged += set;
        }
        if (flagged != plane.count) {
            return false;
        }
        const unsigned char* tokens = data + flagBytes(n);
        for (std::uint64_t k = 0; k < plane.count; ++k) {
            std::uint16_t token;
            std::memcpy(&token, tokens + k * sizeof token, sizeof token);
            if (token >> (RepeatSlotBits + 1) != 0) {
                return false;
            }
        }
    }
    return true;
}

// Reads a plane of n amplitudes that savePlane wrote and checks that it decodes into n values
// without reading outside its data.
template <typename Plane>
bool loadPlane(Plane& plane, std::uint64_t n, const Snapshot::Source& source,
               const Snapshot::Reserve& reserve, std::uint64_t& granted) {
    PlaneHeader header;
    if (!source(&header, sizeof header)) {
        return false;
    }
    const std::optional<std::uint64_t> expected = storedBytes(header, n);
    if (!expected || header.bytes != *expected) {
        return false;
    }
    plane.kind = static_cast<typename Plane::Kind>(header.kind);
    plane.bits = header.bits;
    plane.count = header.count;
    plane.single = header.single;
    if (header.bytes == 0) {
        return true;
    }
    return allocatePlane(plane, header.bytes, reserve, granted) &&
           source(plane.data.get(), header.bytes) && decodable(plane, n);
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
    // Rounds of chunks: packed on every core, then stored in order on this thread, each block
    // asked for as it comes, so that a full history releases no more than it must.
    ChunkWork* const round = work();
    const auto roundSize = static_cast<std::uint64_t>(chunksPerRound());
    for (std::uint64_t begin = 0; begin < count; begin += roundSize) {
        const std::uint64_t chunks = std::min(roundSize, count - begin);
        const auto packOne = [&](std::uint64_t k) {
            const std::uint64_t first = (begin + k) * ChunkAmplitudes;
            packChunk(reg.amplitudes + first, std::min(ChunkAmplitudes, total - first), round[k]);
        };
        if (total >= amplex::kernels::ParallelThreshold) {
            HelperThreads::shared().forEach(chunks, packOne);
        } else {
            // Smaller registers pack faster than helpers start work on a busy machine, as
            // the gates' passes do.
            for (std::uint64_t k = 0; k < chunks; ++k) {
                packOne(k);
            }
        }
        for (std::uint64_t k = 0; k < chunks; ++k) {
            const std::uint64_t c = begin + k;
            const std::uint64_t first = c * ChunkAmplitudes;
            if (!commitChunk(round[k], reg.amplitudes + first,
                             std::min(ChunkAmplitudes, total - first), chunks_[c], reserve,
                             bytes_)) {
                clear();
                return false;
            }
        }
    }
    return true;
}

std::uint64_t Snapshot::mostBytes(int qubitCount) {
    const std::uint64_t total = std::uint64_t{1} << qubitCount;
    const std::uint64_t n = std::min(ChunkAmplitudes, total);
    // A part takes at most its values whole, or a full palette and a byte of index per value.
    const std::uint64_t plane = std::max(n * sizeof(Word), MaxPalette * sizeof(Word) + n);
    const std::uint64_t count = chunkCountFor(total);
    return count * sizeof(Chunk) + BlockOverhead + 2 * count * (plane + BlockOverhead);
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
        decodeChunk(chunks_[c], dst, chunkSize());
    }
}

void Snapshot::copyRange(std::uint64_t first, std::uint64_t count, Complex* out) const {
    if (!chunks_) {
        return;
    }
    const std::uint64_t total = std::uint64_t{1} << qubitCount_;
    const std::uint64_t end = first < total ? first + std::min(count, total - first) : first;
    const std::uint64_t n = chunkSize();
    // One chunk at a time through a buffer of one chunk.
    static const std::unique_ptr<Complex[]> chunk(new Complex[ChunkAmplitudes]);
    for (std::uint64_t i = first; i < end;) {
        const std::uint64_t c = i / n;
        const std::uint64_t begin = c * n;
        restoreChunk(c, chunk.get());
        const std::uint64_t stop = std::min(end, begin + n);
        std::copy(chunk.get() + (i - begin), chunk.get() + (stop - begin), out + (i - first));
        i = stop;
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
    ChunkWork& w = work()[0];
    return eachScratchChunk(reg, [&](std::uint64_t first, std::uint64_t n, Chunk& chunk,
                                     const Reserve& always, std::uint64_t& granted) {
        const Complex* src = reg.amplitudes + first;
        packChunk(src, n, w);
        return commitChunk(w, src, n, chunk, always, granted) && savePlane(chunk.imag, sink) &&
               savePlane(chunk.real, sink);
    });
}

bool Snapshot::loadRegister(QRegister& reg, const Source& source) {
    return eachScratchChunk(reg, [&](std::uint64_t first, std::uint64_t n, Chunk& chunk,
                                     const Reserve& always, std::uint64_t& granted) {
        if (!loadPlane(chunk.imag, n, source, always, granted) ||
            !loadPlane(chunk.real, n, source, always, granted)) {
            return false;
        }
        decodeChunk(chunk, reg.amplitudes + first, n);
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
