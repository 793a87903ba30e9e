#pragma once

#include "app/historyentry.h"
#include "core/qregister.h"
#include "core/segmentation.h"

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

class StepHistory;

// A saved session (.amplex): the live register, the segmentation and the whole history.
//
// Layout, little-endian: a header of 16 bytes, Magic, Version (u32) and flags (u32, 0), then
// one LZ4 frame with a checksum on every block and on its whole content, which holds the
// sections in this order, each opened by its four-letter tag:
//   "SIZE"  qubit count (u32), history size (u32), position (u32), depth filter (i32), whether
//           older snapshots were released (u8), the bytes the snapshots hold (u64)
//   "SEGM"  the segmentation: global direction (u8), 33 segment options (3 x u8), segment
//           count (i32), 32 segment ends (i32)
//   "LIVE"  the live register, chunk by chunk in the snapshots' packed form (Snapshot::save)
//   "HIST"  per entry: depth (i32), flags (u8: 1 snapshot, 2 linked to the segmentation),
//           text length (u16) and text, then the snapshot if there is one
//   "END."
// Reading checks every count against its range before anything of that size is made, and the
// whole memory the session needs (register, snapshots, entries) against what the machine has
// and what the history's budget allows, before the register is allocated. A file is read
// whole into new objects; only a complete, valid file replaces the session (apply).
class SessionFile {
public:
    static constexpr char Magic[9] = "AMPLEXSN";
    static constexpr std::uint32_t Version = 1;

    // The contents of a file, held apart from the running session until apply.
    struct Contents {
        QRegister live;
        Segmentation segmentation;
        std::unique_ptr<HistoryEntry[]> entries;
        int historySize = 0;
        int historyPosition = 0;
        int depthFilter = 0;
        bool released = false;
    };
    struct Loaded {
        std::unique_ptr<Contents> contents; // null when refused
        std::string error;                  // why, for the user
    };

    // Writes the session to path, through a temporary file beside it, so that a failed save
    // leaves an earlier file as it was. Returns the error text, empty on success.
    static std::string save(const std::string& path, const QRegister& live,
                            const Segmentation& segmentation, const StepHistory& history);
    // Reads the file. The current history's budget decides, with availableBytes (what the
    // system can still give, see SystemMemory::available), whether the session fits.
    static Loaded load(const std::string& path, const StepHistory& current,
                       std::uint64_t availableBytes);
    // The same from a stream open for reading; name is what the messages call it.
    static Loaded load(std::FILE* file, const std::string& name, const StepHistory& current,
                       std::uint64_t availableBytes);
    // Puts loaded contents in place of the session: the register's array and size, the
    // segmentation and the history. Cannot fail once load succeeded; the old register's array
    // goes with the contents.
    static void apply(Contents& contents, QRegister& live, Segmentation& segmentation,
                      StepHistory& history);
};
