#pragma once

// The sign oracle's parameter dialog, shared unchanged but for the caption by the search step
// and the search: from and to lists, six value fields where the function evaluates to 1, and
// an Execute that sends the nine-int block {from, to, 6, values...}. The value fields are
// shared with the bit oracle as well.

#include "gates/frame/gatedialog.h"
#include "gates/frame/gateplugin.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace amplex::oracle {

inline constexpr int ValueCount = 6;
inline constexpr int FirstValueId = 1003;
// A value slot holding this marks nothing: no input value is negative.
inline constexpr std::int32_t EmptySlot = -1;
// The most values an oracle's block may list; a larger count is refused (the gate does
// nothing), so a wrong count can never send the gate reading far beyond its caller's block.
inline constexpr std::int32_t MaxValueCount = std::int32_t{1} << 26;

using frame::ControlKind;
using frame::ControlSpec;
using frame::Preselect;

// One dialog table made of two parts, so a part is declared once and used in several tables.
template <std::size_t A, std::size_t B>
constexpr std::array<ControlSpec, A + B> joinControls(const std::array<ControlSpec, A>& first,
                                                      const std::array<ControlSpec, B>& second) {
    std::array<ControlSpec, A + B> joined{};
    for (std::size_t i = 0; i < A; ++i) {
        joined[i] = first[i];
    }
    for (std::size_t i = 0; i < B; ++i) {
        joined[A + i] = second[i];
    }
    return joined;
}

// The lower half of the oracle dialogs: the six value fields (the first "0", the others
// empty) and the Execute button.
inline constexpr std::array<ControlSpec, 8> valueControls{{
    {ControlKind::Label, 0, "values, where function evaluates to 1:", {7, 116, 100, 18}},
    {ControlKind::Edit, 1003, "0", {7, 137, 42, 11}},
    {ControlKind::Edit, 1004, "-1", {65, 137, 42, 11}},
    {ControlKind::Edit, 1005, "-1", {7, 151, 42, 11}},
    {ControlKind::Edit, 1006, "-1", {65, 151, 42, 11}},
    {ControlKind::Edit, 1007, "-1", {7, 165, 42, 11}},
    {ControlKind::Edit, 1008, "-1", {65, 165, 42, 11}},
    frame::tables::executeButton,
}};

inline constexpr auto signOracleControls =
    joinControls(std::array<ControlSpec, 5>{{
                     {ControlKind::Label, 0, "select function parameter:", {7, 7, 93, 10}},
                     {ControlKind::Label, 0, "from:", {7, 22, 24, 8}},
                     {ControlKind::BitList, 1001, "", {17, 38, 27, 69}, Preselect::First},
                     {ControlKind::Label, 0, "to:", {57, 22, 29, 11}},
                     {ControlKind::BitList, 1002, "", {67, 38, 27, 69}, Preselect::Last},
                 }},
                 valueControls);

// The six value fields in order; a field whose text is not a number counts as EmptySlot.
inline std::array<std::int32_t, ValueCount> markedValues(const frame::GateDialog& dialog) {
    std::array<std::int32_t, ValueCount> values{};
    for (int k = 0; k < ValueCount; ++k) {
        values[static_cast<std::size_t>(k)] = dialog.scanInt(FirstValueId + k).value_or(EmptySlot);
    }
    return values;
}

// Execute of the sign oracle, search step and search dialogs: nothing unless
// 0 <= from <= to < n, then this library's own execute with {from, to, 6, values...}.
inline void executeWithMarkedValues(frame::GateDialog& dialog) {
    const auto range = dialog.selectedPair(1001, 1002, frame::GateDialog::PairRule::Ordered);
    if (!range) {
        return;
    }
    const auto values = markedValues(dialog);
    std::array<std::int32_t, 3 + ValueCount> block{range->first, range->second, ValueCount};
    for (std::size_t k = 0; k < values.size(); ++k) {
        block[3 + k] = values[k];
    }
    execute(argumentWord(block.data()));
}

} // namespace amplex::oracle
