// A user at the keyboard of an installed Amplex, preloaded into the unchanged program
// (LD_PRELOAD) so that the installed tree is tested as it ships. Once the program has
// started, it opens the guide from the Help menu, picks the gate AMPLEX_DRIVE_GATE (a gate path,
// "basic\hadamardrange") in the Gates tree, clicks "Execute" in its dialog, prints the History
// window's text and ends the program: 0 when a step was recorded and the guide was found, 1
// when anything is missing after 20 seconds (what is missing is printed).

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>
#include <cstdlib>

namespace {

QWidget* window(const QString& title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->windowTitle() == title && w->isVisible()) {
            return w;
        }
    }
    return nullptr;
}

// The Execute button of the gate dialog on screen, if one is.
QPushButton* executeButton() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* button = w->findChild<QPushButton*>(QStringLiteral("1000"));
        if (w->isVisible() && button) {
            return button;
        }
    }
    return nullptr;
}

QTreeWidgetItem* entry(QTreeWidget* tree, const QString& gatePath) {
    QTreeWidgetItem* item = tree->invisibleRootItem();
    for (const QString& part : gatePath.split(QLatin1Char('\\'))) {
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; item && i < item->childCount(); ++i) {
            if (item->child(i)->text(0) == part) {
                next = item->child(i);
            }
        }
        item = next;
    }
    return item;
}

class Driver : public QObject {
public:
    explicit Driver(QString gatePath) : QObject(qApp), gatePath_(std::move(gatePath)) {
        clock_.start();
        connect(&timer_, &QTimer::timeout, this, [this] { tick(); });
        timer_.start(50);
    }

private:
    void finish(int code, const char* why) {
        std::printf("%s\n", why);
        std::fflush(stdout);
        timer_.stop();
        QCoreApplication::exit(code);
    }

    void tick() {
        if (clock_.elapsed() > 20000) {
            finish(1, missing_);
            return;
        }
        QWidget* gates = window(QStringLiteral("Gates"));
        auto* tree = gates ? gates->findChild<QTreeWidget*>() : nullptr;
        if (stage_ == 0) {
            // Start-up ends by showing the first gate's dialog; a choice made before would be
            // undone by it.
            missing_ = "the program did not show its first gate";
            if (!tree || !executeButton() || !window(QStringLiteral("Amplex"))) {
                return;
            }
            for (QAction* action : window(QStringLiteral("Amplex"))->findChildren<QAction*>()) {
                if (action->text() == QStringLiteral("Documentation")) {
                    action->trigger();
                }
            }
            auto* guide = window(QStringLiteral("Amplex Documentation"));
            auto* browser = guide ? guide->findChild<QTextBrowser*>() : nullptr;
            if (!browser || !browser->toPlainText().contains(QStringLiteral("Amplex"))) {
                finish(1, "the guide was not found");
                return;
            }
            std::printf("guide: %s\n", qPrintable(browser->source().toLocalFile()));
            missing_ = "the gate is not in the Gates tree";
            QTreeWidgetItem* item = entry(tree, gatePath_);
            if (!item) {
                return;
            }
            tree->setCurrentItem(item);
            stage_ = 1;
        } else if (stage_ == 1) {
            missing_ = "the gate showed no dialog with an Execute button";
            // Choosing the entry replaced the first gate's dialog with this one.
            if (QPushButton* execute = executeButton()) {
                stage_ = 2;
                execute->click();
            }
        } else {
            missing_ = "no step was recorded";
            QWidget* history = window(QStringLiteral("History"));
            auto* text = history ? history->findChild<QPlainTextEdit*>() : nullptr;
            if (text && !text->toPlainText().trimmed().isEmpty()) {
                std::printf("%s\n", qPrintable(text->toPlainText()));
                finish(0, "done");
            }
        }
    }

    QString gatePath_;
    QTimer timer_;
    QElapsedTimer clock_;
    int stage_ = 0;
    const char* missing_ = "the program did not start";
};

void startDriver() {
    if (const char* gate = std::getenv("AMPLEX_DRIVE_GATE")) {
        new Driver(QString::fromLocal8Bit(gate));
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(startDriver)
