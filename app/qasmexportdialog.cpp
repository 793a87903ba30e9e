#include "app/qasmexportdialog.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QVBoxLayout>

namespace amplex::ui {

QasmExportDialog::QasmExportDialog(std::vector<QasmExport::Step> steps, int qubitCount,
                                   int depthFilter, QWidget* parent)
    : QDialog(parent), steps_(std::move(steps)), qubitCount_(qubitCount) {
    setWindowTitle(QStringLiteral("Export OpenQASM"));
    auto* layout = new QVBoxLayout(this);
    const auto count = static_cast<qsizetype>(steps_.size());
    layout->addWidget(new QLabel(QStringLiteral("%1 step%2 up to the history position, on "
                                                "%3 qubit%4.")
                                     .arg(count)
                                     .arg(count == 1 ? "" : "s")
                                     .arg(qubitCount)
                                     .arg(qubitCount == 1 ? "" : "s")));
    auto* qasm3 = new QRadioButton(QStringLiteral("OpenQASM 3"), this);
    qasm2_ = new QRadioButton(QStringLiteral("OpenQASM 2 with qelib1.inc, for older tools"), this);
    qasm3->setChecked(true);
    layout->addWidget(qasm3);
    layout->addWidget(qasm2_);
    auto* form = new QFormLayout;
    depth_ = new QSpinBox(this);
    depth_->setRange(0, 4);
    depth_->setValue(std::min(depthFilter, 4));
    depth_->setToolTip(QStringLiteral("Composite steps down to this nesting depth are named in "
                                      "a comment before their sub-steps"));
    form->addRow(QStringLiteral("Comments down to depth:"), depth_);
    layout->addLayout(form);
    warnings_ = new QLabel(this);
    warnings_->setWordWrap(true);
    warnings_->setStyleSheet(QStringLiteral("color: #b00000"));
    layout->addWidget(warnings_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Save..."));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { save(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(qasm2_, &QRadioButton::toggled, this, [this] { showWarnings(); });
    connect(depth_, &QSpinBox::valueChanged, this, [this] { showWarnings(); });
    showWarnings();
}

QasmExport::Result QasmExportDialog::result() const {
    return QasmExport::write(steps_, qubitCount_, depth_->value(),
                             qasm2_->isChecked() ? QasmExport::Version::Qasm2
                                                 : QasmExport::Version::Qasm3);
}

void QasmExportDialog::showWarnings() {
    QStringList lines;
    for (const std::string& warning : result().warnings) {
        lines << QString::fromStdString(warning);
    }
    warnings_->setText(lines.join(QLatin1Char('\n')));
    warnings_->setVisible(!lines.isEmpty());
}

bool QasmExportDialog::saveTo(const QString& path) {
    // Written aside and renamed at the end: a failed export leaves an older file whole.
    QSaveFile file(path);
    const QByteArray program = QByteArray::fromStdString(result().program);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(program) != program.size() || !file.commit()) {
        QMessageBox::warning(this, QStringLiteral("Export OpenQASM"),
                             QStringLiteral("%1 could not be written: %2")
                                 .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

void QasmExportDialog::save() {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Export OpenQASM"), QStringLiteral("circuit.qasm"),
        QStringLiteral("OpenQASM programs (*.qasm);;All files (*)"));
    if (!path.isEmpty() && saveTo(path)) {
        accept();
    }
}

} // namespace amplex::ui
