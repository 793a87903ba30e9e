#pragma once

#include <string>
#include <utility>
#include <vector>

class Segmentation;
class StepHistory;

// Where the Circuit window draws what: one wire per qubit (qubit 0 on top), one column per step
// that the depth filter shows, all recorded steps including the undone ones after the position.
// Pixels come from Metrics; the window only paints what this says, and only the columns in view.
//
// Column x positions count from the left of the scrolled area (the wire labels stay put left of
// it). Wires of different segments lie SegmentGap apart instead of next to each other.
class CircuitLayout {
public:
    struct Metrics {
        int columnWidth = 56;
        int rowHeight = 30;
        int segmentGap = 14;
        int margin = 8; // above the first wire and below the last
    };

    // What is drawn on the wires of one column.
    struct Mark {
        enum class Kind {
            Dot,    // a control
            Target, // the circle with a cross of a controlled NOT
            Cross,  // one end of a swap
            Box,    // a box over the wires first .. last with a label
        };
        Kind kind = Kind::Box;
        int first = 0; // qubits
        int last = 0;
        std::string label; // lines joined by '\n'
        bool operator==(const Mark&) const = default;
    };

    struct Column {
        int entry = 0; // the history entry it shows
        bool undone = false;
        // The vertical line joining the marks, or none (lineFirst > lineLast).
        int lineFirst = 0;
        int lineLast = -1;
        std::vector<Mark> marks;
        std::string text; // the step text
    };

    // The columns of the history's steps up to its size at its depth filter, for a register of
    // qubitCount qubits divided by segmentation (null: one group).
    static CircuitLayout build(const StepHistory& history, int qubitCount,
                               const Segmentation* segmentation, Metrics metrics);
    // The marks of one step: its operation's symbols, or a box with the whole text across every
    // wire when its operation names no qubits or one outside the register.
    static Column column(const char* stepText, int qubitCount);

    const Metrics& metrics() const { return metrics_; }
    int qubitCount() const { return static_cast<int>(wireY_.size()); }
    int wireY(int qubit) const { return wireY_[static_cast<std::size_t>(qubit)]; }
    // Top and bottom of a box over the wires first .. last.
    std::pair<int, int> boxSpan(int first, int last) const;
    int height() const { return height_; }
    int width() const { return static_cast<int>(columns_.size()) * metrics_.columnWidth; }
    const std::vector<Column>& columns() const { return columns_; }
    int columnX(int c) const { return c * metrics_.columnWidth; }
    // The column under x, or -1 outside every column.
    int columnAt(int x) const;
    // The columns [first, last) that a view from x to x + width shows, even in part.
    std::pair<int, int> columnsIn(int x, int width) const;
    // Marks the steps from position on as undone and picks the current column anew: all that
    // back, forward and a click change, without reading the steps again.
    void setPosition(int position);
    // The column of the step the register shows: the last one up to the history position, or -1
    // at the reset state.
    int currentColumn() const { return current_; }

private:
    Metrics metrics_;
    std::vector<int> wireY_;
    int height_ = 0;
    std::vector<Column> columns_;
    int current_ = -1;
};
