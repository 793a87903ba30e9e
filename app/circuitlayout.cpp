#include "app/circuitlayout.h"

#include "app/stephistory.h"
#include "app/stepoperation.h"
#include "core/segmentation.h"

#include <algorithm>
#include <charconv>
#include <numbers>
#include <string_view>

using Mark = CircuitLayout::Mark;
using Kind = CircuitLayout::Mark::Kind;

namespace {

// The box labels of the one-qubit gates and of the targets of controlled ones.
constexpr std::pair<std::string_view, std::string_view> GateLabels[] = {
    {"h", "H"},
    {"t", "T"},
    {"x", "X"},
    {"y", "Y"},
    {"z", "Z"},
    {"s", "S"},
    {"sdg", "S†"},
    {"tdg", "T†"},
    {"p", "P"},
    {"rx", "Rx"},
    {"ry", "Ry"},
    {"rz", "Rz"},
    {"cp", "P"},
    {"ch", "H"},
    {"measure", "M"},
    {"bitmirror", "Mirror"},
    {"invfourier", "QFT†"},
    {"seekerstep", "Search\nstep"},
    {"power", "Power"},
};

std::string gateLabel(const amplex::Operation& op) {
    std::string label;
    for (const auto& [name, text] : GateLabels) {
        if (op.name == name) {
            label = text;
        }
    }
    if (op.name == "measure") {
        label += "\n= " + std::to_string(static_cast<long long>(op.params[0]));
    } else if (!op.params.empty()) {
        // Angles as the dialogs take them, in degrees; 4 digits fit the column.
        char digits[32];
        const auto end =
            std::to_chars(digits, digits + sizeof digits, op.params[0] * 180.0 / std::numbers::pi,
                          std::chars_format::general, 4)
                .ptr;
        label += '\n' + std::string(digits, end) + "°";
    }
    return label;
}

int segmentOf(const Segmentation& segmentation, int qubit, int qubitCount) {
    for (int c = 0; c < segmentation.segmentCount; ++c) {
        const BitRange range = segmentation.bitRange(c, qubitCount);
        if (qubit >= range.first && qubit <= range.last) {
            return c;
        }
    }
    return -1;
}

} // namespace

CircuitLayout::Column CircuitLayout::column(const char* stepText, int qubitCount) {
    const amplex::Operation op = StepOperation::read(stepText);
    Column column;
    column.text = op.text;
    auto& marks = column.marks;
    const bool inRegister =
        !op.qubits.empty() &&
        std::all_of(op.qubits.begin(), op.qubits.end(), [&](int k) { return k < qubitCount; });
    const int last = op.qubits.empty() ? 0 : op.qubits.back();
    const std::string label = gateLabel(op);
    if (!inRegister) {
        marks.push_back({Kind::Box, 0, qubitCount - 1, op.text});
    } else if (op.name == "cx" || op.name == "ccx" || op.name == "cz" || op.name == "swap" ||
               op.name == "ch" || op.name == "cp") {
        const Kind control = op.name == "swap" ? Kind::Cross : Kind::Dot;
        for (std::size_t i = 0; i + 1 < op.qubits.size(); ++i) {
            marks.push_back({control, op.qubits[i], op.qubits[i], {}});
        }
        const Kind target = op.name == "cx" || op.name == "ccx" ? Kind::Target
                            : label.empty()                     ? control
                                                                : Kind::Box;
        marks.push_back({target, last, last, label});
    } else if (op.name == "hadamardrange") {
        for (const int k : op.qubits) {
            marks.push_back({Kind::Box, k, k, "H"});
        }
    } else if (!label.empty()) {
        // A range; the power's two ranges lie either way round.
        const auto [low, high] = std::minmax_element(op.qubits.begin(), op.qubits.end());
        marks.push_back({Kind::Box, *low, *high, label});
    } else {
        marks.push_back({Kind::Box, 0, qubitCount - 1, op.text});
    }
    if (marks.size() > 1 && op.name != "hadamardrange") {
        const auto [low, high] = std::minmax_element(op.qubits.begin(), op.qubits.end());
        column.lineFirst = *low;
        column.lineLast = *high;
    }
    return column;
}

CircuitLayout CircuitLayout::build(const StepHistory& history, int qubitCount,
                                   const Segmentation* segmentation, Metrics metrics) {
    CircuitLayout layout;
    layout.metrics_ = metrics;
    const bool grouped = segmentation && segmentation->segmentCount > 1;
    int y = metrics.margin + metrics.rowHeight / 2;
    for (int k = 0; k < qubitCount; ++k) {
        if (k > 0) {
            y += metrics.rowHeight;
            if (grouped && segmentOf(*segmentation, k, qubitCount) !=
                               segmentOf(*segmentation, k - 1, qubitCount)) {
                y += metrics.segmentGap;
            }
        }
        layout.wireY_.push_back(y);
    }
    layout.height_ = y + metrics.rowHeight / 2 + metrics.margin;
    for (int k = 0; k < history.historySize(); ++k) {
        if (!history.isVisible(k)) {
            continue;
        }
        layout.columns_.push_back(CircuitLayout::column(history.entry(k).text, qubitCount));
        layout.columns_.back().entry = k;
    }
    layout.setPosition(history.historyPosition());
    return layout;
}

void CircuitLayout::setPosition(int position) {
    current_ = -1;
    for (std::size_t c = 0; c < columns_.size(); ++c) {
        columns_[c].undone = columns_[c].entry >= position;
        if (!columns_[c].undone) {
            current_ = static_cast<int>(c);
        }
    }
}

std::pair<int, int> CircuitLayout::boxSpan(int first, int last) const {
    const int inset = metrics_.rowHeight / 2 - 3;
    return {wireY(first) - inset, wireY(last) + inset};
}

int CircuitLayout::columnAt(int x) const {
    if (x < 0) {
        return -1;
    }
    const int c = x / metrics_.columnWidth;
    return c < static_cast<int>(columns_.size()) ? c : -1;
}

std::pair<int, int> CircuitLayout::columnsIn(int x, int width) const {
    const int w = metrics_.columnWidth;
    const int count = static_cast<int>(columns_.size());
    const int first = std::clamp(x / w, 0, count);
    const int last = std::clamp((x + width + w - 1) / w, first, count);
    return {first, last};
}
