// What recording a visit costs: whole frames of the running scene through the visit's callbacks
// (a pointer move, the display, the idle call) without and with recording, in a real 1024 by 512
// GLUT window; and the recorder's own work per frame alone, with the bytes it writes.
#include "app/AppState.h"
#include "assets/SoundBank.h"
#include "interaction/InputController.h"
#include "visit/GlutCallbacks.h"
#include "visit/Visit.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>

namespace {

constexpr uint32_t crowdSeed = 20240601u;
constexpr const char* benchVisit = "RecordingBench-visit.txt"; // in the working folder
constexpr double framesInTenMinutes = 600.0 * 60.0;            // at 60 frames a second

long fileBytes(const char* path) {
    struct stat status {};
    return stat(path, &status) == 0 ? static_cast<long>(status.st_size) : 0;
}

void openScene(int& argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 512);
    const int window = glutCreateWindow("Throngwick");
    std::string error;
    if (!Visit::instance().record(benchVisit, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    Visit::instance().begin(crowdSeed, 1024, 512);
    AppState::instance().initialise(window, 1024, 512, crowdSeed);
    registerGlutCallbacks();
    // Let the window be mapped and shown before the first measured frame.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < until)
        glutMainLoopEvent();
    InputController::instance().running = 1;
}

// One frame as GLUT runs it: an event, the display, the idle call. The pointer wanders over the
// floor, so every frame has a move to record.
double frameMs(Visit::Mode mode, int32_t step) {
    Visit& visit = Visit::instance();
    visit.mode = mode;
    const auto start = std::chrono::steady_clock::now();
    visit.input({EventKind::Move, 0, 0, 200 + step % 600, 300 + step % 200});
    visit.display();
    visit.idle();
    glFinish();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Frames without and with recording in turns, so that the machine's changing load falls on both
// alike; an iteration is one of each.
void framesLiveAndRecorded(benchmark::State& state) {
    double liveMs = 0.0;
    double recordedMs = 0.0;
    int32_t step = 0;
    for (auto _ : state) {
        liveMs += frameMs(Visit::Mode::Live, step++);
        recordedMs += frameMs(Visit::Mode::Recording, step++);
    }
    const double frames = static_cast<double>(state.iterations());
    state.counters["live_ms"] = liveMs / frames;
    state.counters["recorded_ms"] = recordedMs / frames;
    state.counters["ratio"] = recordedMs / liveMs;
}

// The recorder's part of a frame alone: the move's line, the meter read once, the frame's line,
// the flush. The clock stands where ten minutes in puts it, so the lines are as long as then.
void recorderAlone(benchmark::State& state) {
    RecordingWriter writer;
    std::string error;
    const char* const path = "RecordingBench-alone.txt";
    if (!writer.open(path, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    writer.writeHeader(crowdSeed, 1024, 512, 2000);
    int64_t clockMs = 600000;
    for (auto _ : state) {
        writer.writeEvent({EventKind::Move, 0, 0, 1000 + static_cast<int32_t>(clockMs % 23),
                           500 + static_cast<int32_t>(clockMs % 11)});
        const float level = SoundBank::instance().holdMeterLevel();
        writer.writeFrame(clockMs, level + 0.123456791f, true, error);
        clockMs += 17;
    }
    const double bytesPerFrame =
        static_cast<double>(fileBytes(path)) / static_cast<double>(state.iterations());
    state.counters["bytes_per_frame"] = bytesPerFrame;
    state.counters["ten_minutes_mb"] = bytesPerFrame * framesInTenMinutes / 1e6;
    std::remove(path);
}

} // namespace

BENCHMARK(framesLiveAndRecorded)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(recorderAlone)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    openScene(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::remove(benchVisit);
    return 0;
}
