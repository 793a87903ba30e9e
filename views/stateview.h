#pragma once

#include <cstdint>

class QRegister;

namespace amplex::ui {

// The State window's view settings and the arithmetic of its slider.
//
// The slider always spans 0 .. 32767 whatever the register's size: position p stands for the
// first position p * 2^n / 32768, rounded down, so for n < 15 a step of the slider skips no
// entry and for n > 15 it skips 2^(n - 15) - 1 of them. "+" and "-" then move by one entry.
class StateView {
public:
    static constexpr int SliderMaximum = 32767;
    static constexpr int MaxShownCount = 30;

    // Sort modes of the listing, as QRegister::sortedListing takes them.
    enum SortMode { Unsorted = 0, Ascending = 1, Descending = 2 };

    // A register of qubitCount qubits (0 .. 31) was (re)initialised: back to position 0, with
    // 30 entries or the whole register when it has fewer. The sort mode stays.
    void newRegister(int qubitCount);

    // Reads the slider: p is clamped to 0 .. SliderMaximum.
    void setSliderPosition(int p);
    // Where the slider stands for the current first position.
    int sliderPosition() const;

    // One entry further, but at most 2^n - 1.
    void stepUp();
    // One entry back, but at least 0.
    void stepDown();

    // 0 unsorted, 1 ascending, 2 descending; other values are refused.
    void setSortMode(int mode);

    // Amplitudes as closed forms where they are within rounding of one (ExactValue).
    void setExactValues(bool exact) { exactValues_ = exact; }

    // The listing of reg with these settings (QRegister's static buffer).
    const char* listing(QRegister& reg) const;

    int firstIndex() const { return firstIndex_; }
    int shownCount() const { return shownCount_; }
    int sortMode() const { return sortMode_; }
    bool exactValues() const { return exactValues_; }
    int qubitCount() const { return qubitCount_; }

private:
    std::int64_t lastIndex() const { return (std::int64_t{1} << qubitCount_) - 1; }

    int qubitCount_ = 0;
    int firstIndex_ = 0;
    int shownCount_ = 1;
    int sortMode_ = Unsorted;
    bool exactValues_ = false;
};

} // namespace amplex::ui
