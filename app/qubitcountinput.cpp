#include "app/qubitcountinput.h"

#include <cstdint>
#include <cstdio>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::optional<int> QubitCountInput::parse(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    if (text.empty()) {
        return std::nullopt;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        // Stop counting once out of range, so a long row of digits cannot overflow.
        if (value <= MaxQubits) {
            value = value * 10 + (c - '0');
        }
    }
    if (value < MinQubits || value > MaxQubits) {
        return std::nullopt;
    }
    return value;
}

std::string QubitCountInput::confirmationText(int count) {
    // Complex amplitudes of 24 bytes each.
    const double bytes = 24.0 * static_cast<double>(std::uint64_t{1} << count);
    const bool gigabytes = bytes >= 1024.0 * 1024.0 * 1024.0;
    char text[200];
    std::snprintf(text, sizeof text,
                  "Are you sure? The register of %d qubits takes %.*f %s of memory, and every "
                  "recorded step keeps a copy of it.",
                  count, gigabytes ? 1 : 0, bytes / (gigabytes ? 1073741824.0 : 1048576.0),
                  gigabytes ? "GB" : "MB");
    return text;
}

std::string QubitCountInput::quitText(int steps) {
    const std::string digits = std::to_string(steps);
    std::string number;
    for (std::size_t k = 0; k < digits.size(); ++k) {
        if (k > 0 && (digits.size() - k) % 3 == 0) {
            number += ',';
        }
        number += digits[k];
    }
    return "Quit Amplex? The " + number + (steps == 1 ? " recorded step" : " recorded steps") +
           " will be lost.";
}
