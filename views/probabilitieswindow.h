#pragma once

#include "views/probabilitychart.h"
#include "views/viewwindow.h"

#include <memory>

class ProbabilityWalk;
class QRegister;

namespace amplex::ui {

class ControlTable;
class PictureArea;

// The "Probabilities" window: a bar chart of the measurement probabilities, one bar per basis
// state ("Show all") or one bar per value of a chosen segment ("Show this segment:").
class ProbabilitiesWindow : public ViewWindow {
    Q_OBJECT
public:
    explicit ProbabilitiesWindow(QWidget* parent = nullptr);
    ~ProbabilitiesWindow() override;

    // Back to "Show all" with the edit field at "0"; remembers reg (not owned). Does not draw:
    // the caller draws next.
    void resetView(QRegister* reg);
    // Remembers reg (not owned; null shows an empty frame) and redraws the chart: when the
    // window is next painted, or with a walk, now if the window is shown, handing the walk the
    // probabilities that the chart reads (see ProbabilityChart::render). Returns whether the
    // walk got them all.
    bool draw(QRegister* reg, ProbabilityWalk* walk = nullptr);
    // -1: one bar per basis state; otherwise the segment whose values are charted.
    int shownSegment() const { return shownSegment_; }

    // The chart as it is shown, rendered at the drawing area's current size.
    QImage picture();

protected:
    void layoutControls(QSize client) override;
    void enterPressed() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showChoice();
    void showAll();
    void showThisSegment();
    void applySegmentNumber();
    void render(QImage& image);

    ProbabilityChart chart_;
    ProbabilityWalk* walk_ = nullptr; // during a draw with a walk
    bool walked_ = false;
    QRegister* register_ = nullptr;
    int shownSegment_ = -1;
    std::unique_ptr<ControlTable> controls_;
    PictureArea* area_ = nullptr;
};

} // namespace amplex::ui
