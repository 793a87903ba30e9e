#include "views/segmentationeditor.h"

#include "core/qregister.h"
#include "views/wholenumber.h"

#include <algorithm>

namespace amplex::ui {

SegmentationEditor::SegmentationEditor(QRegister& live) : live_(live) {
    refresh();
}

void SegmentationEditor::refresh() {
    segmentation_ = live_.segmentation;
    selected_ = segmentCount() > 0 ? 0 : -1;
}

int SegmentationEditor::segmentCount() const {
    return segmentation_ ? std::clamp(segmentation_->segmentCount, 0, Segmentation::MaxSegments)
                         : 0;
}

int SegmentationEditor::qubitCount() const {
    return live_.qubitCount;
}

bool SegmentationEditor::select(int segment) {
    if (segment < 0 || segment >= segmentCount()) {
        return false;
    }
    selected_ = segment;
    return true;
}

QString SegmentationEditor::fromText() const {
    if (selected_ < 0) {
        return {};
    }
    if (selected_ == 0) {
        return QStringLiteral("0");
    }
    return QString::number(segmentation_->bitRange(selected_, qubitCount()).first);
}

bool SegmentationEditor::fromReadOnly() const {
    return selected_ <= 0;
}

QString SegmentationEditor::toText() const {
    if (selected_ < 0) {
        return {};
    }
    return QString::number(segmentation_->bitRange(selected_, qubitCount()).last);
}

bool SegmentationEditor::toReadOnly() const {
    return selected_ < 0 || selected_ == segmentCount() - 1;
}

bool SegmentationEditor::applyFrom(const QString& text) {
    // The selection may be stale if the record changed while the dialog was open.
    if (fromReadOnly() || selected_ >= segmentCount()) {
        return false;
    }
    const std::optional<int> value = parseWholeNumber(text);
    if (!value || *value < 1 || *value > qubitCount()) {
        return false;
    }
    // The selected segment starts at the typed bit: the one before ends just below it.
    segmentation_->segmentEnd[selected_ - 1] = *value - 1;
    return true;
}

bool SegmentationEditor::applyTo(const QString& text) {
    if (toReadOnly() || selected_ >= segmentCount()) {
        return false;
    }
    const std::optional<int> value = parseWholeNumber(text);
    if (!value || *value < 0 || *value >= qubitCount()) {
        return false;
    }
    segmentation_->segmentEnd[selected_] = *value;
    return true;
}

int SegmentationEditor::globalDirection() const {
    return segmentation_ ? segmentation_->globalDirection : 0;
}

void SegmentationEditor::setGlobalDirection(int value) {
    if (segmentation_) {
        segmentation_->globalDirection = value != 0 ? 1 : 0;
    }
}

SegmentOptions* SegmentationEditor::selectedOptions() const {
    if (selected_ < 0 || selected_ >= segmentCount()) {
        return nullptr;
    }
    return &segmentation_->options[selected_];
}

SegmentOptions SegmentationEditor::options() const {
    const SegmentOptions* options = selectedOptions();
    return options ? *options : SegmentOptions{};
}

void SegmentationEditor::setDirection(int value) {
    if (SegmentOptions* options = selectedOptions()) {
        options->direction = value != 0 ? 1 : 0;
    }
}

void SegmentationEditor::setDecimal(int value) {
    if (SegmentOptions* options = selectedOptions()) {
        options->decimal = value == 1 ? 1 : 0;
    }
}

void SegmentationEditor::setZeroFill(int value) {
    if (SegmentOptions* options = selectedOptions()) {
        options->zeroFill = value == 1 ? 1 : 0;
    }
}

SegmentationEditor::AddResult SegmentationEditor::add() {
    segmentation_ = live_.segmentation;
    if (!segmentation_) {
        return AddResult::Added; // nothing to divide
    }
    const int count = segmentCount();
    if (count >= Segmentation::MaxSegments) {
        return AddResult::Full;
    }
    if (count > 0) {
        // The segment that was last keeps reaching the top bit; the new one starts empty.
        segmentation_->segmentEnd[count - 1] = qubitCount() - 1;
    }
    segmentation_->options[count] = SegmentOptions{};
    segmentation_->segmentCount = count + 1;
    refresh();
    return AddResult::Added;
}

void SegmentationEditor::remove() {
    segmentation_ = live_.segmentation;
    if (segmentation_ && segmentCount() > 0) {
        segmentation_->segmentCount = segmentCount() - 1;
    }
    refresh();
}

} // namespace amplex::ui
