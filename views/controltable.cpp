#include "views/controltable.h"

#include "views/picturearea.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTreeWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace amplex::ui {

QRect dialogUnitsToPixels(const QRect& units, const QFontMetrics& metrics) {
    const int cx = metrics.averageCharWidth();
    const int cy = metrics.height();
    return {units.x() * cx / 4, units.y() * cy / 8, units.width() * cx / 4,
            units.height() * cy / 8};
}

void applyDialogFont(QWidget* window) {
    QFont font = window->font();
    font.setPointSize(8);
    window->setFont(font);
}

namespace {

QWidget* createControl(const ControlRow& row, QWidget* parent) {
    const QString text = QString::fromUtf8(row.text);
    switch (row.kind) {
    case ControlKind::Label:
        return new QLabel(text, parent);
    case ControlKind::LabelRight: {
        auto* label = new QLabel(text, parent);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    }
    case ControlKind::Edit:
        return new QLineEdit(text, parent);
    case ControlKind::EditRight: {
        auto* edit = new QLineEdit(text, parent);
        edit->setAlignment(Qt::AlignRight);
        return edit;
    }
    case ControlKind::Button:
    case ControlKind::DefaultButton: {
        auto* button = new QPushButton(text, parent);
        button->setAutoDefault(false);
        button->setDefault(row.kind == ControlKind::DefaultButton);
        return button;
    }
    case ControlKind::Radio: {
        auto* radio = new QRadioButton(text, parent);
        radio->setAutoExclusive(false);
        return radio;
    }
    case ControlKind::Check:
        return new QCheckBox(text, parent);
    case ControlKind::ListBox: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        return list;
    }
    case ControlKind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setTickPosition(QSlider::NoTicks);
        return slider;
    }
    case ControlKind::Tree: {
        auto* tree = new QTreeWidget(parent);
        tree->setHeaderHidden(true);
        tree->setColumnCount(1);
        tree->setSortingEnabled(true);
        tree->sortByColumn(0, Qt::AscendingOrder);
        tree->setDragDropMode(QAbstractItemView::NoDragDrop);
        tree->setSelectionMode(QAbstractItemView::SingleSelection);
        tree->setAllColumnsShowFocus(true);
        return tree;
    }
    case ControlKind::TextView: {
        auto* text = new QPlainTextEdit(parent);
        text->setReadOnly(true);
        text->setLineWrapMode(QPlainTextEdit::NoWrap);
        return text;
    }
    case ControlKind::Picture:
        return new PictureArea(parent);
    case ControlKind::Caption: {
        auto* label = new QLabel(text, parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::BitList: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::SingleSelection);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        return list;
    }
    }
    return nullptr;
}

} // namespace

ControlTable::ControlTable(QWidget* parent, std::span<const ControlRow> rows) : parent_(parent) {
    const QFontMetrics metrics(parent->font());
    std::vector<std::pair<const ControlRow*, QWidget*>> built;
    for (const ControlRow& row : rows) {
        QWidget* control = createControl(row, parent);
        built.emplace_back(&row, control);
        if (row.id != 0) {
            control->setObjectName(QString::number(row.id));
        }
        if (*row.tip) {
            control->setToolTip(QString::fromUtf8(row.tip));
        }
        control->setGeometry(dialogUnitsToPixels(row.units, metrics));
    }
    for (const auto& [row, control] : built) {
        if (row->kind == ControlKind::Label || row->kind == ControlKind::Radio ||
            row->kind == ControlKind::Check) {
            growRight(control, control->sizeHint().width());
        } else if (row->kind == ControlKind::Caption &&
                   dialogUnitsToPixels(row->units, metrics).height() < 2 * metrics.height()) {
            static_cast<QLabel*>(control)->setWordWrap(false);
            control->resize(std::max(control->width(), control->sizeHint().width()),
                            control->height());
        }
    }
}

void growRight(QWidget* control, int width) {
    const QRect old = control->geometry();
    if (width <= old.width()) {
        return;
    }
    control->resize(width, old.height());
    const int gap = 2;
    const auto siblings =
        control->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    int shift = 0;
    for (QWidget* w : siblings) {
        const QRect g = w->geometry();
        const bool sameRows = g.top() <= old.bottom() && old.top() <= g.bottom();
        if (w != control && g.left() > old.right() && sameRows) {
            shift = std::max(shift, old.left() + width + gap - g.left());
        }
    }
    if (shift > 0) {
        for (QWidget* w : siblings) {
            if (w != control && w->x() > old.right()) {
                w->move(w->x() + shift, w->y());
            }
        }
    }
}

QWidget* ControlTable::widget(int id) const {
    return parent_->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

} // namespace amplex::ui
