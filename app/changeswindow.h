#pragma once

#include "views/viewwindow.h"

class QPlainTextEdit;

namespace amplex::ui {

// The "Changes" window: the comparison of two steps that the History window asked for (see
// StepComparison::report), kept as it was made until the next one.
class ChangesWindow : public ViewWindow {
public:
    static constexpr int TextId = 1054;

    explicit ChangesWindow(QWidget* parent = nullptr);

    // Shows the report, lines ending in CR LF, and brings the window forward.
    void showReport(const std::string& report);
    // The text as shown, lines joined by "\n".
    QString text() const;

protected:
    void layoutControls(QSize client) override;

private:
    QPlainTextEdit* text_ = nullptr;
};

} // namespace amplex::ui
