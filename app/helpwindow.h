#pragma once

#include <QDialog>

#include <filesystem>

class QPushButton;
class QTextBrowser;

namespace amplex::ui {

// The user guide in a window of the program: doc/index.html in a text browser whose links
// are followed inside it, and a button that hands the page to the system's browser where
// the desktop has a way to open one.
class HelpWindow : public QDialog {
public:
    HelpWindow(const std::filesystem::path& guide, QWidget* parent);

    QTextBrowser* browser() const { return browser_; }
    QPushButton* systemBrowserButton() const { return systemBrowser_; }

private:
    QTextBrowser* browser_ = nullptr;
    QPushButton* systemBrowser_ = nullptr;
};

} // namespace amplex::ui
