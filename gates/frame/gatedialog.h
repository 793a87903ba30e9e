#pragma once

#include "gates/frame/gatedialogspec.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <utility>

class QLabel;
class QWidget;

namespace amplex::frame {

// A gate's parameter dialog, built from its GateDialogSpec.
//
// Each control's object name is its id ("1001"), so tests find it. Every show and hide refills
// the bit lists with the qubits 0 .. n - 1 of the register at that moment and puts back the
// initial selections and texts. The dialog keeps no other state. Escape, Enter and the close
// box hide it; the host destroys it through dlghide.
//
// Under the controls a line explains why the last "Execute" ran nothing: the readers below
// write it when they refuse an input, naming the controls by their captions in the table, and
// every click of "Execute" clears it first.
class GateDialog : public QDialog {
public:
    // How two selected qubits must relate for a gate to run.
    enum class PairRule { Distinct, Ordered };

    explicit GateDialog(const GateDialogSpec& description, QWidget* parent = nullptr);

    // Qubit count of the register behind r, 0 without one.
    int qubitCount() const;
    // Selected position of a bit list, -1 when nothing is selected.
    int selection(int listId) const;
    // The selected qubit of a bit list when it lies in 0 .. n - 1; otherwise refuses.
    std::optional<int> selectedBit(int listId);
    // Both selections when they lie in 0 .. n - 1 and obey the rule; otherwise refuses.
    std::optional<std::pair<int, int>> selectedPair(int firstId, int secondId, PairRule rule);
    // The first maxChars characters of an edit field parsed with "%i" (decimal, 0x hex, 0
    // octal); nothing when the text does not begin with a number.
    std::optional<std::int32_t> scanInt(int editId, int maxChars = 31) const;
    // The same with "%u".
    std::optional<std::uint32_t> scanUnsigned(int editId, int maxChars = 31) const;
    // The same with "%lli", for telling a value beyond 32 bits from the one "%i" makes of it.
    std::optional<std::int64_t> scanWide(int editId, int maxChars = 31) const;
    // The first maxChars characters of an edit field, blanks around them cut, as a finite
    // decimal number ("22.5", "-90", "1e3"; always a point, whatever the locale); nothing
    // for anything else, "inf" and "nan" included.
    std::optional<double> scanDouble(int editId, int maxChars = 31) const;
    // scanInt, scanUnsigned and scanDouble, refusing a field that holds no number.
    std::optional<std::int32_t> requireInt(int editId, int maxChars = 31);
    std::optional<std::uint32_t> requireUnsigned(int editId, int maxChars = 31);
    std::optional<double> requireDouble(int editId, int maxChars = 31);

    // Shows why nothing ran in the explanation line; an empty text clears it.
    void refuse(const QString& why);
    QString explanation() const;
    // The caption of a control in the table: the label on its row to its left, else the
    // nearest label above it that overlaps it, without the trailing ":".
    QString caption(int id) const;

    QWidget* control(int id) const;
    // Empties the bit lists, adds the qubits and puts back the initial values.
    void fill();

    static constexpr int ExplanationId = 999;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QByteArray fieldText(int editId, int maxChars) const;
    void runExecute();

    const GateDialogSpec& description_;
    QLabel* explanation_ = nullptr;
    // A mouse button is down on a bit list: its selection changes are the user's choice.
    bool pointerChoosing_ = false;
};

} // namespace amplex::frame
