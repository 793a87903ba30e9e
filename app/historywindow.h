#pragma once

#include "views/viewwindow.h"

class QPlainTextEdit;
class StepHistory;

namespace amplex::ui {

// The "History" window: the text of the last visible steps (see HistoryText), rebuilt from the
// history on every call; the window keeps nothing of its own.
class HistoryWindow : public ViewWindow {
public:
    static constexpr int TextId = 1011;

    explicit HistoryWindow(QWidget* parent = nullptr);

    // Rebuilds the text with the State window's first position, count, sort mode and amplitude
    // form.
    void showHistory(const StepHistory& history, int firstIndex, int shownCount, int sortMode,
                     bool exactValues = false);
    // The text as shown, lines joined by "\n".
    QString text() const;

protected:
    void layoutControls(QSize client) override;

private:
    QPlainTextEdit* text_ = nullptr;
};

} // namespace amplex::ui
