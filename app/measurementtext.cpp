#include "app/measurementtext.h"

std::string measurementText(const char* label) {
    std::string text = label ? label : "";
    for (char& c : text) {
        if (c == '|') {
            c = ' ';
        } else if (c == '>') {
            c = ',';
        }
    }
    if (!text.empty()) {
        text.pop_back();
    }
    return text;
}
