#pragma once

#include "app/circuitlayout.h"

#include <QAbstractScrollArea>

#include <functional>

namespace amplex::ui {

// Paints a CircuitLayout: the wire labels fixed at the left, the columns scrolled past them,
// only those in view drawn. A click on a column asks for the position after its step; a click
// on the labels for position 0.
class CircuitView : public QAbstractScrollArea {
public:
    explicit CircuitView(QWidget* parent = nullptr);

    // Shows a new layout and scrolls the current column into view.
    void setLayout(CircuitLayout layout);
    // The same steps, another history position.
    void setPosition(int position);
    const CircuitLayout& circuitLayout() const { return layout_; }
    void setPositionPicked(std::function<void(int)> picked) { picked_ = std::move(picked); }
    // Width of the fixed wire labels.
    int labelWidth() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void updateScrollBars();
    void showCurrentColumn();
    // The column under a point of the viewport, or -1.
    int columnAtPoint(QPoint point) const;

    CircuitLayout layout_;
    std::function<void(int)> picked_;
};

} // namespace amplex::ui
