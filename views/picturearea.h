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

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Renderer renderer_;
    QImage picture_;
    bool stale_ = true;
};

} // namespace amplex::ui
