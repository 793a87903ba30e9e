#pragma once

#include <QString>

class GateHost;
class QDialog;
class QWidget;

// Shows a gate's parameter dialog through the host, as the Gates window does, and works its
// controls by id as a user would. The dialog is destroyed with the driver.
class DialogDriver {
public:
    DialogDriver(GateHost& host, const char* gatePath);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // The shown dialog, null when none came up.
    QDialog* dialog() const { return dialog_; }

    int rowCount(int listId) const;
    int selection(int listId) const;
    // Selects a row of a bit list; -1 leaves nothing selected.
    void select(int listId, int row);
    QString text(int editId) const;
    void setText(int editId, const QString& text);
    // Clicks "Execute".
    void execute();

private:
    QWidget* control(int id) const;

    GateHost& host_;
    QDialog* dialog_ = nullptr;
};
