#include "app/historytext.h"

#include "app/stephistory.h"
#include "core/qregister.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

int HistoryText::firstShownEntry(const StepHistory& history) {
    int counted = 0;
    for (int k = history.historyPosition() - 1; k >= 0; --k) {
        if (history.isVisible(k) && ++counted == VisibleSteps) {
            return k;
        }
    }
    return -1;
}

std::string HistoryText::build(const StepHistory& history, int firstIndex, int shownCount,
                               int sortMode, bool exactValues) {
    const int position = history.historyPosition();
    const int first = firstShownEntry(history);
    const auto listFirst = static_cast<std::uint32_t>(std::max(firstIndex, 0));
    const auto listCount = static_cast<std::uint32_t>(std::max(shownCount, 0));

    std::string text;
    text.reserve(static_cast<std::size_t>(VisibleSteps) * (QRegister::ListingSize + 320));
    if (first < 0) {
        text = ResetLines;
    }
    for (int k = std::max(first, 0); k < position; ++k) {
        if (!history.isVisible(k)) {
            continue;
        }
        const HistoryEntry& entry = history.entry(k);
        const std::string indent(static_cast<std::size_t>(std::max(entry.depth, 0)) * 5, ' ');
        char line[HistoryEntry::TextSize + 64];
        std::snprintf(line, sizeof line, "%i / %i: %s =>\r\n", entry.depth, k + 1, entry.text);
        text += "\r\n";
        text += indent;
        text += line;
        text += indent;
        text += entry.hasSnapshot()
                    ? history.listing(k, listFirst, listCount, sortMode, exactValues)
                    : std::string(ReleasedMark);
        text += "\r\n";
    }
    return text;
}
