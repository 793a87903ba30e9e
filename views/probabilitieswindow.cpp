#include "views/probabilitieswindow.h"

#include "core/qregister.h"
#include "core/segmentation.h"
#include "views/controltable.h"
#include "views/picturearea.h"
#include "views/wholenumber.h"

#include <QEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace amplex::ui {

namespace {

enum Id { ShowAll = 1042, ShowSegment = 1043, Number = 1044, Set = 1045, Chart = 1007 };

constexpr ControlRow Template[] = {
    {ControlKind::Radio,
     ShowAll,
     "Show all",
     {11, 0, 51, 12},
     "The probability of every basis state"},
    {ControlKind::Radio,
     ShowSegment,
     "Show this segment:",
     {77, 2, 77, 10},
     "The probabilities of the values of one segment alone"},
    {ControlKind::EditRight, Number, "0", {160, 0, 26, 13}, "The number of the segment to show"},
    {ControlKind::Button, Set, "Set", {191, 0, 26, 13}, "Show the segment with this number"},
    {ControlKind::Picture, Chart, "", {0, 30, 217, 79}, "One column per value: its probability"},
};

} // namespace

ProbabilitiesWindow::ProbabilitiesWindow(QWidget* parent)
    : ViewWindow(QStringLiteral("Probabilities"), QSize(218, 110), parent),
      controls_(std::make_unique<ControlTable>(this, Template)),
      area_(controls_->get<PictureArea>(Chart)) {
    area_->setRenderer([this](QImage& image) { render(image); });
    connect(controls_->get<QRadioButton>(ShowAll), &QRadioButton::clicked, this,
            &ProbabilitiesWindow::showAll);
    connect(controls_->get<QRadioButton>(ShowSegment), &QRadioButton::clicked, this,
            &ProbabilitiesWindow::showThisSegment);
    connect(controls_->get<QPushButton>(Set), &QPushButton::clicked, this,
            &ProbabilitiesWindow::applySegmentNumber);
    controls_->widget(Number)->installEventFilter(this);
    showChoice();
}

ProbabilitiesWindow::~ProbabilitiesWindow() = default;

void ProbabilitiesWindow::resetView(QRegister* reg) {
    shownSegment_ = -1;
    register_ = reg;
    controls_->get<QLineEdit>(Number)->setText(QStringLiteral("0"));
}

bool ProbabilitiesWindow::draw(QRegister* reg, ProbabilityWalk* walk) {
    showChoice();
    register_ = reg;
    // The chart is rendered when the area is next painted, so hidden windows cost nothing;
    // with a walk it is rendered at once, so that its pass also serves the walk.
    area_->invalidate();
    if (!walk || !isVisible()) {
        return false;
    }
    walk_ = walk;
    walked_ = false;
    area_->picture();
    walk_ = nullptr;
    return walked_;
}

QImage ProbabilitiesWindow::picture() {
    return area_->picture();
}

void ProbabilitiesWindow::render(QImage& image) {
    walked_ = chart_.render(register_, shownSegment_, image, walk_);
}

void ProbabilitiesWindow::showChoice() {
    controls_->get<QRadioButton>(ShowAll)->setChecked(shownSegment_ == -1);
    controls_->get<QRadioButton>(ShowSegment)->setChecked(shownSegment_ != -1);
}

void ProbabilitiesWindow::showAll() {
    shownSegment_ = -1;
    draw(register_);
}

void ProbabilitiesWindow::showThisSegment() {
    applySegmentNumber();
    showChoice(); // without a register the click changes nothing
}

void ProbabilitiesWindow::applySegmentNumber() {
    if (!register_) {
        return;
    }
    auto* number = controls_->get<QLineEdit>(Number);
    if (const std::optional<int> wanted = parseWholeNumber(number->text())) {
        shownSegment_ = *wanted;
    }
    // A register without a segmentation link is labelled as one segment.
    const int count = register_->segmentation ? std::min<int>(register_->segmentation->segmentCount,
                                                              Segmentation::MaxSegments)
                                              : 1;
    shownSegment_ = ProbabilityChart::clampSegment(shownSegment_, count);
    number->setText(QString::number(shownSegment_));
    draw(register_);
}

void ProbabilitiesWindow::layoutControls(QSize client) {
    area_->setGeometry(0, 22, client.width(), std::max(client.height() - 22, 0));
    area_->invalidate();
}

void ProbabilitiesWindow::enterPressed() {
    applySegmentNumber();
}

bool ProbabilitiesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_->widget(Number) && event->type() == QEvent::FocusOut && register_) {
        controls_->get<QRadioButton>(ShowSegment)->setChecked(true);
        controls_->get<QRadioButton>(ShowAll)->setChecked(false);
        applySegmentNumber();
    }
    return ViewWindow::eventFilter(watched, event);
}

} // namespace amplex::ui
