#pragma once

// The dialog tables that the standard gates share, and what their "Execute" does.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"
#include "gates/standard/qubitangle.h"

namespace amplex::standard {

using frame::ControlKind;
using frame::ControlSpec;
using frame::GateDialog;
using frame::Preselect;

inline constexpr int AngleField = 1003;

// One bit list; the gate's argument word is the selected qubit itself.
inline constexpr ControlSpec bitControls[] = {
    {ControlKind::Label, 0, "select bit:", {7, 7, 55, 10}},
    {ControlKind::BitList, 1001, "", {37, 22, 36, 151}, Preselect::First},
    frame::tables::executeButton,
};

inline void executeSelectedBit(GateDialog& dialog) {
    if (const auto k = dialog.selectedBit(1001)) {
        execute(static_cast<std::intptr_t>(*k));
    }
}

// One bit list and an angle in degrees, which may have a fractional part.
inline constexpr ControlSpec bitAngleControls[] = {
    {ControlKind::Label, 0, "select bit:", {7, 7, 55, 10}},
    {ControlKind::BitList, 1001, "", {37, 22, 36, 116}, Preselect::First},
    {ControlKind::Label, 0, "angle (in degrees):", {7, 145, 69, 10}},
    {ControlKind::Edit, AngleField, "90", {35, 160, 42, 11}},
    frame::tables::executeButton,
};

inline void executeBitAndAngle(GateDialog& dialog) {
    const auto k = dialog.selectedBit(1001);
    const auto degrees = k ? dialog.requireDouble(AngleField) : std::nullopt;
    if (k && degrees) {
        std::int32_t block[3];
        execute(argumentWord(putQubitAngle(block, *k, *degrees)));
    }
}

// Two lists of equal standing (the swap).
inline constexpr ControlSpec bitPairControls[] = {
    {ControlKind::Label, 0, "select bits:", {7, 7, 55, 10}},
    {ControlKind::Label, 0, "1st:", {7, 22, 24, 8}},
    {ControlKind::BitList, 1001, "", {17, 38, 27, 135}, Preselect::First},
    {ControlKind::Label, 0, "2nd:", {57, 22, 29, 11}},
    {ControlKind::BitList, 1002, "", {67, 38, 27, 135}, Preselect::SecondOrFirst},
    frame::tables::executeButton,
};

} // namespace amplex::standard
