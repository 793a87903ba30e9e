// amplex: the simulator program. The main window runs the whole session; finishing it (Escape,
// the close box, each after a confirmation when steps would be lost) ends the program, even
// while a gate's dialog is still open. With --run (or --help) it runs a circuit from a file
// without any window instead (CommandLine).

#include "app/applicationicon.h"
#include "app/commandline.h"
#include "app/mainwindow.h"

#include <QApplication>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

bool set(const char* variable) {
    const char* value = std::getenv(variable);
    return value && *value;
}

} // namespace

int main(int argc, char** argv) {
    // Before anything of Qt: a run from the command line needs no display.
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (CommandLine::wanted(args)) {
        return CommandLine::parse(args).run(stdout, stderr);
    }
    // Without a display Qt would end with advice about reinstalling; say what is really missing.
    if (!set("QT_QPA_PLATFORM") && !set("DISPLAY") && !set("WAYLAND_DISPLAY")) {
        std::fputs("amplex: no display: Amplex needs a desktop session (or "
                   "QT_QPA_PLATFORM=offscreen for a headless run).\n",
                   stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // Qt adopts the user's locale for the C library too; step texts and listings are printf
    // formatted and must read "0.5" everywhere, as the command line (which starts no Qt) does.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("Amplex"));
    QApplication::setApplicationVersion(QStringLiteral("2.0"));
    QApplication::setWindowIcon(applicationIcon());

    amplex::ui::MainWindow window;
    QObject::connect(&window, &QDialog::finished, &app, &QApplication::quit);
    window.show();
    return QApplication::exec();
}
