#include "views/segmentationdialog.h"

#include "core/qregister.h"
#include "views/controltable.h"

#include <QEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace amplex::ui {

namespace {

enum Id {
    GlobalRightToLeft = 1031,
    GlobalLeftToRight = 1032,
    Segments = 1033,
    RightToLeft = 1034,
    LeftToRight = 1035,
    Decimal = 1036,
    Binary = 1037,
    Add = 1038,
    Remove = 1039,
    From = 1040,
    To = 1041,
    ZeroFillYes = 1042,
    ZeroFillNo = 1043,
    Ok = 1,
};

constexpr ControlRow Template[] = {
    {ControlKind::Label, 0, "Globaldirection:", {37, 18, 50, 8}},
    {ControlKind::Radio,
     GlobalRightToLeft,
     "right to left",
     {59, 30, 90, 22},
     "Segments are numbered from the right"},
    {ControlKind::Radio,
     GlobalLeftToRight,
     "left to right",
     {149, 30, 90, 22},
     "Segments are numbered from the left"},
    {ControlKind::Label, 0, "Segments:", {37, 63, 34, 8}},
    {ControlKind::ListBox, Segments, "", {60, 79, 33, 150}, "The segments; choose one to edit"},
    {ControlKind::Label, 0, "From:", {149, 81, 18, 8}},
    {ControlKind::EditRight, From, "", {215, 81, 47, 12}, "The lowest qubit of the segment"},
    {ControlKind::Label, 0, "To:", {149, 97, 12, 8}},
    {ControlKind::EditRight, To, "", {215, 98, 47, 12}, "The highest qubit of the segment"},
    {ControlKind::Label, 0, "Direction:", {149, 113, 31, 8}},
    {ControlKind::Radio,
     RightToLeft,
     "right to left",
     {173, 125, 90, 22},
     "The segment's bits are read from the right"},
    {ControlKind::Radio,
     LeftToRight,
     "left to right",
     {271, 125, 90, 22},
     "The segment's bits are read from the left"},
    {ControlKind::Label, 0, "System:", {149, 159, 26, 8}},
    {ControlKind::Radio, Decimal, "decimal", {173, 171, 90, 22}, "Show the value in decimal"},
    {ControlKind::Radio, Binary, "binary", {271, 171, 90, 22}, "Show the value in binary"},
    {ControlKind::Label, 0, "Complete with zeros:", {149, 199, 66, 8}},
    {ControlKind::Radio,
     ZeroFillYes,
     "yes",
     {173, 216, 90, 22},
     "Fill the value up with leading zeros"},
    {ControlKind::Radio, ZeroFillNo, "no", {271, 216, 90, 22}, "No leading zeros"},
    {ControlKind::Button, Add, "Add", {30, 245, 45, 16}, "Add a segment"},
    {ControlKind::Button, Remove, "Remove", {79, 245, 45, 16}, "Remove the chosen segment"},
    {ControlKind::DefaultButton,
     Ok,
     "OK",
     {350, 277, 50, 14},
     "Apply the segmentation to every view"},
};

// Each radio button, the partner it unchecks.
struct RadioPair {
    int id;
    int partner;
};
constexpr RadioPair Radios[] = {
    {GlobalRightToLeft, GlobalLeftToRight},
    {GlobalLeftToRight, GlobalRightToLeft},
    {RightToLeft, LeftToRight},
    {LeftToRight, RightToLeft},
    {Decimal, Binary},
    {Binary, Decimal},
    {ZeroFillYes, ZeroFillNo},
    {ZeroFillNo, ZeroFillYes},
};

const QString ApplicationName = QStringLiteral("Amplex");

} // namespace

SegmentationDialog::SegmentationDialog(QRegister& live, QWidget* parent)
    : ViewWindow(QStringLiteral("Segmentation"), QSize(407, 298), parent, false), editor_(live),
      controls_(std::make_unique<ControlTable>(this, Template)) {
    for (const RadioPair& pair : Radios) {
        connect(controls_->get<QRadioButton>(pair.id), &QRadioButton::clicked, this,
                [this, id = pair.id] { radioClicked(id); });
    }
    connect(controls_->get<QListWidget>(Segments), &QListWidget::currentRowChanged, this,
            &SegmentationDialog::selectionChanged);
    controls_->widget(From)->installEventFilter(this);
    controls_->widget(To)->installEventFilter(this);
    connect(controls_->get<QPushButton>(Add), &QPushButton::clicked, this,
            &SegmentationDialog::add);
    connect(controls_->get<QPushButton>(Remove), &QPushButton::clicked, this,
            &SegmentationDialog::remove);
    connect(controls_->get<QPushButton>(Ok), &QPushButton::clicked, this, &SegmentationDialog::ok);
    refresh();
}

SegmentationDialog::~SegmentationDialog() = default;

