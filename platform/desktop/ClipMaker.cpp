#include "platform/desktop/ClipMaker.h"

#include "platform/desktop/DataFolder.h"
#include "platform/desktop/Snapshot.h"

#include <GL/gl.h>

#include <cstdio>
#include <dlfcn.h>
#include <filesystem>
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

ClipMaker::~ClipMaker() {
    if (video != nullptr)
        calls->destroy(video); // finishes the file if that was not done
}

// Beside the program in a build, in lib/games/throngwick/ beside its folder when installed.
bool ClipMaker::loadWriter(std::string& error) {
    const std::filesystem::path folder = std::filesystem::path(executablePath()).parent_path();
    for (const std::filesystem::path& candidate :
         {folder / videoWriterModule, folder / "../lib/games/throngwick" / videoWriterModule}) {
        module = dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module != nullptr)
            break;
        error = std::string("cannot make clips: ") + dlerror();
    }
    if (module != nullptr)
        calls = static_cast<const VideoWriterCalls*>(dlsym(module, videoWriterEntry));
    if (calls == nullptr)
        return false;
    video = calls->create();
    return true;
}

bool ClipMaker::open(const std::string& path, int32_t framesPerSecond, int64_t frames,
                     std::string& error) {
    name = path;
    fps = framesPerSecond;
    frameTotal = frames;
    if (!loadWriter(error))
        return false;
    error.clear();
    if (!calls->open(*video, path, framesPerSecond, error))
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
        calls->finish(*video, error);
        finishing.reset();
    }
    // The drawing is done once the renderer has finished it; the reading is the copy alone.
    glFinish();
    auto begun = std::chrono::steady_clock::now();
    if (framesDone > 0)
        drawing += std::chrono::duration<double>(begun - lastAdded).count();
    readDrawnFrame(width, height, next.pixels);
    next.width = width;
    next.height = height;
    reading += secondsSince(begun);
    begun = std::chrono::steady_clock::now();
    const int64_t count =
        soundFramesBefore(framesDone + 1, fps) - soundFramesBefore(framesDone, fps);
    next.sound.resize(2 * static_cast<size_t>(count));
    mixer.mix(next.sound.data(), static_cast<int32_t>(count));
    mixing += secondsSince(begun);
    begun = std::chrono::steady_clock::now();
    if (!calls->write(*video, next, error))
        return false;
    waiting += secondsSince(begun);
    ++framesDone;
    lastAdded = std::chrono::steady_clock::now();
    if (onTerminal && std::chrono::steady_clock::now() - shown >= progressEvery)
        showProgress();
    return true;
}

bool ClipMaker::finish(std::string& error) {
    const bool finished = calls->finish(*video, error);
    const VideoWriter::Spent encoder = calls->spent(*video);
    if (finished)
        std::fprintf(stderr,
                     "%sthrongwick: %s: %lld frames, %.1f s, made in %.1f s (drawing %.1f, "
                     "reading %.1f, mixing %.1f, waiting %.1f; encoder: colours %.1f, VP9 %.1f, "
                     "Opus %.1f s)\n",
                     onTerminal ? "\r\033[K" : "", name.c_str(), static_cast<long long>(framesDone),
                     static_cast<double>(framesDone) / fps, secondsSince(started), drawing, reading,
                     mixing, waiting, encoder.converting, encoder.encodingVideo,
                     encoder.encodingSound);
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
