#include "platform/desktop/ClipMaker.h"

#include "platform/desktop/Snapshot.h"

#include <cstdio>
#include <unistd.h>

namespace {
constexpr auto progressEvery = std::chrono::milliseconds(250);

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

int64_t soundFramesBefore(int64_t frame, int32_t framesPerSecond) {
    return frame * SoftwareMixer::rateHz / framesPerSecond;
}

bool ClipMaker::open(const std::string& path, int32_t framesPerSecond, int64_t frames,
                     std::string& error) {
    name = path;
    fps = framesPerSecond;
    frameTotal = frames;
    if (!video.open(path, framesPerSecond, error))
        return false;
    finishing = std::make_unique<FinishingFile>();
    mixInSoftware(&mixer);
    onTerminal = isatty(STDERR_FILENO) != 0;
    started = std::chrono::steady_clock::now();
    return true;
}

bool ClipMaker::add(int32_t width, int32_t height, std::string& error) {
    if (endingSignal() != 0) {
        // The clip so far, whole; letting it go then ends the program by the signal.
        std::fprintf(stderr, "%sthrongwick: %s: stopped at frame %lld of %lld\n",
                     onTerminal ? "\r\033[K" : "", name.c_str(), static_cast<long long>(framesDone),
                     static_cast<long long>(frameTotal));
        video.finish(error);
        finishing.reset();
    }
    readDrawnFrame(width, height, next.pixels);
    next.width = width;
    next.height = height;
    const int64_t count =
        soundFramesBefore(framesDone + 1, fps) - soundFramesBefore(framesDone, fps);
    next.sound.resize(2 * static_cast<size_t>(count));
    mixer.mix(next.sound.data(), static_cast<int32_t>(count));
    if (!video.write(next, error))
        return false;
    ++framesDone;
    if (onTerminal && std::chrono::steady_clock::now() - shown >= progressEvery)
        showProgress();
    return true;
}

bool ClipMaker::finish(std::string& error) {
    const bool finished = video.finish(error);
    if (finished)
        std::fprintf(stderr, "%sthrongwick: %s: %lld frames, %.1f s, made in %.1f s\n",
                     onTerminal ? "\r\033[K" : "", name.c_str(), static_cast<long long>(framesDone),
                     static_cast<double>(framesDone) / fps, secondsSince(started));
    finishing.reset();
    return finished;
}

// One line, written over in place.
void ClipMaker::showProgress() {
    shown = std::chrono::steady_clock::now();
    const double left = secondsSince(started) * static_cast<double>(frameTotal - framesDone) /
                        static_cast<double>(framesDone);
    std::fprintf(stderr, "\r\033[Kthrongwick: %s: frame %lld of %lld, %.0f s left", name.c_str(),
                 static_cast<long long>(framesDone), static_cast<long long>(frameTotal), left);
    std::fflush(stderr);
}
