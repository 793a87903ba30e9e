#include "app/sessionfile.h"

#include "app/qubitcountinput.h"
#include "app/stephistory.h"

#include <lz4frame.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

// Fields are written as they lie in memory.
static_assert(std::endian::native == std::endian::little);

namespace {

constexpr std::size_t HeaderBytes = 16;
constexpr std::size_t PieceBytes = std::size_t{64} << 10;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// The sections as one LZ4 frame with checksums on every block and on the whole content.
class FrameWriter {
public:
    explicit FrameWriter(std::FILE* file) : file_(file) {
        prefs_.frameInfo.blockChecksumFlag = LZ4F_blockChecksumEnabled;
        prefs_.frameInfo.contentChecksumFlag = LZ4F_contentChecksumEnabled;
        out_.resize(LZ4F_compressBound(PieceBytes, &prefs_));
        ok_ = !LZ4F_isError(LZ4F_createCompressionContext(&ctx_, LZ4F_VERSION)) &&
              put(LZ4F_compressBegin(ctx_, out_.data(), out_.size(), &prefs_));
    }
    ~FrameWriter() { LZ4F_freeCompressionContext(ctx_); }
    FrameWriter(const FrameWriter&) = delete;
    FrameWriter& operator=(const FrameWriter&) = delete;

    bool write(const void* data, std::size_t bytes) {
        const auto* p = static_cast<const char*>(data);
        while (ok_ && bytes > 0) {
            const std::size_t piece = std::min(bytes, PieceBytes);
            ok_ = put(LZ4F_compressUpdate(ctx_, out_.data(), out_.size(), p, piece, nullptr));
            p += piece;
            bytes -= piece;
        }
        return ok_;
    }
    bool finish() { return ok_ && put(LZ4F_compressEnd(ctx_, out_.data(), out_.size(), nullptr)); }

private:
    bool put(std::size_t n) {
        return !LZ4F_isError(n) && (n == 0 || std::fwrite(out_.data(), 1, n, file_) == n);
    }

    std::FILE* file_;
    LZ4F_cctx* ctx_ = nullptr;
    LZ4F_preferences_t prefs_ = {};
    std::vector<char> out_;
    bool ok_ = false;
};

// Reads the frame's content on demand; false once the file ends early or a checksum or the
// frame's structure fails.
class FrameReader {
public:
    explicit FrameReader(std::FILE* file) : file_(file) {
        ok_ = !LZ4F_isError(LZ4F_createDecompressionContext(&ctx_, LZ4F_VERSION));
        in_.reserve(PieceBytes);
    }
    ~FrameReader() { LZ4F_freeDecompressionContext(ctx_); }
    FrameReader(const FrameReader&) = delete;
    FrameReader& operator=(const FrameReader&) = delete;

    bool read(void* data, std::size_t bytes) {
        auto* p = static_cast<char*>(data);
        while (ok_ && bytes > 0) {
            // The frame must not end first.
            ok_ = !ended_;
            std::size_t produced = bytes;
            step(p, produced);
            p += produced;
            bytes -= produced;
        }
        return ok_;
    }
    // The frame ends here with a matching content checksum, and nothing follows it.
    bool finish() {
        char extra = 0;
        while (ok_ && !ended_) {
            std::size_t produced = 1;
            step(&extra, produced);
            ok_ = ok_ && produced == 0;
        }
        return ok_ && pos_ == in_.size() && std::fgetc(file_) == EOF;
    }

private:
    // One call of the decoder, reading more of the file when it made no progress. A hint of 0
    // means the frame ended, its content checksum verified.
    void step(char* dst, std::size_t& produced) {
        std::size_t consumed = in_.size() - pos_;
        const std::size_t hint =
            LZ4F_decompress(ctx_, dst, &produced, in_.data() + pos_, &consumed, nullptr);
        if (LZ4F_isError(hint)) {
            ok_ = false;
            produced = 0;
            return;
        }
        pos_ += consumed;
        ended_ = hint == 0;
        if (produced == 0 && consumed == 0 && !ended_) {
            in_.resize(PieceBytes);
            in_.resize(std::fread(in_.data(), 1, in_.size(), file_));
            pos_ = 0;
            ok_ = !in_.empty();
        }
    }

