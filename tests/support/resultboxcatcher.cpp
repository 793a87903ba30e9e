#include "tests/support/resultboxcatcher.h"

#include <QApplication>
#include <QMessageBox>

ResultBoxCatcher::ResultBoxCatcher(std::function<void()> onShown) : onShown_(std::move(onShown)) {
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
    timer_.start(10);
}

void ResultBoxCatcher::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
        return;
    }
    auto* box = qobject_cast<QMessageBox*>(modal);
    boxes.push_back({modal->windowTitle().toStdString(),
                     box ? box->text().toStdString() : std::string("(not a message box)")});
    if (onShown_) {
        onShown_();
    }
    if (box) {
        box->accept();
    } else {
        modal->close();
    }
}
