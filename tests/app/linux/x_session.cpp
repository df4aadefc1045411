#include "tests/app/linux/x_session.h"

#include <iterator>

#include <X11/Xutil.h>

#include <bit>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

[[noreturn]] void execWith(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment) {
    for (const auto& [name, value] : environment)
        setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
}

std::optional<int> reap(int pid, bool block, long* peakMemoryKb = nullptr) {
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, block ? 0 : WNOHANG, &usage) != pid)
        return std::nullopt;
    if (peakMemoryKb)
        *peakMemoryKb = usage.ru_maxrss;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

VirtualXServer::VirtualXServer() {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        close(pipeEnds[0]);
        const std::string fd = std::to_string(pipeEnds[1]);
        int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, 1);
        dup2(devNull, 2);
        execWith({"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "+extension", "GLX", "+extension",
                  "RANDR", "-nolisten", "tcp", "-noreset"},
                 {});
    }
    close(pipeEnds[1]);
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    char c = 0;
    while (read(pipeEnds[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(pipeEnds[0]);
    if (number.empty())
        return;
    name_ = ":" + number;
    display_ = XOpenDisplay(name_.c_str());
}

VirtualXServer::~VirtualXServer() {
    if (display_)
        XCloseDisplay(display_);
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        reap(pid_, true);
    }
}

ChildProcess::ChildProcess(const std::vector<std::string>& arguments,
                           const std::map<std::string, std::string>& environment,
                           const std::filesystem::path& outputFile)
    : outputFile_(outputFile) {
    pid_ = fork();
    if (pid_ == 0) {
        int out = open(outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
        execWith(arguments, environment);
    }
}

ChildProcess::~ChildProcess() {
    if (running()) {
        kill(pid_, SIGKILL);
        reap(pid_, true);
    }
}

bool ChildProcess::running() {
    if (!exitCode_ && pid_ > 0)
        exitCode_ = reap(pid_, false, &peakMemoryKb_);
    return pid_ > 0 && !exitCode_;
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds limit) {
    eventually(limit, [this] { return !running(); });
    return exitCode_;
}

void ChildProcess::signal(int number) {
    if (running())
        kill(pid_, number);
}

std::string ChildProcess::output() const {
    std::ifstream in(outputFile_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool eventually(std::chrono::milliseconds limit, const std::function<bool()>& condition) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (true) {
        if (condition())
            return true;
        if (std::chrono::steady_clock::now() >= end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

double Pixels::litShare(int level) const {
    if (rgb.empty())
        return 0;
    std::size_t lit = 0;
    for (std::size_t i = 0; i < rgb.size(); i += 3)
        if (rgb[i] > level || rgb[i + 1] > level || rgb[i + 2] > level)
            ++lit;
    return static_cast<double>(lit) / static_cast<double>(rgb.size() / 3);
}

Pixels screenPixels(Display* display, Window window) {
    Pixels pixels;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes))
        return pixels;
    int x = 0, y = 0;
    Window child;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    XImage* image = XGetImage(display, attributes.root, x, y, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.width = attributes.width;
    pixels.height = attributes.height;
    auto channel = [](unsigned long pixel, unsigned long mask) {
        return static_cast<unsigned char>((pixel & mask) >> std::countr_zero(mask));
    };
    for (int row = 0; row < pixels.height; ++row)
        for (int column = 0; column < pixels.width; ++column) {
            const unsigned long p = XGetPixel(image, column, row);
            pixels.rgb.push_back(channel(p, image->red_mask));
            pixels.rgb.push_back(channel(p, image->green_mask));
            pixels.rgb.push_back(channel(p, image->blue_mask));
        }
    XDestroyImage(image);
    return pixels;
}

double ChildProcess::processorSeconds() const {
    // Fields 14 and 15 of /proc/PID/stat, user and system time in clock ticks; the name in field 2 is in
    // parentheses and may hold blanks, so counting starts after its closing one.
    std::ifstream stat("/proc/" + std::to_string(pid_) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return -1;
    std::istringstream fields(text.substr(nameEnd + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14)
            user = std::stoull(field);
        if (index == 15) {
            system = std::stoull(field);
            break;
        }
    }
    return static_cast<double>(user + system) / static_cast<double>(sysconf(_SC_CLK_TCK));
}
