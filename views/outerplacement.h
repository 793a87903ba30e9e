#pragma once

#include "host/framemargins.h"

#include <QRect>
#include <QTimer>
#include <QVariant>
#include <QWidget>

// Places a top-level window so that its frame, not only its client area, fills an outer
// rectangle. The window manager adds the frame after the window is shown, so the placement is
// made again a few times shortly after, each time with the frame as it is then; without a
// window manager the frame stays empty and the client area is the outer rectangle. Header only:
// the program and the gate plug-ins place their windows alike.
namespace amplex {

inline FrameMargins frameMargins(const QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QRect client = window->geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

inline void applyOuterRect(QWidget* window, const ScreenRect& outer) {
    const ScreenRect c = frameMargins(window).clientOf(outer);
    const QRect client(c.x, c.y, c.width, c.height);
    if (window->geometry() != client) {
        window->setGeometry(client);
    }
}

// The repeats run on a timer that the window owns, so they end with it at once: a plug-in's
// dialog goes before its library is unloaded, and with it every connection into the library.
inline void placeOuter(QWidget* window, const ScreenRect& outer) {
    applyOuterRect(window, outer);
    const QString name = QStringLiteral("amplexOuterPlacement");
    delete window->findChild<QTimer*>(name, Qt::FindDirectChildrenOnly);
    auto* timer = new QTimer(window);
    timer->setObjectName(name);
    QObject::connect(timer, &QTimer::timeout, window, [window, outer, timer, ticks = 0]() mutable {
        applyOuterRect(window, outer);
        if (++ticks == 20) {
            timer->stop();
        }
    });
    timer->start(50);
}

} // namespace amplex
