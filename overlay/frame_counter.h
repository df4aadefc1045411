#pragma once

// The frame counter's number: the frames a second over the last window of just over one second, in whole
// frames. A window closes at the first frame that ends more than a second after it opened, so it runs up to
// one frame longer than a second; counting its frames alone would show one too many (11 at 10 frames a
// second), so the count is divided by the window's length and rounded.
class FrameCounter {
public:
    // Called once per frame before the overlay is drawn, with the seconds since the current window opened.
    // The frame is counted in the window it ends; once that window has run for more than a second, its rate
    // becomes the shown value and a new window opens: the caller starts its timing again. Returns whether
    // that happened.
    bool frameEnded(double windowSeconds);

    // 0 until the first window has passed.
    int value() const { return value_; }

private:
    int framesInWindow_ = 0;
    int value_ = 0;
};
