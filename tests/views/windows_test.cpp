#include "views/probabilitieswindow.h"
#include "views/segmentationdialog.h"
#include "views/statewindow.h"

#include "core/qregister.h"
#include "core/segmentation.h"

#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

using namespace amplex::ui;

template <typename T = QAbstractButton> static T* child(QWidget& window, int id) {
    T* widget = window.findChild<T*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

// On the indicator: a radio button takes no clicks on the rest of its rectangle.
static void click(QWidget& window, int id) {
    QAbstractButton* button = child(window, id);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(4, button->height() / 2));
}

static void typeAndLeave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

class Views : public testing::Test {
protected:
    Views() { reset(3); }
    void reset(int n) {
        reg.segmentation = &seg;
        reg.setQubitCount(n);
        reg.amplitudes[0] = 1.0;
        seg.reset();
    }
    QRegister reg;
    Segmentation seg;
};

TEST_F(Views, StateWindowRedrawsOnEveryButtonAndReadsTheSliderOnRelease) {
    StateWindow window;
    QSignalSpy changed(&window, &StateWindow::viewSettingsChanged);
    window.newRegister(&reg);
    click(window, 1030); // "-" at 0 stays, but still redraws
    for (int i = 0; i < 9; ++i) {
        click(window, 1029);
    }
    EXPECT_EQ(child<QLineEdit>(window, 1016)->text(), "+0 |7>     ");
    EXPECT_EQ(changed.count(), 10);
    click(window, 1048);
    click(window, 1047); // each sort button unchecks the others
    EXPECT_FALSE(child(window, 1048)->isChecked());
    reset(5);
    window.newRegister(&reg); // keeps the sort mode
    EXPECT_EQ(window.sortMode(), 1);
    auto* slider = child<QSlider>(window, 1027);
    slider->setValue(StateView::SliderMaximum); // as the keyboard would: nothing until release
    EXPECT_EQ(window.firstIndex(), 0);
    QTest::mouseRelease(slider, Qt::LeftButton);
    EXPECT_EQ(window.firstIndex(), 31);
}

TEST_F(Views, SegmentationDialogWritesAtOnceAndRestoresRefusedEdits) {
    reset(4);
    SegmentationDialog dialog(reg);
    auto* from = child<QLineEdit>(dialog, 1040);
    auto* to = child<QLineEdit>(dialog, 1041);
    EXPECT_EQ(from->text() + " " + to->text(), "0 3");
    EXPECT_TRUE(from->isReadOnly() && to->isReadOnly());
    click(dialog, 1038); // Add: the new segment is empty until "To:" of segment 0 is lowered
    EXPECT_EQ(std::string(reg.basisLabel(13)), "|13>");
    typeAndLeave(to, "1");
    EXPECT_EQ(std::string(reg.basisLabel(13)), "|3>|1>");
    typeAndLeave(to, "4");
    EXPECT_EQ(to->text(), "1");
    child<QListWidget>(dialog, 1033)->setCurrentRow(1);
    EXPECT_EQ(from->text(), "2");
    click(dialog, 1037); // binary, for segment 1: "decimal" is unchecked at once
    EXPECT_FALSE(child(dialog, 1036)->isChecked());
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape); // only hides; the change stands
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(std::string(reg.basisLabel(13)), "|11>|1>");

    for (int i = 0; i < 29; ++i) {
        click(dialog, 1038);
    }
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen << box->windowTitle() << box->text();
            box->accept();
        }
    });
    click(dialog, 1038);
    EXPECT_EQ(seen, (QStringList{"Amplex", "Maximum number of segments reached."}));
    EXPECT_EQ(seg.segmentCount, 31);
    for (int i = 0; i < 31; ++i) {
        click(dialog, 1039);
    }
    EXPECT_EQ(child<QListWidget>(dialog, 1033)->count(), 0);
    EXPECT_FALSE(child(dialog, 1036)->isEnabled());
}

TEST_F(Views, ProbabilitiesSegmentNumberIsClampedAndShown) {
    ProbabilitiesWindow window;
    auto* number = child<QLineEdit>(window, 1044);
    window.resetView(&reg);
    seg.segmentEnd[0] = 0;
    for (const auto& [count, typed, shown] : {std::tuple{2, "-5", 0}, {2, "7", 1}, {0, "1", -1}}) {
        seg.segmentCount = count;
        typeAndLeave(number, typed);
        EXPECT_EQ(window.shownSegment(), shown) << typed;
        EXPECT_EQ(number->text(), QString::number(shown));
        EXPECT_EQ(child(window, 1042)->isChecked(), shown == -1); // "Show all"
    }
}
