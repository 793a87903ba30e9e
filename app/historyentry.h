#pragma once

#include "app/snapshot.h"

#include <cstdint>

class QRegister;
class Segmentation;

// One recorded step: the register after it, its text and the nesting depth it ran at.
class HistoryEntry {
public:
    static constexpr int TextSize = 256;

    HistoryEntry() = default;
    HistoryEntry(const HistoryEntry&) = delete;
    HistoryEntry& operator=(const HistoryEntry&) = delete;
    virtual ~HistoryEntry();

    // Snapshots the register (keeping its segmentation link) with the text, cut to 255
    // characters, and the depth. Every block of the snapshot is asked of `reserve` first (no
    // reserve: always granted) and handed back through `giveBack` when released. Returns false
    // and leaves the entry empty when a block is refused or cannot be allocated.
    bool record(const QRegister& reg, const char* stepText, int stepDepth,
                const Snapshot::Reserve& reserve = {}, Snapshot::GiveBack giveBack = {});
    // Gives the entry the text, depth and segmentation link of a step whose snapshot comes
    // later (see attach), and no snapshot yet.
    void label(const QRegister& reg, const char* stepText, int stepDepth);
    // Takes over a snapshot of the labelled step, whose bytes are then handed back through
    // giveBack.
    void attach(Snapshot& taken, Snapshot::GiveBack giveBack);
    // Takes the other entry's text, depth, segmentation link and snapshot, whose bytes are then
    // handed back through giveBack; the other entry keeps its text and depth and no snapshot.
    void takeFrom(HistoryEntry& other, Snapshot::GiveBack giveBack);
    // Drops the snapshot and keeps the text and depth.
    void release();
    bool hasSnapshot() const { return !snapshot.empty(); }
    // Puts the recorded amplitudes into a register of the same size; nothing without a
    // snapshot or for another size.
    void restoreInto(QRegister& reg) const;

    std::int32_t depth = 0;
    char text[TextSize] = {};
    Snapshot snapshot;
    Segmentation* segmentation = nullptr;
    // Tells one recording from another in caches; 0 for none.
    std::uint64_t serial = 0;
};
