#pragma once

// The program-wide pseudo-random draw, 0 .. 32767.
//
// Program and plug-ins all draw from the C library's generator, which the program seeds
// once at start; glibc's rand() has 31 bits, so the draw keeps its top 15.
int drawRandom15();
// A draw of 1 .. 32767: a draw of 0 is drawn again.
int drawNonZeroRandom15();

// The double nearest to 1/32767, which turns a draw into a number in 0 .. 1.
inline constexpr double RandomScale = 0.00003051850947599719;
