#pragma once

#include "views/viewwindow.h"

class QPlainTextEdit;
class StepHistory;

namespace amplex::ui {

class ChangesWindow;

// The "History" window: the text of the last visible steps (see HistoryText), rebuilt from the
// history on every call; the window keeps nothing of its own. Below the text, two step numbers
// and "Changes" compare two steps in the Changes window; "Last step" compares the current step
// with the one before it (see StepComparison).
class HistoryWindow : public ViewWindow {
public:
    static constexpr int TextId = 1011;
    static constexpr int BeforeField = 1050;
    static constexpr int AfterField = 1051;
    static constexpr int ChangesButton = 1052;
    static constexpr int LastStepButton = 1053;

    explicit HistoryWindow(QWidget* parent = nullptr);

    // Rebuilds the text with the State window's first position, count, sort mode and amplitude
    // form. The history must outlive the window: the comparisons read it.
    void showHistory(const StepHistory& history, int firstIndex, int shownCount, int sortMode,
                     bool exactValues = false);
    // The text as shown, lines joined by "\n".
    QString text() const;
    // Compares the steps in the two fields; made on the first comparison.
    void compareSteps();
    // Puts the current step and the one before it into the fields and compares them.
    void compareLastStep();
    ChangesWindow* changesWindow() const { return changes_; }

protected:
    void layoutControls(QSize client) override;

private:
    QPlainTextEdit* text_ = nullptr;
    const StepHistory* history_ = nullptr;
    bool exactValues_ = false;
    ChangesWindow* changes_ = nullptr;
};

} // namespace amplex::ui
