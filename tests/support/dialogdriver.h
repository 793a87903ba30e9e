#pragma once

#include <QString>

class GateHost;
class QDialog;
class QWidget;

// Shows a gate's parameter dialog through the host, as the Gates window does, and works its
// controls by id as a user would. The dialog is hidden and unloaded with the driver.
class DialogDriver {
public:
    DialogDriver(GateHost& host, const char* gatePath);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The shown dialog, null when none came up.
    QDialog* dialog() const { return dialog_; }
    QWidget* control(int id) const;

    // The selected row of a bit list, -1 for none.
    int selection(int listId) const;
    // Selects a row of a bit list; -1 leaves nothing selected.
    void select(int listId, int row);
    // Clicks a row of a bit list with the mouse.
    void clickRow(int listId, int row);
    QString text(int editId) const;
    // The line under the controls that says why "Execute" ran nothing.
    QString explanation() const;
    void setText(int editId, const QString& text);
    // Clicks "Execute".
    void execute();
    // Hides and shows the dialog again, which refills its lists and fields.
    void reshow();

private:
    GateHost& host_;
    QDialog* dialog_ = nullptr;
};
