#pragma once

#include <string>

namespace amplex {

// Why an OpenQASM program cannot run, and where: line and column count from 1 (a column counts
// characters, not bytes); both are 0 when the file itself could not be read.
struct QasmError {
    int line = 0;
    int column = 0;
    std::string message;

    // "3:5: unknown gate \"u3\"", or the message alone without a place.
    std::string text() const {
        if (line <= 0) {
            return message;
        }
        return std::to_string(line) + ":" + std::to_string(column) + ": " + message;
    }
};

} // namespace amplex
