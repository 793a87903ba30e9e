#pragma once

#include "host/gatetree.h"
#include "views/viewwindow.h"

#include <QRect>

#include <filesystem>
#include <string>

class GateHost;
class QTreeWidget;
class QTreeWidgetItem;

namespace amplex::ui {

// The Gates window: the installed gates as a fully expanded tree. Selecting an entry destroys
// the shown gate dialog and loads the selected gate's dialog below this window (a directory
// entry shows none), then gives the keyboard focus back here.
class GatesWindow : public ViewWindow {
public:
    static constexpr int TreeId = 1000;

    // Lists the host's gate folders, the ones it loads from, read once now (gates installed
    // later appear at the next start). The host must outlive the window.
    GatesWindow(GateHost& host, QWidget* parent);

    // Lists the gate folders anew; the selection is lost.
    void fillGateTree();
    // Selects the first top-level entry, then its first child, each with the selection's
    // effect, so the first gate's dialog is shown afresh (also when it was selected already).
    void selectFirstGate();
    // Selects an entry as the user would; an entry that is selected already is loaded again.
    void selectEntry(QTreeWidgetItem* item);
    // Shows the selected gate's dialog afresh, as a click on the selected entry does (after
    // Enter or Escape closed it).
    void reopenDialog();

    QTreeWidget* tree() const { return tree_; }
    // The gate path of an entry: its texts from the top level down, joined by "\".
    static std::string gatePath(const QTreeWidgetItem* item);
    // The primary screen's rectangle, on which every window and gate dialog is placed.
    static QRect desktopRect();

protected:
    void layoutControls(QSize client) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelectedGate();

    GateHost& host_;
    QTreeWidget* tree_ = nullptr;
    // The entry under the mouse was selected already when the button went down.
    bool pressedSelected_ = false;
};

} // namespace amplex::ui
