#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

class QRegister;

namespace amplex::ui {

class PixelCanvas;

// The graph of amplitudes as pointers, pixel for pixel.
//
// Over a one-pixel black outline filled with white, with a = h / 2 and N = 2^n: for each basis
// index k a black line from the base point (x, a) towards (x - h*im/2, a - h*re/2), truncated,
// the end excluded, at x = w / (2N) + a + (k*(w - h)) / N, and then a red pixel at the base.
// So the amplitude 1 points up, -1 down, i left and -i right, magnitude 1 reaching h/2.
//
// The pointers of one pixel column share their base point: each distinct end point is drawn
// once, then the red base, which gives the same picture as every pointer in order.
class RegisterGraph {
public:
    // Renders reg into image (RGB32, the drawing area's size). A null register leaves the
    // area cleared.
    void render(const QRegister* reg, QImage& image);

private:
    void flushColumn(PixelCanvas& canvas, int x, int a);

    // End points near the base, as offsets in a square of side 2R + 1, marked once per column.
    int radius_ = 0;
    std::vector<std::uint8_t> marked_;
    std::vector<std::int32_t> markedList_;
    // End points outside that square (only amplitudes of magnitude above 1 get there).
    std::vector<QPoint> farEnds_;
};

} // namespace amplex::ui
