#include "app/historyentry.h"

#include "core/qregister.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <utility>

HistoryEntry::~HistoryEntry() {
    release();
}

namespace {

std::uint64_t nextSerial() {
    static std::atomic<std::uint64_t> recordings{0};
    return ++recordings;
}

} // namespace

bool HistoryEntry::record(const QRegister& reg, const char* stepText, int stepDepth,
                          const Snapshot::Reserve& reserve, Snapshot::GiveBack giveBack) {
    label(reg, stepText, stepDepth);
    const Snapshot::Reserve always = [](std::uint64_t) { return true; };
    if (!snapshot.capture(reg, reserve ? reserve : always, std::move(giveBack))) {
        text[0] = '\0';
        return false;
    }
    serial = nextSerial();
    return true;
}

void HistoryEntry::label(const QRegister& reg, const char* stepText, int stepDepth) {
    release();
    serial = 0;
    segmentation = reg.segmentation;
    std::snprintf(text, sizeof text, "%s", stepText ? stepText : "");
    depth = stepDepth;
}

void HistoryEntry::attach(Snapshot& taken, Snapshot::GiveBack giveBack) {
    snapshot.takeFrom(taken, std::move(giveBack));
    serial = snapshot.empty() ? 0 : nextSerial();
}

void HistoryEntry::takeFrom(HistoryEntry& other, Snapshot::GiveBack giveBack) {
    depth = other.depth;
    std::memcpy(text, other.text, sizeof text);
    text[TextSize - 1] = '\0';
    segmentation = other.segmentation;
    snapshot.takeFrom(other.snapshot, std::move(giveBack));
    serial = snapshot.empty() ? 0 : nextSerial();
}

void HistoryEntry::release() {
    snapshot.clear();
}

void HistoryEntry::restoreInto(QRegister& reg) const {
    snapshot.restoreInto(reg);
}
