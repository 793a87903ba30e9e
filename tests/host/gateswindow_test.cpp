#include "host/gatehost.h"
#include "host/gateswindow.h"

#include "core/qregister.h"
#include "core/segmentation.h"

#include <QApplication>
#include <QPointer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using amplex::ui::GatesWindow;

// The Gates window over the gate tree that the build installed.
class GatesWindowTest : public testing::Test {
protected:
    GatesWindowTest() : host(live, {AMPLEX_BUILD_DIR}) {
        live.segmentation = &segmentation;
        live.setQubitCount(4);
        live.amplitudes[0] = 1.0;
    }

    QTreeWidgetItem* item(const std::vector<QString>& path) const {
        QTreeWidgetItem* node = window.tree()->invisibleRootItem();
        for (const QString& text : path) {
            QTreeWidgetItem* parent = std::exchange(node, nullptr);
            for (int i = 0; i < parent->childCount() && !node; ++i) {
                node = parent->child(i)->text(0) == text ? parent->child(i) : nullptr;
            }
            if (!node) {
                return nullptr;
            }
        }
        return node;
    }
    // The shown gate dialog with this caption, if any.
    static QWidget* dialog(const QString& caption) {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->windowTitle() == caption) {
                return w;
            }
        }
        return nullptr;
    }
    // Entry texts with their children in brackets: "basic[cnotgate,...]".
    static QString outline(const QTreeWidgetItem* parent) {
        QStringList parts;
        for (int i = 0; i < parent->childCount(); ++i) {
            const QTreeWidgetItem* e = parent->child(i);
            parts << e->text(0) + (e->childCount() ? "[" + outline(e) + "]" : "");
            EXPECT_TRUE(e->childCount() == 0 || e->isExpanded()) << e->text(0).toStdString();
        }
        return parts.join(',');
    }

    Segmentation segmentation;
    QRegister live;
    GateHost host;
    GatesWindow window{host, std::filesystem::path(AMPLEX_BUILD_DIR) / "gates", nullptr};
};

TEST_F(GatesWindowTest, ListsTheInstalledGatesSortedAndExpanded) {
    EXPECT_EQ(window.windowTitle(), "Gates");
    EXPECT_EQ(outline(window.tree()->invisibleRootItem()),
              "basic[cnotgate,ctrlhadamard,hadamard,hadamardrange,pieighth],"
              "oracle[flagoracle,signoracle],"
              "seeker[seeker,seekerstep],"
              "shor[modules[bitmirror,ctrlrotate,fracexpand,invfourier,power],shorbegin,"
              "shordriver]");
}

TEST_F(GatesWindowTest, SelectingALeafShowsItsDialogBelowTheGatesColumn) {
    window.selectEntry(item({"shor", "modules", "invfourier"}));
    ASSERT_TRUE(host.hasDialog());
    QWidget* shown = dialog("FFT^-1");
    ASSERT_NE(shown, nullptr);
    const QRect desktop = GatesWindow::desktopRect();
    const ScreenRect expected =
        GateHost::dialogRect(desktop.x() + desktop.width(), desktop.y() + desktop.height());
    EXPECT_EQ(shown->geometry(), QRect(expected.x, expected.y, expected.width, expected.height));
}

TEST_F(GatesWindowTest, SelectingADirectoryRemovesTheDialogAndShowsNone) {
    window.selectEntry(item({"shor", "modules", "invfourier"}));
    QPointer<QWidget> shown = dialog("FFT^-1");
    ASSERT_FALSE(shown.isNull());
    window.selectEntry(item({"shor", "modules"}));
    EXPECT_FALSE(host.hasDialog());
    EXPECT_TRUE(shown.isNull());
}

TEST_F(GatesWindowTest, SelectingALeafAgainLoadsItsDialogAfresh) {
    window.selectFirstGate();
    EXPECT_EQ(window.tree()->currentItem(), item({"basic", "cnotgate"}));
    QPointer<QWidget> first = dialog("CNot");
    ASSERT_FALSE(first.isNull());
    window.selectEntry(item({"basic", "hadamard"}));
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(dialog("Hadamard"), nullptr);
    window.selectEntry(item({"basic", "cnotgate"}));
    EXPECT_EQ(dialog("Hadamard"), nullptr);
    // A reset selects the first gate even when it is selected already: its bit lists must
    // follow the new qubit count.
    first = dialog("CNot");
    ASSERT_FALSE(first.isNull());
    window.selectFirstGate();
    EXPECT_TRUE(first.isNull());
    EXPECT_NE(dialog("CNot"), nullptr);
}

TEST(GatesWindow, MissingGateDirectoryGivesAnEmptyTree) {
    QRegister live;
    GateHost host(live, {});
    GatesWindow window(host, "/nonexistent/amplex/gates", nullptr);
    EXPECT_EQ(window.tree()->topLevelItemCount(), 0);
    window.selectFirstGate(); // nothing to select, nothing to load
    EXPECT_FALSE(host.hasDialog());
}

} // namespace
