#pragma once

#include <X11/Xlib.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A virtual X server (Xvfb with GLX and RANDR) on a display number it picks itself, for one test.
class VirtualXServer {
public:
    VirtualXServer();
    ~VirtualXServer();
    VirtualXServer(const VirtualXServer&) = delete;
    VirtualXServer& operator=(const VirtualXServer&) = delete;

    bool running() const { return display_ != nullptr; }
    const std::string& name() const { return name_; } // ":N"
    Display* display() const { return display_; }     // the test's own connection

private:
    int pid_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

// A program started by a test, its standard output and error going to one file.
class ChildProcess {
public:
    ChildProcess(const std::vector<std::string>& arguments,
                 const std::map<std::string, std::string>& environment,
                 const std::filesystem::path& outputFile);
    ~ChildProcess(); // kills the program if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // The exit code once the program has ended within `limit`; -1 for a program killed by a signal.
    std::optional<int> waitForExit(std::chrono::milliseconds limit);
    bool running();
    void signal(int number);
    std::string output() const;
    // Seconds of processor time the program has used so far, all its threads together; -1 once it has ended.
    double processorSeconds() const;
    // The most memory the program held at once, in KiB, once it has ended.
    long peakMemoryKb() const { return peakMemoryKb_; }

private:
    int pid_ = -1;
    std::optional<int> exitCode_;
    long peakMemoryKb_ = 0;
    std::filesystem::path outputFile_;
};

// Polls `condition` every 50 ms until it holds or `limit` passes.
bool eventually(std::chrono::milliseconds limit, const std::function<bool()>& condition);

// The RGB pixels of a window's area as the screen shows it (the root window's contents under it).
struct Pixels {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    const unsigned char* at(int x, int y) const {
        return &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
    }
    // The share of pixels with any channel above `level`.
    double litShare(int level = 24) const;
};
Pixels screenPixels(Display* display, Window window);
