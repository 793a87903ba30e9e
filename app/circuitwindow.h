#pragma once

#include "core/segmentation.h"
#include "views/viewwindow.h"

#include <cstdint>

class QRegister;
class StepHistory;

namespace amplex::ui {

class CircuitView;

// The "Circuit" window: the history as a circuit (see CircuitLayout), one column per step the
// depth filter shows, the current one highlighted. A click on a column moves the history to
// the position after that step, as back and forward would.
class CircuitWindow : public ViewWindow {
    Q_OBJECT
public:
    // Reads the history and the register's size and segmentation (neither owned) on refresh.
    CircuitWindow(StepHistory& history, const QRegister& live, QWidget* parent = nullptr);

    // Lays the circuit out afresh; while the window is hidden, once it is shown.
    void refresh();
    CircuitView* view() const { return view_; }

protected:
    void layoutControls(QSize client) override;
    void showEvent(QShowEvent* event) override;

private:
    StepHistory& history_;
    const QRegister& live_;
    CircuitView* view_ = nullptr;
    bool stale_ = true;
    // What the shown layout was made from: while it holds, a refresh only moves the position.
    struct Source {
        int size = -1;
        std::uint64_t lastSerial = 0;
        int depthFilter = 0;
        int qubitCount = 0;
        Segmentation segmentation;
    };
    Source source_;
};

} // namespace amplex::ui
