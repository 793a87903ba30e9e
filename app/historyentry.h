#pragma once

#include <cstdint>

class QRegister;

// One recorded step: the register after it, its text and the nesting depth it ran at.
class HistoryEntry {
public:
    static constexpr int TextSize = 256;

    HistoryEntry() = default;
    HistoryEntry(const HistoryEntry&) = delete;
    HistoryEntry& operator=(const HistoryEntry&) = delete;
    virtual ~HistoryEntry();

    // Snapshots the register (sharing its segmentation link) with the text, cut to 255
    // characters, and the depth. Returns false and leaves the entry empty when the snapshot
    // cannot be allocated.
    bool record(const QRegister& reg, const char* stepText, int stepDepth);
    // Drops the snapshot; the entry then holds no step.
    void release();

    std::int32_t depth = 0;
    char text[TextSize] = {};
    QRegister* snapshot = nullptr;
};