    std::FILE* file_;
    LZ4F_dctx* ctx_ = nullptr;
    std::vector<char> in_;
    std::size_t pos_ = 0;
    bool ok_ = false;
    bool ended_ = false;
};

struct SizeSection {
    std::uint32_t qubitCount;
    std::uint32_t historySize;
    std::uint32_t historyPosition;
    std::int32_t depthFilter;
    std::uint8_t released;
    std::uint64_t snapshotBytes;
};

struct EntryHeader {
    std::int32_t depth;
    std::uint8_t flags;
    std::uint16_t textLength;
};
constexpr std::uint8_t HasSnapshot = 1;
constexpr std::uint8_t Segmented = 2;

std::uint64_t registerBytes(std::uint32_t qubitCount) {
    return (std::uint64_t{1} << qubitCount) * sizeof(Complex);
}

std::uint64_t megabytes(std::uint64_t bytes) {
    return (bytes + (std::uint64_t{1} << 20) - 1) >> 20;
}

// The fields one by one, so that no padding reaches the file.
template <typename Io> bool sizeFields(Io&& io, SizeSection& s) {
    return io(&s.qubitCount, 4) && io(&s.historySize, 4) && io(&s.historyPosition, 4) &&
           io(&s.depthFilter, 4) && io(&s.released, 1) && io(&s.snapshotBytes, 8);
}

template <typename Io> bool segmentationFields(Io&& io, Segmentation& s) {
    return io(&s.globalDirection, 1) && io(s.options, sizeof s.options) && io(&s.segmentCount, 4) &&
           io(s.segmentEnd, sizeof s.segmentEnd);
}

template <typename Io> bool entryFields(Io&& io, EntryHeader& e) {
    return io(&e.depth, 4) && io(&e.flags, 1) && io(&e.textLength, 2);
}

std::string withPath(const std::string& path, const char* what) {
    return path + ": " + what;
}

} // namespace

std::string SessionFile::save(const std::string& path, const QRegister& live,
                              const Segmentation& segmentation, const StepHistory& history) {
    if (!live.amplitudes) {
        return withPath(path, "there is no register to save.");
    }
    const std::string temporary = path + ".part";
    File file(std::fopen(temporary.c_str(), "wb"));
    if (!file) {
        return withPath(path, std::strerror(errno));
    }
    char header[HeaderBytes] = {};
    std::memcpy(header, Magic, 8);
    std::memcpy(header + 8, &Version, 4);
    bool ok = std::fwrite(header, 1, HeaderBytes, file.get()) == HeaderBytes;
    {
        FrameWriter frame(file.get());
        const Snapshot::Sink sink = [&frame](const void* data, std::size_t bytes) {
            return frame.write(data, bytes);
        };
        auto io = [&sink](void* data, std::size_t bytes) { return sink(data, bytes); };
        auto tag = [&sink](const char* name) { return sink(name, 4); };

        SizeSection size{static_cast<std::uint32_t>(live.qubitCount),
                         static_cast<std::uint32_t>(history.historySize()),
                         static_cast<std::uint32_t>(history.historyPosition()),
                         history.depthFilter(),
                         history.released(),
                         0};
        for (int k = 0; k < history.historySize(); ++k) {
            size.snapshotBytes += history.entry(k).snapshot.bytes();
        }
        Segmentation segments = segmentation;
        ok = ok && tag("SIZE") && sizeFields(io, size) && tag("SEGM") &&
             segmentationFields(io, segments) && tag("LIVE") &&
             Snapshot::saveRegister(live, sink) && tag("HIST");
        for (int k = 0; ok && k < history.historySize(); ++k) {
            const HistoryEntry& e = history.entry(k);
            EntryHeader entry{e.depth,
                              static_cast<std::uint8_t>((e.hasSnapshot() ? HasSnapshot : 0) |
                                                        (e.segmentation ? Segmented : 0)),
                              static_cast<std::uint16_t>(std::strlen(e.text))};
            ok = entryFields(io, entry) && sink(e.text, entry.textLength) &&
                 (!e.hasSnapshot() || e.snapshot.save(sink));
        }
        ok = ok && tag("END.") && frame.finish();
    }
    ok = ok && std::fflush(file.get()) == 0;
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok || std::rename(temporary.c_str(), path.c_str()) != 0) {
        const std::string why = std::strerror(errno);
        std::remove(temporary.c_str());
        return withPath(path, ("could not be written: " + why).c_str());
    }
    return {};
}

SessionFile::Loaded SessionFile::load(const std::string& path, const StepHistory& current,
                                      std::uint64_t availableBytes) {
    const File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return {nullptr, withPath(path, std::strerror(errno))};
    }
    return load(file.get(), path, current, availableBytes);
}

