#include "views/probabilitieswindow.h"
#include "views/probabilitychart.h"
#include "views/registergraph.h"
#include "views/registergraphwindow.h"
#include "views/segmentationdialog.h"
#include "views/statewindow.h"

#include "core/qregister.h"
#include "core/segmentation.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using namespace amplex::ui;

namespace {

template <typename T> T* child(QWidget& window, int id) {
    T* widget = window.findChild<T*>(QString::number(id));
    EXPECT_NE(widget, nullptr) << id;
    return widget;
}

// Clicks a radio button on its indicator: the button takes clicks on its indicator and text
// only, not on the rest of its rectangle.
void clickRadio(QRadioButton* radio) {
    QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(4, radio->height() / 2));
}

// Types text into an edit field and takes the focus away from it.
void typeAndLeave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(edit, &out);
}

class Views : public testing::Test {
protected:
    void SetUp() override {
        reg.segmentation = &seg;
        reset(3);
    }
    void reset(int n) {
        reg.setQubitCount(n);
        reg.amplitudes[0] = 1.0;
        seg.reset();
    }
    QRegister reg;
    Segmentation seg;
};

} // namespace

TEST_F(Views, StateWindowButtonsMoveTheListAndAnnounceIt) {
    StateWindow window;
    EXPECT_EQ(window.windowTitle(), "State");
    QSignalSpy changed(&window, &StateWindow::viewSettingsChanged);
    window.newRegister(&reg);
    window.showListing(&reg);
    auto* text = child<QLineEdit>(window, 1016);
    EXPECT_TRUE(text->text().startsWith("+1 |0>     +0 |1>"));
    EXPECT_EQ(window.shownCount(), 8);

    QTest::mouseClick(child<QPushButton>(window, 1030), Qt::LeftButton); // "-" at 0
    EXPECT_EQ(window.firstIndex(), 0);
    EXPECT_EQ(changed.count(), 1);
    for (int i = 0; i < 9; ++i) {
        QTest::mouseClick(child<QPushButton>(window, 1029), Qt::LeftButton);
    }
    EXPECT_EQ(window.firstIndex(), 7);
    EXPECT_EQ(text->text(), "+0 |7>     ");
    EXPECT_EQ(child<QSlider>(window, 1027)->value(), 7 << 12);
    EXPECT_EQ(changed.count(), 10);

    window.resize(700, 120);
    window.show();
    EXPECT_EQ(text->geometry(), QRect(0, 0, 700, 24));
    EXPECT_EQ(child<QSlider>(window, 1027)->geometry(), QRect(320, 40, 380, 28));
}

TEST_F(Views, StateWindowReadsTheSliderOnlyOnRelease) {
    reset(4);
    StateWindow window;
    window.newRegister(&reg);
    QSignalSpy changed(&window, &StateWindow::viewSettingsChanged);
    auto* slider = child<QSlider>(window, 1027);
    slider->setValue(StateView::SliderMaximum); // as the keyboard would
    EXPECT_EQ(window.firstIndex(), 0);
    QTest::mouseRelease(slider, Qt::LeftButton);
    EXPECT_EQ(window.firstIndex(), 15);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(child<QLineEdit>(window, 1016)->text(), "+0 |15>     ");
}

TEST_F(Views, StateWindowSortButtonsExcludeEachOtherAndSurviveANewRegister) {
    StateWindow window;
    window.newRegister(&reg);
    auto* asc = child<QRadioButton>(window, 1047);
    auto* desc = child<QRadioButton>(window, 1048);
    auto* unsorted = child<QRadioButton>(window, 1046);
    EXPECT_TRUE(unsorted->isChecked());
    clickRadio(desc);
    clickRadio(desc); // a second click keeps it
    EXPECT_TRUE(desc->isChecked());
    EXPECT_FALSE(unsorted->isChecked());
    EXPECT_EQ(window.sortMode(), 2);
    clickRadio(asc);
    EXPECT_FALSE(desc->isChecked());
    EXPECT_EQ(window.sortMode(), 1);
    QTest::mouseClick(child<QPushButton>(window, 1029), Qt::LeftButton);
    reset(5);
    window.newRegister(&reg);
    EXPECT_EQ(window.sortMode(), 1);
    EXPECT_EQ(window.firstIndex(), 0);
    EXPECT_EQ(window.shownCount(), 30);
}

TEST_F(Views, SegmentationFieldsApplyOnFocusLossAndRestoreWhenRefused) {
    reset(4);
    SegmentationDialog dialog(reg);
    EXPECT_EQ(dialog.windowTitle(), "Segmentation");
    auto* from = child<QLineEdit>(dialog, 1040);
    auto* to = child<QLineEdit>(dialog, 1041);
    EXPECT_TRUE(from->isReadOnly());
    EXPECT_TRUE(to->isReadOnly());
    QTest::mouseClick(child<QPushButton>(dialog, 1038), Qt::LeftButton); // Add
    typeAndLeave(to, "1");
    EXPECT_EQ(std::string(reg.basisLabel(13)), "|3>|1>");
    typeAndLeave(to, "2x");
    EXPECT_EQ(to->text(), "1");
    child<QListWidget>(dialog, 1033)->setCurrentRow(1);
    EXPECT_EQ(from->text(), "2");
    typeAndLeave(from, "0");
    EXPECT_EQ(from->text(), "2");
    EXPECT_EQ(seg.segmentEnd[0], 1);
}

