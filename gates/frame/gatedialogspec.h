#pragma once

#include <span>

namespace amplex::frame {

class GateDialog;

// A rectangle in dialog units: a horizontal unit is a quarter of the dialog font's average
// character width, a vertical unit an eighth of its height.
struct DialogUnits {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// The controls a gate dialog offers, built by the program's control table like its own windows':
// a Label is top-left aligned and wraps when its rectangle is two lines tall or more; an Edit is
// right-aligned; a BitList lists the qubits 0 .. n - 1.
enum class ControlKind { Label, BitList, Edit, Button };

// Which qubit a bit list selects each time the dialog is shown or hidden (n qubits).
enum class Preselect {
    None,          // nothing selected
    First,         // qubit 0
    SecondOrFirst, // qubit 1, or 0 on a one-qubit register
    SecondLast,    // qubit n - 2 (nothing on a one-qubit register)
    Last,          // qubit n - 1
};

// One control of a dialog template. Labels have id 0. For an edit field, text is its
// initial text, put back each time the dialog is shown or hidden.
struct ControlSpec {
    ControlKind kind = ControlKind::Label;
    int id = 0;
    const char* text = "";
    DialogUnits rect;
    Preselect preselect = Preselect::None;
};

// A gate's parameter dialog: caption, controls and what its events do.
struct GateDialogSpec {
    const char* caption = "";
    std::span<const ControlSpec> controls;
    // The "Execute" button (id 1000) was clicked.
    void (*onExecute)(GateDialog&) = nullptr;
    // The user changed the selection of a bit list (mouse or keyboard).
    void (*onSelectionChanged)(GateDialog&, int listId) = nullptr;
};

inline constexpr int ExecuteButtonId = 1000;

// Controls that several gates share.
namespace tables {

inline constexpr ControlSpec executeButton{
    ControlKind::Button, ExecuteButtonId, "Execute", {7, 180, 100, 19}};

// "select range:" with from and to lists over the whole register (range gates).
inline constexpr ControlSpec rangeControls[] = {
    {ControlKind::Label, 0, "select range:", {7, 7, 55, 10}},
    {ControlKind::BitList, 1001, "", {17, 38, 27, 135}, Preselect::First},
    {ControlKind::Label, 0, "from:", {7, 22, 24, 8}},
    {ControlKind::Label, 0, "to:", {57, 22, 29, 11}},
    executeButton,
    {ControlKind::BitList, 1002, "", {67, 38, 27, 135}, Preselect::Last},
};

// Control and target lists (controlled gates).
inline constexpr ControlSpec controlledPairControls[] = {
    {ControlKind::BitList, 1001, "", {17, 38, 27, 135}, Preselect::First},
    {ControlKind::Label, 0, "controlbit:", {7, 22, 42, 8}},
    {ControlKind::Label, 0, "targetbit:", {57, 22, 29, 11}},
    executeButton,
    {ControlKind::BitList, 1002, "", {67, 38, 27, 135}, Preselect::Last},
};

} // namespace tables
} // namespace amplex::frame
