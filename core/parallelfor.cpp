#include "core/parallelfor.h"

#include <cstdlib>

namespace amplex::kernels {

int threadCount() {
    if (const char* text = std::getenv("AMPLEX_THREADS")) {
        char* end = nullptr;
        const long n = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && n >= 1 && n <= 256) {
            return static_cast<int>(n);
        }
    }
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : static_cast<int>(n);
}

} // namespace amplex::kernels
