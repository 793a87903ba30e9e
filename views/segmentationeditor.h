#pragma once

#include "core/segmentation.h"

#include <QString>

class QRegister;

namespace amplex::ui {

// The operations of the Segmentation dialog on the register's Segmentation record, without a
// screen. Every change is written into the record at once.
//
// Segment numbers that the record does not hold are never read or written: with no segment
// left nothing is selected and the option and field operations do nothing; segmentCount
// stays within 0 .. MaxSegments and segmentEnd is written only at entries 0 .. MaxSegments.
class SegmentationEditor {
public:
    // live: the program's register (not owned); its segmentation link is read at refresh().
    explicit SegmentationEditor(QRegister& live);

    // Fetches the record again and selects segment 0 (nothing when no segment is left).
    void refresh();

    // The record last fetched; null when the register has none.
    Segmentation* segmentation() const { return segmentation_; }
    // Segments in use, 0 .. MaxSegments (0 without a record).
    int segmentCount() const;
    // The selected segment, or -1 when none.
    int selected() const { return selected_; }
    // Selects an existing segment; other numbers are refused (false) and change nothing.
    bool select(int segment);

    // "From:" of the selected segment: "0" and read-only for segment 0, the first bit
    // otherwise; empty and read-only when nothing is selected.
    QString fromText() const;
    bool fromReadOnly() const;
    // "To:": n - 1 and read-only for the last segment, the stored end otherwise.
    QString toText() const;
    bool toReadOnly() const;

    // Typed text for "From:" / "To:". Only a whole decimal number (optional sign and
    // surrounding blanks) that names a bit of the register is stored: "From:" b stores b - 1 as
    // the end of the segment before, "To:" t stores t as the end of the selected segment.
    // Anything else, or a read-only field, is refused (false) and changes nothing; the caller
    // then shows the stored values again.
    bool applyFrom(const QString& text);
    bool applyTo(const QString& text);

    int globalDirection() const;
    void setGlobalDirection(int value); // 0 or 1
    // Options of the selected segment; the defaults when nothing is selected.
    SegmentOptions options() const;
    void setDirection(int value); // 0 or 1
    void setDecimal(int value);   // 1 decimal, 0 binary
    void setZeroFill(int value);  // 1 or 0

    enum class AddResult { Added, Full };
    // A new last segment with default options that starts empty (its first bit is n); the
    // former last segment keeps reaching the top bit. With no segment left it makes the one
    // segment that covers the register. Full (and nothing changed) at MaxSegments. Refreshes.
    AddResult add();
    // Takes away the last segment, whichever is selected; nothing when none is left. Refreshes.
    void remove();

private:
    int qubitCount() const;
    SegmentOptions* selectedOptions() const;

    QRegister& live_;
    Segmentation* segmentation_ = nullptr;
    int selected_ = -1;
};

} // namespace amplex::ui
