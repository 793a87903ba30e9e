#include "views/wholenumber.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace amplex::ui {

std::optional<int> parseWholeNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < trimmed.size() && (trimmed[i] == u'+' || trimmed[i] == u'-')) {
        negative = trimmed[i] == u'-';
        ++i;
    }
    if (i == trimmed.size()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (; i < trimmed.size(); ++i) {
        const char16_t c = trimmed[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        // Saturate early: the digits beyond the int range change nothing.
        value = std::min<std::int64_t>(value * 10 + (c - u'0'), std::int64_t{INT_MAX} + 1);
    }
    if (negative) {
        value = -value;
    }
    return static_cast<int>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX));
}

} // namespace amplex::ui
