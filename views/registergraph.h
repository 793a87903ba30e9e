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
    //
    // The columns are split into `parts` ranges of about equal amplitudes, scanned on threads
    // of their own; 0 splits over the cores for large registers, and does not split small
    // ones. Every split gives the same picture.
    void render(const QRegister* reg, QImage& image, int parts = 0);

private:
    struct Frame;
    // What one range of columns is drawn with. The first range draws into the picture; each
    // later one into a layer of its own, clear where it draws nothing, laid over the picture
    // in order afterwards: a pixel takes the colour of the last line or base drawn over it,
    // as when every pointer is drawn in order.
    struct Range {
        // End points near the base, as offsets in a square of side 2R + 1, marked once per
        // column.
        std::vector<std::uint8_t> marked;
        std::vector<std::int32_t> markedList;
        // End points outside that square (only amplitudes of magnitude above 1 get there).
        std::vector<QPoint> farEnds;
        QImage layer;
    };

    static void drawColumns(const Frame& frame, std::uint64_t from, std::uint64_t to, Range& range,
                            PixelCanvas& canvas);
    static void flushColumn(const Frame& frame, Range& range, PixelCanvas& canvas, int x);

    std::vector<Range> ranges_;
};

} // namespace amplex::ui
