#pragma once

#include <QRect>
#include <QWidget>

#include <span>

class QFontMetrics;

namespace amplex::ui {

// Kinds of control in the tables of the program's windows and of the gates' parameter dialogs.
enum class ControlKind {
    Label,         // static text, left-aligned
    LabelRight,    // static text, right-aligned (value fields of the control bar)
    Edit,          // single-line edit field with border
    EditRight,     // the same, right-aligned
    Button,        // push button, never the default
    DefaultButton, // the window's default push button (Enter)
    Radio,         // radio button in a group of its own: the window unchecks its partners
    Check,         // check box
    ListBox,       // single-selection list
    Slider,        // horizontal slider without tick marks
    Tree,          // sorted tree without header
    TextView,      // multi-line read-only text without wrapping
    Picture,       // drawing area showing a rendered picture (PictureArea)
    // The gate dialogs' own kinds (gates/frame/gatedialogspec.h names them for plug-ins):
    Caption, // static text at the top left, wrapped in a rectangle two lines tall or more
    BitList, // single-selection list of qubits with its vertical scroll bar always shown
};

// One control of a table: kind, id (0 for none), text, rectangle in dialog units and the tooltip
// that says what it does.
struct ControlRow {
    ControlKind kind = ControlKind::Label;
    int id = 0;
    const char* text = "";
    QRect units;
    const char* tip = "";
};

// Widens a control to the right; the sibling controls that begin at or beyond its old right
// edge and would now overlap one on its rows move right as far as needed, with everything else
// beyond that edge, so that columns stay aligned and no caption is cut.
void growRight(QWidget* control, int width);

// Dialog units to pixels with a font's metrics: x = units * average char width / 4,
// y = units * height / 8.
QRect dialogUnitsToPixels(const QRect& units, const QFontMetrics& metrics);

// Every window's and gate dialog's font: the application's family at 8 points, the size the
// tables' dialog units were laid out for.
void applyDialogFont(QWidget* window);

// Builds a window's or a gate dialog's controls from its table, placing each at its rectangle
// converted with the parent's font. A control with an id gets that id as its object name
// ("1004"), which is how windows, gate dialogs and tests find it again.
//
// The tables were measured in another font, so captions may widen to their text rather than be
// cut: a Label or Radio pushes what follows on its rows aside (growRight); a one-line Caption
// widens over its neighbours, which the gate dialogs leave room for. Value fields keep their
// size.
class ControlTable {
public:
    ControlTable(QWidget* parent, std::span<const ControlRow> rows);

    QWidget* widget(int id) const;
    template <typename T> T* get(int id) const { return qobject_cast<T*>(widget(id)); }

private:
    QWidget* parent_;
};

} // namespace amplex::ui
