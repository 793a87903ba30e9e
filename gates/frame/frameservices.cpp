#include "gates/frame/gateplugin.h"

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

void showResult(const char* text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Result"), QString::fromLatin1(text),
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

} // namespace amplex::frame
