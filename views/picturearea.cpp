#include "views/picturearea.h"

#include <QPainter>

#include <system_error>
#include <thread>

namespace amplex::ui {

PictureArea::PictureArea(QWidget* parent) : QWidget(parent) {
    // The picture covers every pixel; nothing needs to be erased first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureArea::setRenderer(Renderer renderer) {
    renderer_ = std::move(renderer);
    invalidate();
}

void PictureArea::invalidate() {
    stale_ = true;
    update();
}

const QImage& PictureArea::picture() {
    if (stale_ || picture_.size() != size()) {
        if (picture_.size() != size()) {
            picture_ = QImage(size(), QImage::Format_RGB32);
        }
        if (picture_.isNull()) {
            // Nothing to render into.
        } else if (renderer_) {
            renderer_(picture_);
        } else {
            picture_.fill(Qt::white);
        }
        stale_ = false;
    }
    return picture_;
}

void PictureArea::renderBeside(const std::function<void()>& meanwhile) {
    if (picture_.size() != size()) {
        picture_ = QImage(size(), QImage::Format_RGB32);
    }
    if (picture_.isNull() || !renderer_) {
        invalidate(); // nothing to render beside: done when shown, as ever
        meanwhile();
        return;
    }
    stale_ = false;
    update();
    std::thread worker;
    try {
        worker = std::thread([this] { renderer_(picture_); });
    } catch (const std::system_error&) {
        renderer_(picture_); // no thread to be had: one after the other
        meanwhile();
        return;
    }
    // Joined however `meanwhile` ends: the renderer works on this object.
    struct Join {
        std::thread& thread;
        ~Join() { thread.join(); }
    } join{worker};
    meanwhile();
}

void PictureArea::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, picture());
}

} // namespace amplex::ui
