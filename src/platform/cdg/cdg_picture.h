#pragma once

#include <cstddef>
#include <cstdint>

class CdgScreen;

// Where the CD+G picture sits in a video frame: the screen drawn scale times over at
// (left, top), the rest of the frame in the border colour, so a frame of the display's shape
// fills it with no black bars.
struct CdgFrameLayout
{
    int width = 0;
    int height = 0;
    int scale = 1;
    int left = 0;
    int top = 0;

    // A frame of the display's shape: the picture at its own size (the video sink scales it)
    // or, with fillDisplay, at the display's size with the largest whole scale that fits. A
    // display smaller than the picture, or of no size, gets the picture alone.
    static CdgFrameLayout forDisplay(int displayWidth, int displayHeight, bool fillDisplay);

    std::size_t stride() const { return std::size_t(width) * 4; }
    std::size_t bytes() const { return stride() * std::size_t(height); }
};

// Draws the screen into a frame of layout's size, four bytes a pixel in the order blue,
// green, red, unused (BGRx).
void drawCdgFrame(const CdgScreen &screen, const CdgFrameLayout &layout, std::uint8_t *frame);
