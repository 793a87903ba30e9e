#include "app/qubitcountinput.h"

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
