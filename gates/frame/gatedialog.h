#pragma once

#include "gates/frame/gatedialogspec.h"

#include <QDialog>

#include <cstdint>
#include <optional>
#include <utility>

class QWidget;

namespace amplex::frame {

// A gate's parameter dialog, built from its GateDialogSpec.
//
// Each control's object name is its id ("1001"), so tests find it. Every show and hide refills
// the bit lists with the qubits 0 .. n - 1 of the register at that moment and puts back the
// initial selections and texts. The dialog keeps no other state. Escape, Enter and the close
// box hide it; the host destroys it through dlghide.
class GateDialog : public QDialog {
public:
    // How two selected qubits must relate for a gate to run.
    enum class PairRule { Distinct, Ordered };

    explicit GateDialog(const GateDialogSpec& description, QWidget* parent = nullptr);

    // Qubit count of the register behind r, 0 without one.
    int qubitCount() const;
    // Selected position of a bit list, -1 when nothing is selected.
    int selection(int listId) const;
    // Both selections when they lie in 0 .. n - 1 and obey the rule.
    std::optional<std::pair<int, int>> selectedPair(int firstId, int secondId, PairRule rule) const;
    // The first maxChars characters of an edit field parsed with "%i" (decimal, 0x hex, 0
    // octal); nothing when the text does not begin with a number.
    std::optional<std::int32_t> scanInt(int editId, int maxChars = 31) const;
    // The same with "%u".
    std::optional<std::uint32_t> scanUnsigned(int editId, int maxChars = 31) const;

    QWidget* control(int id) const;
    // Empties the bit lists, adds the qubits and puts back the initial values.
    void fill();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QByteArray fieldText(int editId, int maxChars) const;

    const GateDialogSpec& description_;
};

} // namespace amplex::frame
