#include "app/gateswindow.h"
#include "host/gatehost.h"

#include "core/qregister.h"

#include <QTreeWidget>

#include <gtest/gtest.h>

TEST(GatesWindow, MissingGateDirectoryGivesAnEmptyTreeAndNoDialog) {
    QRegister live;
    GateHost host(live, {"/nonexistent/amplex/gates"});
    amplex::ui::GatesWindow window(host, nullptr);
    EXPECT_EQ(window.tree()->topLevelItemCount(), 0);
    window.selectFirstGate();
    EXPECT_FALSE(host.hasDialog());
}
