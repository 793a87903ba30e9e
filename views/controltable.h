#pragma once

#include <QRect>
#include <QWidget>

#include <span>

class QFontMetrics;

namespace amplex::ui {

// Kinds of control that the windows' templates use.
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
};

// One control of a window template: kind, id (0 for none), text, rectangle in dialog units and
// the tooltip that says what it does.
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

// Every window's font: the application's family at 8 points, the size the templates' dialog
// units were laid out for.
void applyDialogFont(QWidget* window);

// Builds a window's controls from its template, placing each at its rectangle converted with
// the parent's font. A control with an id gets that id as its object name ("1004"), which is
// how windows and tests find it again.
class ControlTable {
public:
    ControlTable(QWidget* parent, std::span<const ControlRow> rows);

    QWidget* widget(int id) const;
    template <typename T> T* get(int id) const { return qobject_cast<T*>(widget(id)); }

private:
    QWidget* parent_;
};

} // namespace amplex::ui
