#include "core/random.h"

#include <cstdlib>

int drawRandom15() {
    return std::rand() >> 16;
}
