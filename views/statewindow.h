#pragma once

#include "views/stateview.h"
#include "views/viewwindow.h"

#include <memory>

class QRegister;

namespace amplex::ui {

class ControlTable;

// The "State" window: up to 30 consecutive entries of the register's listing, unsorted or
// sorted by magnitude, moved through the register with a slider and the "+" and "-" buttons.
// Its first position, count and sort mode are also the History window's listing settings, so
// every change of them is announced with viewSettingsChanged().
class StateWindow : public ViewWindow {
    Q_OBJECT
public:
    explicit StateWindow(QWidget* parent = nullptr);
    ~StateWindow() override;

    // The register was (re)initialised: remembers it (not owned; it must outlive the window or
    // the next call), starts again at position 0 and puts the slider there. The sort mode is
    // kept. Does not redraw the text: the caller calls showListing next.
    void newRegister(QRegister* reg);
    // Writes the listing of reg with the current settings into the text field. A null register
    // empties the field.
    void showListing(QRegister* reg);

    int firstIndex() const { return view_.firstIndex(); }
    int shownCount() const { return view_.shownCount(); }
    int sortMode() const { return view_.sortMode(); }
    bool exactValues() const { return view_.exactValues(); }

signals:
    // Emitted after "+", "-", a release of the slider, a sort button and "exact values".
    void viewSettingsChanged();

protected:
    void layoutControls(QSize client) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void stepUp();
    void stepDown();
    void sliderReleased();
    void chooseSortMode(int mode);
    void chooseExactValues(bool exact);
    void settingsChanged();
    void showSlider();

    StateView view_;
    QRegister* register_ = nullptr;
    std::unique_ptr<ControlTable> controls_;
};

} // namespace amplex::ui
