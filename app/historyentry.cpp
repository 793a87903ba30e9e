#include "app/historyentry.h"

#include "core/qregister.h"

#include <atomic>
#include <cstdio>

HistoryEntry::~HistoryEntry() {
    release();
}

bool HistoryEntry::record(const QRegister& reg, const char* stepText, int stepDepth,
                          const Snapshot::Reserve& reserve, Snapshot::GiveBack giveBack) {
    static std::atomic<std::uint64_t> recordings{0};
    release();
    serial = 0;
    const Snapshot::Reserve always = [](std::uint64_t) { return true; };
    if (!snapshot.capture(reg, reserve ? reserve : always, std::move(giveBack))) {
        text[0] = '\0';
        return false;
    }
    segmentation = reg.segmentation;
    serial = ++recordings;
    std::snprintf(text, sizeof text, "%s", stepText ? stepText : "");
    depth = stepDepth;
    return true;
}

void HistoryEntry::release() {
    snapshot.clear();
}

void HistoryEntry::restoreInto(QRegister& reg) const {
    snapshot.restoreInto(reg);
}