void SegmentationDialog::refresh() {
    editor_.refresh();
    const bool global = editor_.globalDirection() != 0;
    controls_->get<QRadioButton>(GlobalRightToLeft)->setChecked(!global);
    controls_->get<QRadioButton>(GlobalLeftToRight)->setChecked(global);

    auto* list = controls_->get<QListWidget>(Segments);
    {
        const QSignalBlocker blocker(list);
        list->clear();
        for (int c = 0; c < editor_.segmentCount(); ++c) {
            list->addItem(QString::number(c));
        }
        list->setCurrentRow(editor_.selected());
    }
    showSegment();
}

void SegmentationDialog::showSegment() {
    auto* from = controls_->get<QLineEdit>(From);
    auto* to = controls_->get<QLineEdit>(To);
    from->setText(editor_.fromText());
    from->setReadOnly(editor_.fromReadOnly());
    to->setText(editor_.toText());
    to->setReadOnly(editor_.toReadOnly());

    // With no segment left there are no options to choose.
    const bool any = editor_.selected() >= 0;
    const SegmentOptions options = editor_.options();
    const struct {
        int id;
        bool checked;
    } states[] = {
        {RightToLeft, options.direction == 0}, {LeftToRight, options.direction != 0},
        {Decimal, options.decimal == 1},       {Binary, options.decimal != 1},
        {ZeroFillYes, options.zeroFill == 1},  {ZeroFillNo, options.zeroFill != 1},
    };
    for (const auto& state : states) {
        auto* radio = controls_->get<QRadioButton>(state.id);
        radio->setChecked(any && state.checked);
        radio->setEnabled(any);
    }
}

void SegmentationDialog::selectionChanged(int row) {
    if (editor_.select(row)) {
        showSegment();
    }
}

void SegmentationDialog::radioClicked(int id) {
    int partner = 0;
    for (const RadioPair& pair : Radios) {
        if (pair.id == id) {
            partner = pair.partner;
        }
    }
    // A click on a checked button would uncheck it; it stays checked, as its partner's click
    // is the way to change the choice.
    controls_->get<QRadioButton>(id)->setChecked(true);
    controls_->get<QRadioButton>(partner)->setChecked(false);
    switch (id) {
    case GlobalRightToLeft:
        editor_.setGlobalDirection(0);
        break;
    case GlobalLeftToRight:
        editor_.setGlobalDirection(1);
        break;
    case RightToLeft:
        editor_.setDirection(0);
        break;
    case LeftToRight:
        editor_.setDirection(1);
        break;
    case Decimal:
        editor_.setDecimal(1);
        break;
    case Binary:
        editor_.setDecimal(0);
        break;
    case ZeroFillYes:
        editor_.setZeroFill(1);
        break;
    case ZeroFillNo:
        editor_.setZeroFill(0);
        break;
    default:
        break;
    }
}

bool SegmentationDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == controls_->widget(From)) {
            fromEdited();
        } else if (watched == controls_->widget(To)) {
            toEdited();
        }
    }
    return ViewWindow::eventFilter(watched, event);
}

void SegmentationDialog::fromEdited() {
    auto* from = controls_->get<QLineEdit>(From);
    if (from->isReadOnly()) {
        return;
    }
    if (!editor_.applyFrom(from->text())) {
        showSegment(); // the stored values come back
    }
}

void SegmentationDialog::toEdited() {
    auto* to = controls_->get<QLineEdit>(To);
    if (to->isReadOnly()) {
        return;
    }
    if (!editor_.applyTo(to->text())) {
        showSegment();
    }
}

void SegmentationDialog::add() {
    if (editor_.add() == SegmentationEditor::AddResult::Full) {
        QMessageBox box(QMessageBox::NoIcon, ApplicationName,
                        QStringLiteral("Maximum number of segments reached."), QMessageBox::Ok,
                        this);
        box.exec();
        return;
    }
    refresh();
}

void SegmentationDialog::remove() {
    editor_.remove();
    refresh();
}

void SegmentationDialog::applyFocusedField() {
    // A typed value takes effect when its field loses the focus; hiding the dialog or Enter
    // takes the focus away, and the value must be in the record before the views are redrawn.
    if (focusWidget() == controls_->widget(From)) {
        fromEdited();
    } else if (focusWidget() == controls_->widget(To)) {
        toEdited();
    }
}

void SegmentationDialog::ok() {
    applyFocusedField();
    emit okClicked();
    hide();
}

void SegmentationDialog::enterPressed() {
    ok();
}

void SegmentationDialog::showEvent(QShowEvent* event) {
    ViewWindow::showEvent(event);
    refresh();
}

void SegmentationDialog::hideEvent(QHideEvent* event) {
    applyFocusedField();
    ViewWindow::hideEvent(event);
    refresh();
}

} // namespace amplex::ui
