#pragma once

#include <QImage>
#include <QWidget>

#include <functional>

namespace amplex::ui {

// A drawing area that shows a picture rendered for its current size. The picture is rendered
// again when it was invalidated or the size changed, so a repaint costs no pass over the
// register.
class PictureArea : public QWidget {
    Q_OBJECT
public:
    using Renderer = std::function<void(QImage&)>;

    explicit PictureArea(QWidget* parent = nullptr);

    // Called with an RGB32 image of the area's size whenever a fresh picture is needed.
    void setRenderer(Renderer renderer);
    // The picture is stale: render it again before it is next shown.
    void invalidate();
    // The current picture, rendered first if stale.
    const QImage& picture();
    // Renders the picture now, on a thread of its own, while `meanwhile` runs on this one:
    // the main window draws a chart on one core beside one that splits over every core. The
    // renderer must then touch nothing but the image and what `meanwhile` leaves alone.
    void renderBeside(const std::function<void()>& meanwhile);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Renderer renderer_;
    QImage picture_;
    bool stale_ = true;
};

} // namespace amplex::ui
