#include "app/circuitview.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QToolTip>

namespace amplex::ui {

namespace {

const QColor Ink(Qt::black);
const QColor UndoneInk(160, 160, 160);
const QColor CurrentFill(255, 236, 160);

} // namespace

CircuitView::CircuitView(QWidget* parent) : QAbstractScrollArea(parent) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

int CircuitView::labelWidth() const {
    return fontMetrics().horizontalAdvance(QStringLiteral("q25")) + 12;
}

void CircuitView::setLayout(CircuitLayout layout) {
    layout_ = std::move(layout);
    updateScrollBars();
    showCurrentColumn();
    viewport()->update();
}

void CircuitView::setPosition(int position) {
    layout_.setPosition(position);
    showCurrentColumn();
    viewport()->update();
}

// Follows the position, as back and forward move it.
void CircuitView::showCurrentColumn() {
    const int c = layout_.currentColumn();
    if (c < 0) {
        return;
    }
    QScrollBar* bar = horizontalScrollBar();
    const int shown = viewport()->width() - labelWidth();
    const int x = layout_.columnX(c);
    const int w = layout_.metrics().columnWidth;
    if (x < bar->value() || x + w > bar->value() + shown) {
        bar->setValue(x + w - shown);
    }
}

void CircuitView::updateScrollBars() {
    const QSize view = viewport()->size();
    const int shown = view.width() - labelWidth();
    horizontalScrollBar()->setRange(0, std::max(0, layout_.width() - shown));
    horizontalScrollBar()->setPageStep(std::max(1, shown));
    horizontalScrollBar()->setSingleStep(layout_.metrics().columnWidth);
    verticalScrollBar()->setRange(0, std::max(0, layout_.height() - view.height()));
    verticalScrollBar()->setPageStep(std::max(1, view.height()));
    verticalScrollBar()->setSingleStep(layout_.metrics().rowHeight);
}

void CircuitView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
    showCurrentColumn();
}

int CircuitView::columnAtPoint(QPoint point) const {
    return layout_.columnAt(point.x() - labelWidth() + horizontalScrollBar()->value());
}

void CircuitView::mousePressEvent(QMouseEvent* event) {
    if (!picked_ || event->button() != Qt::LeftButton) {
        return;
    }
    if (event->position().x() < labelWidth()) {
        picked_(0);
    } else if (const int c = columnAtPoint(event->position().toPoint()); c >= 0) {
        picked_(layout_.columns()[static_cast<std::size_t>(c)].entry + 1);
    }
}

bool CircuitView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int c = columnAtPoint(help->pos());
        if (c >= 0 && help->pos().x() >= labelWidth()) {
            const auto& column = layout_.columns()[static_cast<std::size_t>(c)];
            QToolTip::showText(help->globalPos(),
                               QStringLiteral("%1: %2")
                                   .arg(column.entry + 1)
                                   .arg(QString::fromStdString(column.text)),
                               viewport());
        } else {
            QToolTip::hideText();
        }
        return true;
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void CircuitView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    const int labels = labelWidth();
    const int scrollX = horizontalScrollBar()->value();
    const int view = viewport()->width();
    const CircuitLayout::Metrics& m = layout_.metrics();
    const int n = layout_.qubitCount();
    painter.translate(0, -verticalScrollBar()->value());

    // Columns first, clipped to the right of the labels.
    painter.save();
    painter.setClipRect(labels, verticalScrollBar()->value(), view - labels, viewport()->height());
    const auto [first, last] = layout_.columnsIn(scrollX, view - labels);
    const int current = layout_.currentColumn();
    if (current >= first && current < last) {
        painter.fillRect(labels + layout_.columnX(current) - scrollX, 0, m.columnWidth,
                         layout_.height(), CurrentFill);
    }
    painter.setPen(Ink);
    for (int k = 0; k < n; ++k) {
        painter.drawLine(labels, layout_.wireY(k), view, layout_.wireY(k));
    }
    QFont small = font();
    small.setPointSizeF(font().pointSizeF() * 0.8);
    for (int c = first; c < last; ++c) {
        const auto& column = layout_.columns()[static_cast<std::size_t>(c)];
        const int left = labels + layout_.columnX(c) - scrollX;
        const int mid = left + m.columnWidth / 2;
        const QColor ink = column.undone ? UndoneInk : Ink;
        painter.setPen(ink);
        painter.setFont(small);
        painter.drawText(QRect(left, 0, m.columnWidth, m.margin), Qt::AlignCenter,
                         QString::number(column.entry + 1));
        painter.setFont(font());
        if (column.lineFirst <= column.lineLast) {
            painter.drawLine(mid, layout_.wireY(column.lineFirst), mid,
                             layout_.wireY(column.lineLast));
        }
        for (const CircuitLayout::Mark& mark : column.marks) {
            if (mark.first < 0 || mark.last < mark.first || mark.last >= n) {
                continue;
            }
            const int y = layout_.wireY(mark.first);
            switch (mark.kind) {
            case CircuitLayout::Mark::Kind::Dot:
                painter.setBrush(ink);
                painter.drawEllipse(QPoint(mid, y), 4, 4);
                break;
            case CircuitLayout::Mark::Kind::Target:
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(QPoint(mid, y), 9, 9);
                painter.drawLine(mid - 9, y, mid + 9, y);
                painter.drawLine(mid, y - 9, mid, y + 9);
                break;
            case CircuitLayout::Mark::Kind::Cross:
                painter.drawLine(mid - 6, y - 6, mid + 6, y + 6);
                painter.drawLine(mid - 6, y + 6, mid + 6, y - 6);
                break;
            case CircuitLayout::Mark::Kind::Box: {
                const auto [top, bottom] = layout_.boxSpan(mark.first, mark.last);
                const QRect box(left + 4, top, m.columnWidth - 8, bottom - top);
                painter.setBrush(viewport()->palette().base());
                painter.drawRect(box);
                const QString label = QString::fromStdString(mark.label);
                const QRect inner = box.adjusted(2, 2, -2, -2);
                const int wide = fontMetrics().boundingRect(inner, 0, label).width();
                if (wide > inner.width() && inner.height() > inner.width()) {
                    // A long text across many wires reads upwards.
                    painter.save();
                    painter.translate(inner.center());
                    painter.rotate(-90);
                    const QRect turned(-inner.height() / 2, -inner.width() / 2, inner.height(),
                                       inner.width());
                    painter.drawText(
                        turned, Qt::AlignCenter,
                        fontMetrics().elidedText(label, Qt::ElideRight, turned.width()));
                    painter.restore();
                } else {
                    painter.drawText(inner, Qt::AlignCenter, label);
                }
                break;
            }
            }
        }
    }
    painter.restore();

    // The wire labels stay where they are while the columns scroll.
    painter.fillRect(0, 0, labels, layout_.height(), viewport()->palette().base());
    painter.setPen(Ink);
    for (int k = 0; k < n; ++k) {
        painter.drawText(QRect(0, layout_.wireY(k) - m.rowHeight / 2, labels - 6, m.rowHeight),
                         Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("q%1").arg(k));
    }
}

} // namespace amplex::ui
