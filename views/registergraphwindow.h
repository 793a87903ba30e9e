#pragma once

#include "views/registergraph.h"
#include "views/viewwindow.h"

#include <functional>

class QRegister;

namespace amplex::ui {

class PictureArea;

// The "Registergraph" window: every amplitude as a pointer standing on the middle line, its
// direction the phase and its length the magnitude.
class RegisterGraphWindow : public ViewWindow {
    Q_OBJECT
public:
    explicit RegisterGraphWindow(QWidget* parent = nullptr);
    ~RegisterGraphWindow() override;

    // Remembers reg (not owned; null shows an empty frame) and redraws the graph.
    void draw(QRegister* reg);
    // The same, but when the window is shown the graph is drawn at once, on a thread of its
    // own, while `meanwhile` runs here; reg must stay unchanged until it returns.
    void drawBeside(QRegister* reg, const std::function<void()>& meanwhile);

    // The graph as it is shown, rendered at the drawing area's current size.
    QImage picture();

protected:
    void layoutControls(QSize client) override;

private:
    RegisterGraph graph_;
    QRegister* register_ = nullptr;
    PictureArea* area_ = nullptr;
};

} // namespace amplex::ui
