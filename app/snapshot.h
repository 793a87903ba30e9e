#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

class Complex;
class QRegister;

// A compact copy of a register's amplitudes, restored bit for bit.
//
// Only the 16 bytes of values of each amplitude are kept, in chunks of ChunkAmplitudes, the
// imaginary and the real parts of a chunk apart. Teaching states repeat a few values over and
// over (basis states, uniform superpositions, search states) and are mostly real, so each part
// is stored as a palette of its distinct values and an index of 0, 1, 2, 4 or 8 bits per
// amplitude; a part with more than 256 distinct values is kept as repeats of magnitudes seen
// shortly before (2 bytes each, the others whole), or as it is when that does not pay. Encoding
// and decoding work chunk by chunk through fixed scratch buffers: nothing of the register's
// size is ever allocated besides the snapshot's own storage.
class Snapshot {
public:
    static constexpr std::uint64_t ChunkAmplitudes = std::uint64_t{1} << 14;

    // Asked for every allocation before it is made, with its size in bytes; answers whether the
    // bytes are granted. Everything granted is handed back through `giveBack` when the snapshot
    // is cleared.
    using Reserve = std::function<bool(std::uint64_t bytes)>;
    using GiveBack = std::function<void(std::uint64_t bytes)>;

    Snapshot();
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    ~Snapshot();

    // Replaces the contents with the register's amplitudes. Returns false, leaving the snapshot
    // empty, when `reserve` refuses a block or memory cannot be had. giveBack must outlive the
    // contents.
    bool capture(const QRegister& reg, const Reserve& reserve, GiveBack giveBack);
    // Writes the recorded amplitudes into a register of the same qubit count (its elements stay
    // in place); a register of another size is left alone.
    void restoreInto(QRegister& reg) const;
    // Writes the amplitudes of chunk c (ChunkAmplitudes of them, fewer in a register smaller
    // than a chunk) into dst, whose elements stay in place; nothing for a chunk not held.
    void restoreChunk(std::uint64_t c, Complex* dst) const;
    std::uint64_t chunkCount() const { return chunkCount_; }
    // Amplitudes in chunk c: ChunkAmplitudes, or all of a register smaller than a chunk.
    std::uint64_t chunkSize() const;
    // Writes the recorded amplitudes first .. first + count - 1 (those that exist) into out,
    // decoding only the chunks that hold them.
    void copyRange(std::uint64_t first, std::uint64_t count, Complex* out) const;
    // Frees the contents and hands their bytes back.
    void clear();

    // A byte stream to write to or read from; false when it failed.
    using Sink = std::function<bool(const void* data, std::size_t bytes)>;
    using Source = std::function<bool(void* data, std::size_t bytes)>;
    // Writes the contents in their packed form: chunk by chunk, each part as its kind, index
    // bits, palette size or number of repeats, stored bytes, single value and stored data.
    bool save(const Sink& sink) const;
    // Reads what save wrote for a register of qubitCount qubits, asking `reserve` for every
    // block as capture does. Every field is checked before it is used (kinds, palette sizes,
    // index bits and every index, repeat flags against their count and every repeat's slot,
    // stored sizes), so that what is read restores like a capture. Returns false, leaving the
    // snapshot empty, when the stream fails, a field is out of range or a block is refused.
    bool load(int qubitCount, const Source& source, const Reserve& reserve, GiveBack giveBack);
    // The same packed form for a register's amplitudes without keeping them: one chunk at a
    // time through a scratch chunk. loadRegister reads into a register already sized to the
    // qubit count and returns false when the stream fails or holds anything out of range.
    static bool saveRegister(const QRegister& reg, const Sink& sink);
    static bool loadRegister(QRegister& reg, const Source& source);
    // Takes over the other snapshot's contents, whose bytes are then handed back through
    // giveBack; the other is left empty without handing anything back.
    void takeFrom(Snapshot& other, GiveBack giveBack);

    // The most bytes a capture of a register of qubitCount qubits can be granted.
    static std::uint64_t mostBytes(int qubitCount);

    bool empty() const { return !chunks_; }
    int qubitCount() const { return qubitCount_; }
    // Bytes granted for the contents: the chunk table and every chunk's storage.
    std::uint64_t bytes() const { return bytes_; }

private:
    struct Plane;
    struct Chunk;
    // Runs step(first, n, chunk, reserve, granted) on a scratch chunk for each chunk of the
    // register, while it succeeds.
    template <typename Step> static bool eachScratchChunk(const QRegister& reg, Step step);

    std::unique_ptr<Chunk[]> chunks_;
    std::uint64_t chunkCount_ = 0;
    std::uint64_t bytes_ = 0;
    int qubitCount_ = 0;
    GiveBack giveBack_;
};
