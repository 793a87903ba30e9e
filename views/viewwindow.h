#pragma once

#include <QDialog>

namespace amplex::ui {

// Common behaviour of the program's tool and view windows: modeless, owned by the main window,
// created once and kept to the end. The close box and Escape only hide them; Enter does nothing
// unless a window says otherwise. Resizable windows lay out their controls in pixels on every
// size change through layoutControls.
class ViewWindow : public QDialog {
    Q_OBJECT
public:
    // templateUnits: the window's client size in dialog units, used until it is placed.
    ViewWindow(const QString& title, QSize templateUnits, QWidget* parent, bool resizable = true);

protected:
    // Places the controls for a new client size. Called on every size change.
    virtual void layoutControls(QSize client);
    // Enter (Return) was pressed; nothing by default.
    virtual void enterPressed() {}

    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace amplex::ui
