#pragma once

#include <string>

class StepHistory;

// The History window's text: the last VisibleSteps visible steps up to the history position,
// each as a line "depth / step: text =>" and the listing of the register after it, both
// indented by five spaces per nesting level, every step after a blank line. When fewer visible
// steps precede the position, the fixed reset lines come first. Lines end in CR LF.
//
// Hidden steps (deeper than the depth filter) are skipped and do not count; steps after the
// position (undone ones) are never shown. The listings use the State window's view settings;
// a step whose snapshot was released to stay within the history's budget shows ReleasedMark
// in place of its listing.
class HistoryText {
public:
    static constexpr int VisibleSteps = 5;
    static constexpr const char* ResetLines = "0 / 0: Reset\r\n 1 |0>\r\n";
    static constexpr const char* ReleasedMark = "(released)";

    // firstIndex, shownCount, sortMode, exactValues: the State window's first listed position,
    // number of entries, sort mode (0 unsorted, 1 ascending, 2 descending) and amplitude form.
    static std::string build(const StepHistory& history, int firstIndex, int shownCount,
                             int sortMode, bool exactValues = false);

    // Index of the first entry to show: the VisibleSteps-th visible entry counted back from the
    // position, or -1 (the reset lines) when there are fewer.
    static int firstShownEntry(const StepHistory& history);
};
