#include "gates/frame/gateplugin.h"

#include "gates/frame/gatedialog.h"

#include <QMessageBox>
#include <QString>

#include <cstdarg>
#include <cstdio>

namespace amplex::frame {

void recordStep(const char* format, ...) {
    char text[MaxStepTextLength + 1];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (procstep) {
        procstep(text);
    }
}

namespace {

void executeSelected(GateDialog& dialog, GateDialog::PairRule rule) {
    if (const auto pair = dialog.selectedPair(1001, 1002, rule)) {
        const std::int32_t block[] = {pair->first, pair->second};
        execute(argumentWord(block));
    }
}

} // namespace

void executeSelectedRange(GateDialog& dialog) {
    executeSelected(dialog, GateDialog::PairRule::Ordered);
}

void executeSelectedPair(GateDialog& dialog) {
    executeSelected(dialog, GateDialog::PairRule::Distinct);
}

void executeRangeBaseModulus(GateDialog& dialog, int maxChars) {
    const auto range = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Ordered);
    const auto x = dialog.scanInt(1003, maxChars);
    const auto n = dialog.scanInt(1004, maxChars);
    if (range && x && n) {
        const std::int32_t block[] = {range->first, range->second, *x, *n};
        execute(argumentWord(block));
    }
}

void showResult(const char* text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Result"), QString::fromLatin1(text),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace amplex::frame
