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

void executeRangeBaseModulus(GateDialog& dialog, int maxChars, RangeBaseModulusCheck check) {
    const auto range = dialog.selectedPair(1001, 1002, GateDialog::PairRule::Ordered);
    const auto x = range ? dialog.requireInt(1003, maxChars) : std::nullopt;
    const auto n = x ? dialog.requireInt(1004, maxChars) : std::nullopt;
    if (range && x && n && check) {
        const std::string why =
            check(dialog.qubitCount(), range->first, range->second,
                  *dialog.scanWide(1003, maxChars), *dialog.scanWide(1004, maxChars));
        if (!why.empty()) {
            dialog.refuse(QString::fromStdString(why));
            return;
        }
    }
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
