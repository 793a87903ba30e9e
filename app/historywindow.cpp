#include "app/historywindow.h"

#include "app/historytext.h"
#include "views/controltable.h"

#include <QPlainTextEdit>

namespace amplex::ui {

namespace {

constexpr ControlRow HistoryControls[] = {
    {ControlKind::TextView, HistoryWindow::TextId, "", QRect(7, 7, 172, 80),
     "Every recorded step with the state after it"},
};

} // namespace

HistoryWindow::HistoryWindow(QWidget* parent)
    : ViewWindow(QStringLiteral("History"), QSize(186, 94), parent) {
    const ControlTable controls(this, HistoryControls);
    text_ = controls.get<QPlainTextEdit>(TextId);
}

void HistoryWindow::showHistory(const StepHistory& history, int firstIndex, int shownCount,
                                int sortMode, bool exactValues) {
    // CR LF makes one line break in the text field.
    text_->setPlainText(QString::fromStdString(
        HistoryText::build(history, firstIndex, shownCount, sortMode, exactValues)));
}

QString HistoryWindow::text() const {
    return text_->toPlainText();
}

void HistoryWindow::layoutControls(QSize client) {
    if (text_) {
        text_->setGeometry(0, 0, client.width(), client.height());
    }
}

} // namespace amplex::ui
