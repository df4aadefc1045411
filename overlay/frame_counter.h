#pragma once

// The frame counter's number: how many frames were drawn in the last window of just over one second. It is a
// count, not frames divided by the window's length, so it moves in whole frames and never shows fractions.
class FrameCounter {
public:
    // Called once per frame before the overlay is drawn, with the seconds since the current window began.
    // Once the window has run for more than a second, the frames counted in it become the shown value and a
    // new count begins; the caller then starts a new window. Returns whether that happened.
    bool rollOver(double windowSeconds);

    // Called once per frame after the overlay is drawn.
    void countFrame() { ++framesInWindow_; }

    // 0 until the first window has passed.
    int value() const { return value_; }

private:
    int framesInWindow_ = 0;
    int value_ = 0;
};
