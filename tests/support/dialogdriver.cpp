#include "tests/support/dialogdriver.h"

#include "host/gatehost.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

DialogDriver::DialogDriver(GateHost& host, const char* gatePath) : host_(host) {
    // The plug-in's dialog is the top-level dialog that the host's showing makes visible; a
    // dialog of another host may be open beside it.
    const auto visibleDialogs = [] {
        QList<QDialog*> dialogs;
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* d = qobject_cast<QDialog*>(widget); d && d->isVisible()) {
                dialogs.append(d);
            }
        }
        return dialogs;
    };
    const auto before = visibleDialogs();
    if (!host_.showGateDialog(gatePath, 1920, 1080)) {
        return;
    }
    for (QDialog* d : visibleDialogs()) {
        if (!before.contains(d)) {
            dialog_ = d;
        }
    }
}

DialogDriver::~DialogDriver() {
    host_.hideGateDialog();
}

QWidget* DialogDriver::control(int id) const {
    return dialog_ ? dialog_->findChild<QWidget*>(QString::number(id)) : nullptr;
}

int DialogDriver::selection(int listId) const {
    auto* list = qobject_cast<QListWidget*>(control(listId));
    if (!list || list->selectedItems().isEmpty()) {
        return -1;
    }
    return list->row(list->selectedItems().front());
}

void DialogDriver::select(int listId, int row) {
    if (auto* list = qobject_cast<QListWidget*>(control(listId))) {
        list->clearSelection();
        if (row >= 0) {
            list->setCurrentRow(row);
        }
    }
}

void DialogDriver::clickRow(int listId, int row) {
    if (auto* list = qobject_cast<QListWidget*>(control(listId))) {
        const QRect rect = list->visualItemRect(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }
}

QString DialogDriver::explanation() const {
    auto* line = qobject_cast<QLabel*>(control(999));
    return line ? line->text() : QString();
}

QString DialogDriver::text(int editId) const {
    auto* edit = qobject_cast<QLineEdit*>(control(editId));
    return edit ? edit->text() : QString();
}

void DialogDriver::setText(int editId, const QString& text) {
    if (auto* edit = qobject_cast<QLineEdit*>(control(editId))) {
        edit->setText(text);
    }
}

void DialogDriver::execute() {
    if (auto* button = qobject_cast<QPushButton*>(control(1000))) {
        button->click();
    }
}

void DialogDriver::reshow() {
    if (dialog_) {
        dialog_->hide();
        dialog_->show();
    }
}
