#include "app/changeswindow.h"

#include "views/controltable.h"

#include <QFontDatabase>
#include <QPlainTextEdit>

namespace amplex::ui {

namespace {

constexpr ControlRow ChangesControls[] = {
    {ControlKind::TextView, ChangesWindow::TextId, "", QRect(0, 0, 300, 160),
     "The basis states whose amplitude changed most between the two steps"},
};

} // namespace

ChangesWindow::ChangesWindow(QWidget* parent)
    : ViewWindow(QStringLiteral("Changes"), QSize(300, 160), parent) {
    const ControlTable controls(this, ChangesControls);
    text_ = controls.get<QPlainTextEdit>(TextId);
    // The columns line up only in a fixed-width font.
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

void ChangesWindow::showReport(const std::string& report) {
    text_->setPlainText(QString::fromStdString(report));
    show();
    raise();
    activateWindow();
}

QString ChangesWindow::text() const {
    return text_->toPlainText();
}

void ChangesWindow::layoutControls(QSize client) {
    if (text_) {
        text_->setGeometry(0, 0, client.width(), client.height());
    }
}

} // namespace amplex::ui
