#include "views/stateview.h"

#include "core/qregister.h"

#include <algorithm>

namespace amplex::ui {

namespace {
constexpr int SliderBits = 15; // 0 .. 32767
}

void StateView::newRegister(int qubitCount) {
    qubitCount_ = std::clamp(qubitCount, 0, QRegister::MaxQubitCount);
    firstIndex_ = 0;
    shownCount_ = static_cast<int>(std::min<std::int64_t>(MaxShownCount, lastIndex() + 1));
}

void StateView::setSliderPosition(int p) {
    const std::int64_t position = std::clamp(p, 0, SliderMaximum);
    const std::int64_t first = qubitCount_ < SliderBits ? position >> (SliderBits - qubitCount_)
                                                        : position << (qubitCount_ - SliderBits);
    firstIndex_ = static_cast<int>(std::min(first, lastIndex()));
}

int StateView::sliderPosition() const {
    const std::int64_t first = firstIndex_;
    const std::int64_t position = qubitCount_ < SliderBits ? first << (SliderBits - qubitCount_)
                                                           : first >> (qubitCount_ - SliderBits);
    return static_cast<int>(std::min<std::int64_t>(position, SliderMaximum));
}

void StateView::stepUp() {
    firstIndex_ =
        static_cast<int>(std::min<std::int64_t>(std::int64_t{firstIndex_} + 1, lastIndex()));
}

void StateView::stepDown() {
    firstIndex_ = std::max(firstIndex_ - 1, 0);
}

void StateView::setSortMode(int mode) {
    if (mode == Unsorted || mode == Ascending || mode == Descending) {
        sortMode_ = mode;
    }
}

const char* StateView::listing(QRegister& reg) const {
    return reg.sortedListing(static_cast<std::uint32_t>(firstIndex_),
                             static_cast<std::uint32_t>(shownCount_), sortMode_, exactValues_);
}

} // namespace amplex::ui
