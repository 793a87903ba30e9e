#include "core/random.h"

#include <cstdlib>

int drawRandom15() {
    return std::rand() >> 16;
}

int drawNonZeroRandom15() {
    int draw = 0;
    while (draw == 0) {
        draw = drawRandom15();
    }
    return draw;
}
