#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

// How far a long run has come, on one line of a terminal that is redrawn in place: "sdd: 45% name".
// Only when standard error is a terminal, and only once the run has taken a second, so that short runs,
// pipes, logs and scripts see nothing of it. Every other message is written after clear(), so none is broken
// up.
class Progress {
public:
    // `total` in whatever unit advance() counts (bytes, say).
    explicit Progress(std::uint64_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // `done` of the total so far, working on `what` (a name, printed safely).
    void show(std::uint64_t done, std::string_view what);

    // Takes the line off the terminal, if one is shown.
    void clear();

private:
    bool enabled_;
    std::uint64_t total_;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastShown_{};
    bool shown_ = false;
};

// The progress line of the run, if one is on screen, so that a message can clear it first; set by Progress.
void clearProgressLine();
