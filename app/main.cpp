// amplex: the simulator program. The main window runs the whole session; finishing it (Escape,
// the close box) ends the program, even while a gate's dialog is still open.

#include "app/applicationicon.h"
#include "app/mainwindow.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Amplex"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setWindowIcon(applicationIcon());

    amplex::ui::MainWindow window;
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    window.show();
    return QApplication::exec();
}
