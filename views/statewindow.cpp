#include "views/statewindow.h"

#include "core/qregister.h"
#include "views/controltable.h"

#include <QCheckBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

namespace amplex::ui {

namespace {

enum Id { Text = 1016, Slider = 1027, Up = 1029, Down = 1030, Exact = 1049 };
constexpr int SortButtons[] = {1046, 1047, 1048}; // in sort mode order

constexpr ControlRow Template[] = {
    {ControlKind::Edit, Text, "", {0, 0, 353, 13}, "The amplitudes of the shown basis states"},
    {ControlKind::Slider, Slider, "", {229, 18, 99, 17}, "Scroll through the basis states"},
    {ControlKind::Button, Up, "+", {1, 23, 22, 16}, "Show more basis states"},
    {ControlKind::Button, Down, "-", {27, 23, 22, 16}, "Show fewer basis states"},
    {ControlKind::Radio,
     SortButtons[0],
     "unsorted",
     {55, 23, 45, 16},
     "In the order of the basis index"},
    {ControlKind::Radio,
     SortButtons[1],
     "sorted asc",
     {105, 23, 45, 16},
     "Smallest probability first"},
    {ControlKind::Radio,
     SortButtons[2],
     "sorted desc",
     {156, 23, 55, 16},
     "Largest probability first"},
    {ControlKind::Check,
     Exact,
     "exact values",
     {215, 23, 60, 16},
     "Amplitudes such as 1/sqrt2 or -3/4 as such, here and in the History window"},
};

} // namespace

StateWindow::StateWindow(QWidget* parent)
    : ViewWindow(QStringLiteral("State"), QSize(353, 86), parent),
      controls_(std::make_unique<ControlTable>(this, Template)) {
    auto* slider = controls_->get<QSlider>(Slider);
    slider->setRange(0, StateView::SliderMaximum);
    slider->setPageStep((StateView::SliderMaximum + 1) / 16);
    // Only a release of the mouse moves the list: dragging and the keyboard change nothing
    // until then, which keeps a 2^26-entry sorted listing from being redone at every step.
    slider->installEventFilter(this);

    connect(controls_->get<QPushButton>(Up), &QPushButton::clicked, this, &StateWindow::stepUp);
    connect(controls_->get<QPushButton>(Down), &QPushButton::clicked, this, &StateWindow::stepDown);
    for (int mode = 0; mode < 3; ++mode) {
        connect(controls_->get<QRadioButton>(SortButtons[mode]), &QRadioButton::clicked, this,
                [this, mode] { chooseSortMode(mode); });
    }
    controls_->get<QRadioButton>(SortButtons[0])->setChecked(true);
    connect(controls_->get<QCheckBox>(Exact), &QCheckBox::toggled, this,
            &StateWindow::chooseExactValues);
}

StateWindow::~StateWindow() = default;

void StateWindow::newRegister(QRegister* reg) {
    register_ = reg;
    view_.newRegister(reg ? reg->qubitCount : 0);
    showSlider();
}

void StateWindow::showListing(QRegister* reg) {
    auto* text = controls_->get<QLineEdit>(Text);
    text->setText(reg ? QString::fromLatin1(view_.listing(*reg)) : QString());
    text->setCursorPosition(0); // show the start of the line, not its end
}

void StateWindow::layoutControls(QSize client) {
    controls_->widget(Text)->setGeometry(0, 0, client.width(), 24);
    // The slider begins after the buttons of the row, which may have grown to fit their captions.
    const int left = std::max(320, controls_->widget(Exact)->geometry().right() + 8);
    controls_->widget(Slider)->setGeometry(left, 40, std::max(client.width() - left, 0), 28);
}

bool StateWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_->widget(Slider) && event->type() == QEvent::MouseButtonRelease) {
        sliderReleased();
    }
    return ViewWindow::eventFilter(watched, event);
}

void StateWindow::stepUp() {
    view_.stepUp();
    showSlider();
    settingsChanged();
}

void StateWindow::stepDown() {
    view_.stepDown();
    showSlider();
    settingsChanged();
}

void StateWindow::sliderReleased() {
    view_.setSliderPosition(controls_->get<QSlider>(Slider)->value());
    settingsChanged();
}

void StateWindow::chooseSortMode(int mode) {
    for (int m = 0; m < 3; ++m) {
        controls_->get<QRadioButton>(SortButtons[m])->setChecked(m == mode);
    }
    view_.setSortMode(mode);
    settingsChanged();
}

void StateWindow::chooseExactValues(bool exact) {
    view_.setExactValues(exact);
    settingsChanged();
}

void StateWindow::settingsChanged() {
    showListing(register_);
    emit viewSettingsChanged();
}

void StateWindow::showSlider() {
    controls_->get<QSlider>(Slider)->setValue(view_.sliderPosition());
}

} // namespace amplex::ui
