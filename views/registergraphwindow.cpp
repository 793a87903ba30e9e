#include "views/registergraphwindow.h"

#include "views/controltable.h"
#include "views/picturearea.h"

namespace amplex::ui {

namespace {

constexpr int Graph = 1006;
constexpr ControlRow Template[] = {
    {ControlKind::Picture,
     Graph,
     "",
     {7, 7, 171, 80},
     "Each basis state's amplitude: bar height the magnitude, pointer the phase"},
};

} // namespace

RegisterGraphWindow::RegisterGraphWindow(QWidget* parent)
    : ViewWindow(QStringLiteral("Registergraph"), QSize(186, 94), parent) {
    const ControlTable controls(this, Template);
    area_ = controls.get<PictureArea>(Graph);
    area_->setRenderer([this](QImage& image) { graph_.render(register_, image); });
}

RegisterGraphWindow::~RegisterGraphWindow() = default;

void RegisterGraphWindow::draw(QRegister* reg) {
    register_ = reg;
    // Rendered when the area is next painted, so hidden windows cost nothing.
    area_->invalidate();
}

void RegisterGraphWindow::drawBeside(QRegister* reg, const std::function<void()>& meanwhile) {
    if (!isVisible()) {
        draw(reg);
        meanwhile();
        return;
    }
    register_ = reg;
    area_->renderBeside(meanwhile);
}

QImage RegisterGraphWindow::picture() {
    return area_->picture();
}

void RegisterGraphWindow::layoutControls(QSize client) {
    if (!area_) {
        return; // not built yet
    }
    area_->setGeometry(0, 0, client.width(), client.height());
    area_->invalidate();
}

} // namespace amplex::ui
