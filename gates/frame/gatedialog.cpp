#include "gates/frame/gatedialog.h"

#include "gates/frame/gateplugin.h"
#include "views/controltable.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace amplex::frame {

namespace {

QRect unitsOf(const DialogUnits& units) {
    return {units.x, units.y, units.width, units.height};
}

// What a gate's control kind is built as: gate dialogs right-align their number fields.
ui::ControlKind tableKind(ControlKind kind) {
    switch (kind) {
    case ControlKind::Label:
        return ui::ControlKind::Caption;
    case ControlKind::BitList:
        return ui::ControlKind::BitList;
    case ControlKind::Edit:
        return ui::ControlKind::EditRight;
    case ControlKind::Button:
        break;
    }
    return ui::ControlKind::Button;
}

int preselectedRow(Preselect preselect, int n) {
    switch (preselect) {
    case Preselect::None:
        return -1;
    case Preselect::First:
        return 0;
    case Preselect::SecondOrFirst:
        return n > 1 ? 1 : 0;
    case Preselect::SecondLast:
        return n - 2;
    case Preselect::Last:
        return n - 1;
    }
    return -1;
}

} // namespace

GateDialog::GateDialog(const GateDialogSpec& description, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint),
      description_(description) {
    setWindowTitle(QString::fromUtf8(description.caption));
    ui::applyDialogFont(this);
    const QFontMetrics metrics(font());
    std::vector<ui::ControlRow> rows;
    int bottom = 0;
    for (const ControlSpec& c : description.controls) {
        rows.push_back({tableKind(c.kind), c.id, c.text, unitsOf(c.rect)});
        bottom = std::max(bottom, ui::dialogUnitsToPixels(rows.back().units, metrics).bottom());
    }
    const ui::ControlTable table(this, rows);
    for (const ControlSpec& c : description.controls) {
        if (auto* list = table.get<QListWidget>(c.id); list && c.kind == ControlKind::BitList) {
            const int id = c.id;
            // Only a choice made with the mouse runs a gate: arrow keys, Tab and refilling
            // move the selection too, and walking a list must not apply a gate at each row.
            list->viewport()->installEventFilter(this);
            QObject::connect(list, &QListWidget::itemSelectionChanged, this, [this, id] {
                if (description_.onSelectionChanged && pointerChoosing_) {
                    description_.onSelectionChanged(*this, id);
                }
            });
        }
    }
    if (auto* execute = table.get<QPushButton>(ExecuteButtonId)) {
        QObject::connect(execute, &QPushButton::clicked, this, [this] { runExecute(); });
    }
    explanation_ = new QLabel(this);
    explanation_->setObjectName(QString::number(ExplanationId));
    explanation_->setWordWrap(true);
    explanation_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    explanation_->setStyleSheet(QStringLiteral("color: #b00000"));
    explanation_->move(metrics.averageCharWidth() * 7 / 4, bottom + 4);
}

void GateDialog::runExecute() {
    refuse({});
    if (description_.onExecute) {
        description_.onExecute(*this);
    }
}

void GateDialog::refuse(const QString& why) {
    explanation_->setText(why);
    const int margin = explanation_->x();
    const int lineWidth = std::max(width() - 2 * margin, 0);
    const int needed = why.isEmpty() ? 0 : explanation_->heightForWidth(lineWidth);
    explanation_->resize(lineWidth, needed);
    // The dialog sits at the foot of the screen: it grows upwards when the text needs room.
    const int overflow = explanation_->y() + needed + margin / 2 - height();
    if (overflow > 0) {
        setGeometry(x(), y() - overflow, this->width(), height() + overflow);
    }
}

QString GateDialog::explanation() const {
    return explanation_->text();
}

QString GateDialog::caption(int id) const {
    const ControlSpec* control = nullptr;
    for (const ControlSpec& c : description_.controls) {
        if (c.id == id) {
            control = &c;
        }
    }
    if (!control) {
        return {};
    }
    const DialogUnits& r = control->rect;
    const ControlSpec* best = nullptr;
    int bestDistance = 0;
    for (const ControlSpec& c : description_.controls) {
        if (c.kind != ControlKind::Label) {
            continue;
        }
        const DialogUnits& l = c.rect;
        const bool sameRow = l.y < r.y + r.height && r.y < l.y + l.height && l.x < r.x;
        const bool above = l.y + l.height <= r.y + 2 && l.x < r.x + r.width && r.x < l.x + l.width;
        // A label on the row beats every label above.
        const int distance = sameRow ? r.x - l.x : above ? 1000 + r.y - l.y : -1;
        if (distance >= 0 && (!best || distance < bestDistance)) {
            best = &c;
            bestDistance = distance;
        }
    }
    QString text = best ? QString::fromUtf8(best->text).trimmed() : QString();
    if (text.endsWith(QLatin1Char(':'))) {
        text.chop(1);
    }
    return text;
}

int GateDialog::qubitCount() const {
    return r ? r->qubitCount : 0;
}

