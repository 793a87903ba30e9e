#include "app/gateswindow.h"

#include "host/gatehost.h"
#include "views/controltable.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QTreeWidget>

#include <vector>

namespace amplex::ui {

namespace {

constexpr ControlRow GatesControls[] = {
    {ControlKind::Tree, GatesWindow::TreeId, "", QRect(7, 7, 100, 136),
     "The gates found in the gate folders: a click shows a gate's dialog"},
};

void addEntries(const std::vector<GateTree::Entry>& entries, QTreeWidget* tree,
                QTreeWidgetItem* parent) {
    for (const GateTree::Entry& entry : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
        item->setText(0, QString::fromStdString(entry.text));
        addEntries(entry.children, tree, item);
    }
}

} // namespace

GatesWindow::GatesWindow(GateHost& host, QWidget* parent)
    : ViewWindow(QStringLiteral("Gates"), QSize(114, 150), parent), host_(host) {
    const ControlTable controls(this, GatesControls);
    tree_ = controls.get<QTreeWidget>(TreeId);
    // The scan sorts the siblings already; the widget's own sorting could order them
    // differently from the first gate that a reset selects.
    tree_->setSortingEnabled(false);
    tree_->setRootIsDecorated(true);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &GatesWindow::showSelectedGate);
    // A click on the selected entry changes no selection; it brings its dialog back.
    tree_->viewport()->installEventFilter(this);
    connect(tree_, &QTreeWidget::itemClicked, this, [this] {
        if (pressedSelected_) {
            reopenDialog();
        }
    });
    // Filled at once: the tree exists already, and a reset at start-up selects its first gate.
    fillGateTree();
}

void GatesWindow::fillGateTree() {
    const QSignalBlocker blocker(tree_);
    tree_->clear();
    addEntries(GateTree::scan(host_.gateFolders()), tree_, nullptr);
    tree_->expandAll();
}

void GatesWindow::selectFirstGate() {
    QTreeWidgetItem* top = tree_->topLevelItem(0);
    if (!top) {
        return;
    }
    selectEntry(top);
    if (QTreeWidgetItem* child = top->child(0)) {
        selectEntry(child);
    }
}

void GatesWindow::selectEntry(QTreeWidgetItem* item) {
    if (!item) {
        return;
    }
    if (tree_->currentItem() == item && item->isSelected()) {
        showSelectedGate();
    } else {
        tree_->setCurrentItem(item); // the selection change shows the gate
    }
}

void GatesWindow::reopenDialog() {
    showSelectedGate();
}

bool GatesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const QTreeWidgetItem* item =
            tree_->itemAt(static_cast<QMouseEvent*>(event)->position().toPoint());
        pressedSelected_ = item && item->isSelected();
    }
    return ViewWindow::eventFilter(watched, event);
}

std::string GatesWindow::gatePath(const QTreeWidgetItem* item) {
    std::vector<std::string> chain;
    for (; item; item = item->parent()) {
        chain.insert(chain.begin(), item->text(0).toStdString());
    }
    return GateTree::gatePath(chain);
}

QRect GatesWindow::desktopRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

void GatesWindow::layoutControls(QSize client) {
    if (tree_) {
        tree_->setGeometry(0, 0, client.width(), client.height());
    }
}

void GatesWindow::showSelectedGate() {
    const QList<QTreeWidgetItem*> selected = tree_->selectedItems();
    host_.hideGateDialog();
    if (!selected.isEmpty()) {
        const QRect desktop = desktopRect();
        host_.showGateDialog(gatePath(selected.front()), desktop.x() + desktop.width(),
                             desktop.y() + desktop.height());
    }
    // The gate dialog took the focus when it was shown; the tree keeps it for the arrow keys.
    activateWindow();
    tree_->setFocus();
}

} // namespace amplex::ui