TEST_F(Views, SegmentationRadiosWriteAtOnceAndUncheckTheirPartner) {
    SegmentationDialog dialog(reg);
    auto* binary = child<QRadioButton>(dialog, 1037);
    auto* decimal = child<QRadioButton>(dialog, 1036);
    EXPECT_TRUE(decimal->isChecked());
    clickRadio(binary);
    EXPECT_FALSE(decimal->isChecked());
    EXPECT_EQ(seg.options[0].decimal, 0);
    clickRadio(child<QRadioButton>(dialog, 1042));
    clickRadio(child<QRadioButton>(dialog, 1032));
    EXPECT_FALSE(child<QRadioButton>(dialog, 1031)->isChecked());
    EXPECT_EQ(std::string(reg.basisLabel(5)), "|101>");
    // Escape only hides; the change stands.
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(seg.options[0].zeroFill, 1);
}

TEST_F(Views, SegmentationAddStopsWithAMessageAndRemoveTakesTheLast) {
    SegmentationDialog dialog(reg);
    auto* add = child<QPushButton>(dialog, 1038);
    auto* remove = child<QPushButton>(dialog, 1039);
    for (int i = 0; i < 30; ++i) {
        QTest::mouseClick(add, Qt::LeftButton);
    }
    EXPECT_EQ(seg.segmentCount, 31);
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            seen << box->windowTitle() << box->text();
            box->accept();
        }
    });
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList{"Amplex", "Maximum number of segments reached."}));
    EXPECT_EQ(seg.segmentCount, 31);

    auto* list = child<QListWidget>(dialog, 1033);
    for (int i = 0; i < 32; ++i) {
        QTest::mouseClick(remove, Qt::LeftButton);
    }
    EXPECT_EQ(seg.segmentCount, 0);
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(child<QRadioButton>(dialog, 1036)->isEnabled());
    QTest::mouseClick(add, Qt::LeftButton);
    EXPECT_EQ(seg.segmentCount, 1);
}

TEST_F(Views, SegmentationOkAnnouncesBeforeHiding) {
    SegmentationDialog dialog(reg);
    dialog.show();
    bool visibleWhenAnnounced = false;
    QObject::connect(&dialog, &SegmentationDialog::okClicked,
                     [&] { visibleWhenAnnounced = dialog.isVisible(); });
    QSignalSpy ok(&dialog, &SegmentationDialog::okClicked);
    QTest::keyClick(&dialog, Qt::Key_Return);
    EXPECT_EQ(ok.count(), 1);
    EXPECT_TRUE(visibleWhenAnnounced);
    EXPECT_FALSE(dialog.isVisible());
    // The dialog re-reads the record when shown: a reset meanwhile is what it shows.
    seg.segmentCount = 3;
    dialog.show();
    EXPECT_EQ(child<QListWidget>(dialog, 1033)->count(), 3);
    QTest::mouseClick(child<QPushButton>(dialog, 1), Qt::LeftButton);
    EXPECT_EQ(ok.count(), 2);
}

TEST_F(Views, ProbabilitiesSegmentNumberIsClampedAndShown) {
    ProbabilitiesWindow window;
    EXPECT_EQ(window.windowTitle(), "Probabilities");
    auto* number = child<QLineEdit>(window, 1044);
    auto* set = child<QPushButton>(window, 1045);
    auto* all = child<QRadioButton>(window, 1042);
    auto* one = child<QRadioButton>(window, 1043);
    window.resetView(&reg);
    window.draw(&reg);
    seg.segmentCount = 2;
    seg.segmentEnd[0] = 0;
    number->setText("-5");
    QTest::mouseClick(set, Qt::LeftButton);
    EXPECT_EQ(window.shownSegment(), 0);
    EXPECT_EQ(number->text(), "0");
    EXPECT_TRUE(one->isChecked());
    EXPECT_FALSE(all->isChecked());
    typeAndLeave(number, "7");
    EXPECT_EQ(window.shownSegment(), 1);
    EXPECT_EQ(number->text(), "1");

    seg.segmentCount = 0;
    clickRadio(one);
    EXPECT_EQ(window.shownSegment(), -1);
    EXPECT_EQ(number->text(), "-1");
    EXPECT_TRUE(all->isChecked());
}

TEST_F(Views, ChartWindowsFillTheirAreaWithThePicture) {
    reset(2);
    ProbabilitiesWindow chart;
    chart.resize(300, 150);
    chart.show();
    chart.resetView(&reg);
    chart.draw(&reg);
    const QImage bars = chart.picture();
    EXPECT_EQ(bars.size(), QSize(300, 128));
    QImage expected(bars.size(), QImage::Format_RGB32);
    ProbabilityChart().render(&reg, -1, expected);
    EXPECT_EQ(bars, expected);

    RegisterGraphWindow graph;
    EXPECT_EQ(graph.windowTitle(), "Registergraph");
    graph.resize(240, 90);
    graph.show();
    graph.draw(&reg);
    const QImage pointers = graph.picture();
    EXPECT_EQ(pointers.size(), QSize(240, 90));
    RegisterGraph().render(&reg, expected = QImage(pointers.size(), QImage::Format_RGB32));
    EXPECT_EQ(pointers, expected);
}
