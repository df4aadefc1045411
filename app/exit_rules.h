#pragma once

// What ends a saver run, fed by the shell's input events and read once per frame: any key press or a left or
// right click, or, when the MouseExit setting asks for it, the pointer travelling right or down by more than
// about 23 pixels within one frame-counter second.
class ExitRules {
public:
    void keyOrButtonPressed() { pressed_ = true; }

    // The pointer's offset from the centre of the window at its last move, in pixels; the latest move wins.
    void pointerMoved(int dxFromCentre, int dyFromCentre);

    // Adds the last move to the travel. True when the pointer must be put back in the window's centre.
    bool takePointerMove();

    // Called by the frame counter each time its one-second window rolls over.
    void clearTravel() { travel_ = 0; }

    bool shouldExit(bool mouseExit) const { return pressed_ || (mouseExit && travel_ > 7.0f); }
    float travel() const { return travel_; }

private:
    bool pressed_ = false;
    float deltaX_ = 0; // offsets × 0.3, signed: right and down are positive
    float deltaY_ = 0;
    float travel_ = 0;
};
