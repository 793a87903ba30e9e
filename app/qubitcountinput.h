#pragma once

#include <optional>
#include <string>
#include <string_view>

// The rules of the qubits field of the control bar.
//
// Only a whole decimal number from MinQubits to MaxQubits counts, optionally surrounded by
// blanks and with a leading "+". Anything else is refused whole: "12abc", " 5x", "", "0x10",
// "3.5". (A leading zero does not switch to octal: "010" is ten, as the user means it.)
class QubitCountInput {
public:
    static constexpr int MinQubits = 1;
    static constexpr int MaxQubits = 26;
    // Counts above this ask the user first: the register and every snapshot grow to gigabytes.
    static constexpr int ConfirmAbove = 16;

    // The count the text names, or nothing when it is refused.
    static std::optional<int> parse(std::string_view text);
    static bool needsConfirmation(int count) { return count > ConfirmAbove; }
    // The question asked before a register of that many qubits: its size in memory, and that
    // each recorded step keeps a copy of it.
    static std::string confirmationText(int count);
    // "Quit Amplex? The 1,402 recorded steps will be lost."
    static std::string quitText(int steps);
};
