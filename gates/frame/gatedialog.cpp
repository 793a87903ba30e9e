#include "gates/frame/gatedialog.h"

#include "gates/frame/gateplugin.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

namespace amplex::frame {

namespace {

// Dialog units to pixels with the dialog font's metrics.
QRect toPixels(const DialogUnits& units, const QFontMetrics& metrics) {
    const int cx = metrics.averageCharWidth();
    const int cy = metrics.height();
    return {units.x * cx / 4, units.y * cy / 8, units.width * cx / 4, units.height * cy / 8};
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
    QFont dialogFont = font();
    dialogFont.setPointSize(8);
    setFont(dialogFont);
    const QFontMetrics metrics(dialogFont);

    for (const ControlSpec& c : description.controls) {
        QWidget* widget = nullptr;
        const QString text = QString::fromUtf8(c.text);
        switch (c.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, this);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            widget = label;
            break;
        }
        case ControlKind::BitList: {
            auto* list = new QListWidget(this);
            list->setSelectionMode(QAbstractItemView::SingleSelection);
            list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            const int id = c.id;
            // Selection, not the current row: a list that gets the focus by Tab moves its
            // current row without selecting, and that must not run a gate.
            QObject::connect(list, &QListWidget::itemSelectionChanged, this, [this, id] {
                if (description_.onSelectionChanged) {
                    description_.onSelectionChanged(*this, id);
                }
            });
            widget = list;
            break;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, this);
            edit->setAlignment(Qt::AlignRight);
            widget = edit;
            break;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(text, this);
            button->setAutoDefault(false);
            button->setDefault(false);
            if (c.id == ExecuteButtonId) {
                QObject::connect(button, &QPushButton::clicked, this, [this] {
                    if (description_.onExecute) {
                        description_.onExecute(*this);
                    }
                });
            }
            widget = button;
            break;
        }
        }
        if (c.id != 0) {
            widget->setObjectName(QString::number(c.id));
        }
        QRect rect = toPixels(c.rect, metrics);
        // Templates were measured in another font: a one-line caption may grow to its own
        // width rather than be cut.
        if (c.kind == ControlKind::Label && rect.height() < 2 * metrics.height()) {
            static_cast<QLabel*>(widget)->setWordWrap(false);
            rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
        }
        widget->setGeometry(rect);
    }
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

std::optional<std::pair<int, int>> GateDialog::selectedPair(int firstId, int secondId,
                                                            PairRule rule) const {
    const int n = qubitCount();
    const int a = selection(firstId);
    const int b = selection(secondId);
    if (a < 0 || a >= n || b < 0 || b >= n) {
        return std::nullopt;
    }
    if ((rule == PairRule::Distinct && a == b) || (rule == PairRule::Ordered && a > b)) {
        return std::nullopt;
    }
    return std::pair{a, b};
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
}

void GateDialog::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    fill();
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
