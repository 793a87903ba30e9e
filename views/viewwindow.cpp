#include "views/viewwindow.h"

#include "views/controltable.h"

#include <QFontMetrics>
#include <QKeyEvent>

namespace amplex::ui {

ViewWindow::ViewWindow(const QString& title, QSize templateUnits, QWidget* parent, bool resizable)
    : QDialog(parent) {
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (resizable) {
        flags |= Qt::WindowMaximizeButtonHint;
    }
    setWindowFlags(flags);
    setWindowTitle(title);
    setModal(false);
    applyDialogFont(this);
    resize(dialogUnitsToPixels(QRect(QPoint(0, 0), templateUnits), QFontMetrics(font())).size());
    setSizeGripEnabled(resizable);
}

void ViewWindow::layoutControls(QSize) {}

void ViewWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layoutControls(event->size());
}

void ViewWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        enterPressed();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event); // Escape hides
}

} // namespace amplex::ui
