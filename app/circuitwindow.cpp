#include "app/circuitwindow.h"

#include "app/circuitlayout.h"
#include "app/circuitview.h"
#include "app/stephistory.h"
#include "core/qregister.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstring>

namespace amplex::ui {

CircuitWindow::CircuitWindow(StepHistory& history, const QRegister& live, QWidget* parent)
    : ViewWindow(QStringLiteral("Circuit"), QSize(186, 94), parent), history_(history), live_(live),
      view_(new CircuitView(this)) {
    view_->setPositionPicked([this](int position) { history_.moveTo(position); });
}

void CircuitWindow::refresh() {
    if (!isVisible()) {
        stale_ = true;
        return;
    }
    stale_ = false;
    const int size = history_.historySize();
    Source source{size,
                  size ? history_.entry(size - 1).serial : 0,
                  history_.depthFilter(),
                  live_.qubitCount,
                  {}};
    if (live_.segmentation) {
        source.segmentation = *live_.segmentation;
    }
    const auto& a = source.segmentation;
    const auto& b = source_.segmentation;
    // Later steps always replace the last one, so the last serial and the size tell new steps.
    if (source.size == source_.size && source.lastSerial == source_.lastSerial &&
        source.depthFilter == source_.depthFilter && source.qubitCount == source_.qubitCount &&
        a.segmentCount == b.segmentCount &&
        std::memcmp(a.segmentEnd, b.segmentEnd, sizeof a.segmentEnd) == 0) {
        view_->setPosition(history_.historyPosition());
        return;
    }
    source_ = source;
    // Room for the step numbers above the wires and an angle under a gate's name.
    const int line = QFontMetrics(font()).height();
    CircuitLayout::Metrics metrics;
    metrics.margin = line + 4;
    metrics.rowHeight = std::max(metrics.rowHeight, 2 * line + 8);
    metrics.columnWidth = std::max(
        metrics.columnWidth, QFontMetrics(font()).horizontalAdvance(QStringLiteral("-22.5°")) + 14);
    view_->setLayout(CircuitLayout::build(history_, live_.qubitCount, live_.segmentation, metrics));
}

void CircuitWindow::layoutControls(QSize client) {
    if (view_) {
        view_->setGeometry(0, 0, client.width(), client.height());
    }
}

void CircuitWindow::showEvent(QShowEvent* event) {
    ViewWindow::showEvent(event);
    if (stale_) {
        refresh();
    }
}

} // namespace amplex::ui
