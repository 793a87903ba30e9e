#pragma once

#include "app/qasmexport.h"

#include <QDialog>

class QLabel;
class QRadioButton;
class QSpinBox;

namespace amplex::ui {

// "File" > "Export OpenQASM...": the choice of OpenQASM 3 or 2 and of the depth down to which
// composite steps are named in comments, what the file would lose, and Save.
class QasmExportDialog : public QDialog {
public:
    // steps: the history up to its position (see QasmExport::stepsUpToPosition).
    QasmExportDialog(std::vector<QasmExport::Step> steps, int qubitCount, int depthFilter,
                     QWidget* parent = nullptr);

    // The program as the current choices write it.
    QasmExport::Result result() const;
    // Writes it to path; false (with the reason shown) when the file cannot be written.
    bool saveTo(const QString& path);

private:
    void showWarnings();
    void save();

    std::vector<QasmExport::Step> steps_;
    int qubitCount_;
    QRadioButton* qasm2_ = nullptr;
    QSpinBox* depth_ = nullptr;
    QLabel* warnings_ = nullptr;
};

} // namespace amplex::ui
