#include "app/helpwindow.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace amplex::ui {

HelpWindow::HelpWindow(const std::filesystem::path& guide, QWidget* parent)
    : QDialog(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Amplex Documentation"));
    auto* layout = new QVBoxLayout(this);
    browser_ = new QTextBrowser(this);
    browser_->setOpenLinks(true);
    // Pages of the guide open here; a link off the machine goes to the system's browser.
    browser_->setOpenExternalLinks(true);
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(guide.string()));
    browser_->setSource(url);
    if (browser_->document()->isEmpty()) {
        browser_->setPlainText(
            QStringLiteral("The user guide was not found at %1.").arg(url.toLocalFile()));
    }
    layout->addWidget(browser_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    systemBrowser_ = new QPushButton(QStringLiteral("Open in the system browser"), this);
    systemBrowser_->setToolTip(QStringLiteral("Shows this page in the desktop's web browser"));
    // Without a launcher the desktop cannot open a browser; the button would do nothing.
    systemBrowser_->setVisible(
        !QStandardPaths::findExecutable(QStringLiteral("xdg-open")).isEmpty());
    connect(systemBrowser_, &QPushButton::clicked, this,
            [this] { QDesktopServices::openUrl(browser_->source()); });
    buttons->addWidget(systemBrowser_);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::hide);
    buttons->addWidget(close);
    layout->addLayout(buttons);
    resize(800, 640);
}

} // namespace amplex::ui