QWidget* GateDialog::control(int id) const {
    return findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

int GateDialog::selection(int listId) const {
    auto* list = qobject_cast<QListWidget*>(control(listId));
    if (!list) {
        return -1;
    }
    const auto selected = list->selectedItems();
    return selected.isEmpty() ? -1 : list->row(selected.front());
}

std::optional<int> GateDialog::selectedBit(int listId) {
    const int k = selection(listId);
    if (k < 0) {
        refuse(QStringLiteral("%1: select a bit").arg(caption(listId)));
        return std::nullopt;
    }
    if (k >= qubitCount()) {
        // The list was filled for a larger register; showing the dialog again refills it.
        refuse(QStringLiteral("%1: bit %2 is beyond the register's %3 qubits")
                   .arg(caption(listId))
                   .arg(k)
                   .arg(qubitCount()));
        return std::nullopt;
    }
    return k;
}

std::optional<std::pair<int, int>> GateDialog::selectedPair(int firstId, int secondId,
                                                            PairRule rule) {
    const auto a = selectedBit(firstId);
    const auto b = a ? selectedBit(secondId) : std::nullopt;
    if (!a || !b) {
        return std::nullopt;
    }
    if (rule == PairRule::Distinct && *a == *b) {
        refuse(QStringLiteral("%1 and %2 must be different bits")
                   .arg(caption(firstId), caption(secondId)));
        return std::nullopt;
    }
    if (rule == PairRule::Ordered && *a > *b) {
        refuse(QStringLiteral("%1 must not be above %2").arg(caption(firstId), caption(secondId)));
        return std::nullopt;
    }
    return std::pair{*a, *b};
}

QByteArray GateDialog::fieldText(int editId, int maxChars) const {
    auto* edit = qobject_cast<QLineEdit*>(control(editId));
    return edit ? edit->text().left(maxChars).toLatin1() : QByteArray();
}

std::optional<std::int32_t> GateDialog::scanInt(int editId, int maxChars) const {
    const QByteArray text = fieldText(editId, maxChars);
    int value = 0;
    if (std::sscanf(text.constData(), "%i", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::uint32_t> GateDialog::scanUnsigned(int editId, int maxChars) const {
    const QByteArray text = fieldText(editId, maxChars);
    unsigned value = 0;
    if (std::sscanf(text.constData(), "%u", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::int64_t> GateDialog::scanWide(int editId, int maxChars) const {
    const QByteArray text = fieldText(editId, maxChars);
    long long value = 0;
    if (std::sscanf(text.constData(), "%lli", &value) != 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> GateDialog::scanDouble(int editId, int maxChars) const {
    // "1,5" is no number here rather than fifteen.
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value =
        c.toDouble(QString::fromLatin1(fieldText(editId, maxChars)).trimmed(), &ok);
    if (!ok || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

namespace {

template <typename T>
std::optional<T> required(GateDialog& dialog, int editId, std::optional<T> value,
                          const char* kind = "a whole number") {
    if (!value) {
        const auto* edit = qobject_cast<QLineEdit*>(dialog.control(editId));
        const QString text = edit ? edit->text() : QString();
        dialog.refuse(text.trimmed().isEmpty()
                          ? QStringLiteral("%1 is empty: type %2")
                                .arg(dialog.caption(editId), QLatin1String(kind))
                          : QStringLiteral("%1: \"%2\" is not %3")
                                .arg(dialog.caption(editId), text, QLatin1String(kind)));
    }
    return value;
}

} // namespace

std::optional<std::int32_t> GateDialog::requireInt(int editId, int maxChars) {
    return required(*this, editId, scanInt(editId, maxChars));
}

std::optional<std::uint32_t> GateDialog::requireUnsigned(int editId, int maxChars) {
    return required(*this, editId, scanUnsigned(editId, maxChars));
}

std::optional<double> GateDialog::requireDouble(int editId, int maxChars) {
    return required(*this, editId, scanDouble(editId, maxChars), "a number");
}

void GateDialog::fill() {
    const int n = qubitCount();
    for (const ControlSpec& c : description_.controls) {
        QWidget* widget = control(c.id);
        if (c.kind == ControlKind::BitList) {
            auto* list = static_cast<QListWidget*>(widget);
            // Refilling is not a user's choice: pi-eighth must not run on it.
            const QSignalBlocker blocker(list);
            list->clear();
            for (int k = 0; k < n; ++k) {
                auto* item = new QListWidgetItem(QString::number(k), list);
                // A plain int, not Qt::Alignment: a QVariant of a non-built-in type registers
                // this library's own meta-type record with Qt, which keeps it after dlclose and
                // reads the unloaded memory when the next plug-in asks for the same type.
                item->setData(Qt::TextAlignmentRole,
                              static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
            }
            const int row = preselectedRow(c.preselect, n);
            if (row >= 0 && row < n) {
                list->setCurrentRow(row);
            } else {
                list->setCurrentRow(-1);
                list->clearSelection();
            }
        } else if (c.kind == ControlKind::Edit) {
            static_cast<QLineEdit*>(widget)->setText(QString::fromUtf8(c.text));
        }
    }
}

void GateDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fill();
    refuse({});
}

void GateDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    fill();
}

bool GateDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
        pointerChoosing_ = true;
    } else if (event->type() == QEvent::MouseButtonRelease) {
        pointerChoosing_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void GateDialog::keyPressEvent(QKeyEvent* event) {
    // A dialog's default handling: Enter, like Escape, hides it.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        hide();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace amplex::frame
