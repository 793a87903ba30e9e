#pragma once

#include <string>

// The measurement field's text for a basis-state label: every "|" becomes a space, every ">"
// a comma, and the last character goes, so |5> reads " 5" and |3>|1> reads " 3, 1".
std::string measurementText(const char* label);