SessionFile::Loaded SessionFile::load(std::FILE* file, const std::string& path,
                                      const StepHistory& current, std::uint64_t availableBytes) {
    Loaded result;
    auto refuse = [&](const std::string& why) {
        result.contents.reset();
        result.error = withPath(path, why.c_str());
        return std::move(result);
    };
    const char* const Damaged = "the file is damaged or incomplete.";
    char header[HeaderBytes];
    if (std::fread(header, 1, HeaderBytes, file) != HeaderBytes ||
        std::memcmp(header, Magic, 8) != 0) {
        return refuse("not an Amplex session.");
    }
    std::uint32_t version = 0, flags = 0;
    std::memcpy(&version, header + 8, 4);
    std::memcpy(&flags, header + 12, 4);
    if (version > Version) {
        char why[128];
        std::snprintf(why, sizeof why,
                      "saved by a newer Amplex (format version %u); this one reads version %u.",
                      version, Version);
        return refuse(why);
    }
    if (version != Version || flags != 0) {
        return refuse(Damaged);
    }

    FrameReader frame(file);
    const Snapshot::Source source = [&frame](void* data, std::size_t bytes) {
        return frame.read(data, bytes);
    };
    auto tag = [&source](const char* name) {
        char read[4];
        return source(read, 4) && std::memcmp(read, name, 4) == 0;
    };
    SizeSection size{};
    if (!tag("SIZE") || !sizeFields(source, size)) {
        return refuse(Damaged);
    }
    if (size.qubitCount < QubitCountInput::MinQubits ||
        size.qubitCount > QubitCountInput::MaxQubits ||
        size.historySize > static_cast<std::uint32_t>(StepHistory::Capacity) ||
        size.historyPosition > size.historySize || size.depthFilter < 0 || size.released > 1) {
        return refuse(Damaged);
    }
    // Everything is weighed before anything of the session's size is made: the new register
    // and history live beside the current ones until they take their place.
    const std::uint64_t reg = registerBytes(size.qubitCount);
    const std::uint64_t entryTable = std::uint64_t{size.historySize} * sizeof(HistoryEntry);
    const std::uint64_t needed = reg + entryTable + size.snapshotBytes;
    if (size.snapshotBytes > availableBytes || needed > availableBytes) {
        char why[160];
        std::snprintf(why, sizeof why,
                      "the session needs %llu MB, more than the %llu MB this machine has free.",
                      static_cast<unsigned long long>(megabytes(needed)),
                      static_cast<unsigned long long>(availableBytes >> 20));
        return refuse(why);
    }
    HistoryBudget trial = current.budget();
    trial.giveBack(trial.used());
    trial.fitTo(reg);
    if (size.historySize > 0 && !(trial.reserve(reg) && trial.reserve(size.snapshotBytes))) {
        char why[160];
        std::snprintf(why, sizeof why,
                      "its history needs %llu MB, more than the %llu MB the history may use here.",
                      static_cast<unsigned long long>(megabytes(reg + size.snapshotBytes)),
                      static_cast<unsigned long long>(trial.limit() >> 20));
        return refuse(why);
    }

    auto contents = std::make_unique<Contents>();
    contents->historySize = static_cast<int>(size.historySize);
    contents->historyPosition = static_cast<int>(size.historyPosition);
    contents->depthFilter = size.depthFilter;
    contents->released = size.released != 0;
    contents->entries = std::make_unique<HistoryEntry[]>(size.historySize);
    if (!tag("SEGM") || !segmentationFields(source, contents->segmentation) || !tag("LIVE")) {
        return refuse(Damaged);
    }
    if (!contents->live.setQubitCount(static_cast<int>(size.qubitCount))) {
        return refuse("out of memory for its register.");
    }
    if (!Snapshot::loadRegister(contents->live, source) || !tag("HIST")) {
        return refuse(Damaged);
    }
    // The snapshots may take no more than the file declared and was weighed above.
    std::uint64_t left = size.snapshotBytes;
    const Snapshot::Reserve reserve = [&left](std::uint64_t bytes) {
        if (bytes > left) {
            return false;
        }
        left -= bytes;
        return true;
    };
    for (std::uint32_t k = 0; k < size.historySize; ++k) {
        HistoryEntry& e = contents->entries[k];
        EntryHeader entry{};
        if (!entryFields(source, entry) || entry.depth < 0 ||
            entry.depth > StepHistory::MaxRecordedDepth || (entry.flags & ~3) != 0 ||
            entry.textLength >= HistoryEntry::TextSize || !source(e.text, entry.textLength)) {
            return refuse(Damaged);
        }
        e.depth = entry.depth;
        e.text[entry.textLength] = '\0';
        e.segmentation = entry.flags & Segmented ? &contents->segmentation : nullptr;
        if ((entry.flags & HasSnapshot) &&
            !e.snapshot.load(static_cast<int>(size.qubitCount), source, reserve,
                             [](std::uint64_t) {})) {
            return refuse(Damaged);
        }
    }
    if (left != 0 || !tag("END.") || !frame.finish()) {
        return refuse(Damaged);
    }
    result.contents = std::move(contents);
    return result;
}

void SessionFile::apply(Contents& contents, QRegister& live, Segmentation& segmentation,
                        StepHistory& history) {
    // The old array leaves with the contents, which free it with its own size.
    std::swap(live.amplitudes, contents.live.amplitudes);
    std::swap(live.qubitCount, contents.live.qubitCount);
    segmentation = contents.segmentation;
    for (int k = 0; k < contents.historySize; ++k) {
        if (contents.entries[k].segmentation) {
            contents.entries[k].segmentation = &segmentation;
        }
    }
    history.adopt(contents.entries.get(), contents.historySize, contents.historyPosition,
                  contents.depthFilter, contents.released);
}
