#include "app/historyentry.h"

#include "core/qregister.h"

#include <cstdio>
#include <new>

HistoryEntry::~HistoryEntry() {
    release();
}

bool HistoryEntry::record(const QRegister& reg, const char* stepText, int stepDepth) {
    release();
    auto* copy = new (std::nothrow) QRegister;
    if (!copy || !copy->cloneFrom(reg)) {
        delete copy;
        text[0] = '\0';
        return false;
    }
    copy->segmentation = reg.segmentation;
    snapshot = copy;
    std::snprintf(text, sizeof text, "%s", stepText ? stepText : "");
    depth = stepDepth;
    return true;
}

void HistoryEntry::release() {
    delete snapshot;
    snapshot = nullptr;
}
