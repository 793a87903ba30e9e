#include "app/historywindow.h"

#include "app/changeswindow.h"
#include "app/historytext.h"
#include "app/stepcomparison.h"
#include "app/stephistory.h"
#include "views/controltable.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSizeGrip>

#include <algorithm>

namespace amplex::ui {

namespace {

// The comparison row fits beside the size grip of the narrowest History window the layout
// gives (about 280 pixels).
constexpr ControlRow HistoryControls[] = {
    {ControlKind::TextView, HistoryWindow::TextId, "", QRect(7, 7, 172, 80),
     "Every recorded step with the state after it"},
    {ControlKind::Label, 0, "Compare", QRect(2, 82, 28, 10)},
    {ControlKind::EditRight, HistoryWindow::BeforeField, "", QRect(30, 81, 22, 12),
     "The step before: 0 is the reset state"},
    {ControlKind::Label, 0, "with", QRect(55, 82, 15, 10)},
    {ControlKind::EditRight, HistoryWindow::AfterField, "", QRect(71, 81, 22, 12),
     "The step after"},
    {ControlKind::Button, HistoryWindow::ChangesButton, "Changes", QRect(96, 81, 34, 12),
     "Which basis states changed between the two steps, and how much"},
    {ControlKind::Button, HistoryWindow::LastStepButton, "Last step", QRect(133, 81, 34, 12),
     "What the current step changed against the step before it"},
};

// Pixels kept below the text for the row of comparison controls.
int rowHeight(const QWidget* window) {
    return window->fontMetrics().height() * 2;
}

int stepNumber(const QLineEdit* field) {
    bool ok = false;
    const int n = field->text().trimmed().toInt(&ok);
    return ok ? n : -1;
}

} // namespace

HistoryWindow::HistoryWindow(QWidget* parent)
    : ViewWindow(QStringLiteral("History"), QSize(186, 94), parent) {
    const ControlTable controls(this, HistoryControls);
    text_ = controls.get<QPlainTextEdit>(TextId);
    connect(controls.get<QPushButton>(ChangesButton), &QPushButton::clicked, this,
            &HistoryWindow::compareSteps);
    connect(controls.get<QPushButton>(LastStepButton), &QPushButton::clicked, this,
            &HistoryWindow::compareLastStep);
}

void HistoryWindow::showHistory(const StepHistory& history, int firstIndex, int shownCount,
                                int sortMode, bool exactValues) {
    history_ = &history;
    exactValues_ = exactValues;
    // CR LF makes one line break in the text field.
    text_->setPlainText(QString::fromStdString(
        HistoryText::build(history, firstIndex, shownCount, sortMode, exactValues)));
}

QString HistoryWindow::text() const {
    return text_->toPlainText();
}

void HistoryWindow::compareSteps() {
    if (!history_) {
        return;
    }
    if (!changes_) {
        changes_ = new ChangesWindow(parentWidget());
    }
    const auto* before = findChild<QLineEdit*>(QString::number(BeforeField));
    const auto* after = findChild<QLineEdit*>(QString::number(AfterField));
    changes_->showReport(
        StepComparison::report(*history_, stepNumber(before), stepNumber(after), exactValues_));
}

void HistoryWindow::compareLastStep() {
    if (!history_) {
        return;
    }
    const int step = history_->historyPosition();
    findChild<QLineEdit*>(QString::number(BeforeField))
        ->setText(QString::number(history_->positionBefore(step)));
    findChild<QLineEdit*>(QString::number(AfterField))->setText(QString::number(step));
    compareSteps();
}

void HistoryWindow::layoutControls(QSize client) {
    if (!text_) {
        return;
    }
    const int row = rowHeight(this);
    const int top = std::max(client.height() - row, 0);
    text_->setGeometry(0, 0, client.width(), top);
    // The row keeps its columns and follows the bottom edge.
    for (QWidget* w : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (w != text_ && !qobject_cast<QSizeGrip*>(w)) {
            w->move(w->x(), top + (row - w->height()) / 2);
        }
    }
}

} // namespace amplex::ui
