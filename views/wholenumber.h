#pragma once

#include <QString>

#include <optional>

namespace amplex::ui {

// Reads a field that must hold one whole decimal number: optional blanks, an optional sign,
// digits, optional blanks. Anything else ("3x", "", "1.5", "0x10") gives nothing; leading
// zeros are decimal. Values beyond the int range saturate to INT_MIN / INT_MAX.
std::optional<int> parseWholeNumber(const QString& text);

} // namespace amplex::ui
