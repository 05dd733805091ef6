// Measures a windowed program from outside: the time from its fork and exec to the first
// non-black pixels in its window, then, after an optional click into the window and a wait,
// its peak resident memory. Needs a screen without a window manager (Xvfb), where the window
// opens at the top left corner and everything around it is black.
//
//   startup_probe [--click] [--hold SECONDS] [--timeout SECONDS] -- PROGRAM [ARGUMENT...]
//
// Prints one line, "first_frame_ms=<ms> vmhwm_kb=<kB>", and exits 0; on any failure a message
// on standard error and exit status 1. The program runs in the probe's working directory.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int windowWidth = 1024; // the size both measured programs ask for
constexpr int windowHeight = 512;
constexpr int sampledRows = 8; // rows of the window's area read on every poll

struct Options {
    bool click = false;
    double holdSeconds = 0.0;
    double timeoutSeconds = 30.0;
    std::vector<char*> command; // null-terminated for execvp
};

bool parseOptions(int argc, char** argv, Options& options) {
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--click") == 0) {
            options.click = true;
        } else if (std::strcmp(argv[i], "--hold") == 0 && i + 1 < argc) {
            options.holdSeconds = std::atof(argv[++i]);
        } else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc) {
            options.timeoutSeconds = std::atof(argv[++i]);
        } else {
            return false;
        }
    }
    for (++i; i < argc; ++i)
        options.command.push_back(argv[i]);
    options.command.push_back(nullptr);
    return options.command.size() > 1 && options.holdSeconds >= 0.0 && options.timeoutSeconds > 0.0;
}

// Whether any sampled pixel of the window's area at the screen's top left is not black.
bool windowAreaLit(Display* display) {
    const Window root = DefaultRootWindow(display);
    for (int row = 0; row < sampledRows; ++row) {
        const int y = windowHeight * (2 * row + 1) / (2 * sampledRows);
        XImage* image = XGetImage(display, root, 0, y, windowWidth, 1, AllPlanes, ZPixmap);
        if (image == nullptr)
            continue;
        bool lit = false;
        for (int x = 0; x < windowWidth && !lit; ++x)
            lit = (XGetPixel(image, x, 0) & 0xFFFFFFu) != 0;
        XDestroyImage(image);
        if (lit)
            return true;
    }
    return false;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

pid_t launch(const Options& options) {
    const pid_t pid = fork();
    if (pid == 0) {
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0) {
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
        }
        execvp(options.command[0], options.command.data());
        _exit(127);
    }
    return pid;
}

bool exited(pid_t pid) {
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// SDL turns SIGTERM into a quit event that the program never reads: kill it if it stays.
void stop(pid_t pid) {
    kill(pid, SIGTERM);
    const Clock::time_point start = Clock::now();
    while (!exited(pid)) {
        if (millisecondsSince(start) > 2000.0) {
            kill(pid, SIGKILL);
            int status = 0;
            waitpid(pid, &status, 0);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The peak resident set of a running process, in kB; 0 when it cannot be read.
long peakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Waits until the area is black, so a window that is still closing is not taken for the new one.
bool waitForDarkArea(Display* display, double seconds) {
    const Clock::time_point start = Clock::now();
    while (windowAreaLit(display)) {
        if (millisecondsSince(start) > seconds * 1000.0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: %s [--click] [--hold SECONDS] [--timeout SECONDS] -- "
                     "PROGRAM [ARGUMENT...]\n",
                     argv[0]);
        return 1;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 1;
    }
    if (!waitForDarkArea(display, 5.0)) {
        std::fprintf(stderr,
                     "startup_probe: the screen's top left %dx%d is not black: run it "
                     "on a screen of its own (Xvfb)\n",
                     windowWidth, windowHeight);
        return 1;
    }

    const Clock::time_point start = Clock::now();
    const pid_t pid = launch(options);
    if (pid < 0) {
        std::fprintf(stderr, "startup_probe: cannot start %s\n", options.command[0]);
        return 1;
    }
    double firstFrameMs = -1.0;
    while (firstFrameMs < 0.0) {
        if (windowAreaLit(display)) {
            firstFrameMs = millisecondsSince(start);
        } else if (exited(pid)) {
            std::fprintf(stderr, "startup_probe: %s ended before drawing\n", options.command[0]);
            return 1;
        } else if (millisecondsSince(start) > options.timeoutSeconds * 1000.0) {
            std::fprintf(stderr, "startup_probe: %s drew nothing within %g s\n", options.command[0],
                         options.timeoutSeconds);
            stop(pid);
            return 1;
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    if (options.click) {
        // A press and release in the window's middle; the program reacts to the release.
        const std::string click = "xdotool mousemove " + std::to_string(windowWidth / 2) + " " +
                                  std::to_string(windowHeight / 2) + " click 1";
        if (std::system(click.c_str()) != 0) {
            std::fprintf(stderr, "startup_probe: the click failed (is xdotool installed?)\n");
            stop(pid);
            return 1;
        }
    }
    const Clock::time_point holdStart = Clock::now();
    while (millisecondsSince(holdStart) < options.holdSeconds * 1000.0) {
        if (exited(pid)) {
            std::fprintf(stderr, "startup_probe: %s ended while held\n", options.command[0]);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const long peakKb = peakResidentKb(pid);
    stop(pid);
    waitForDarkArea(display, 5.0);
    XCloseDisplay(display);
    std::printf("first_frame_ms=%.1f vmhwm_kb=%ld\n", firstFrameMs, peakKb);
    return 0;
}
