// Crowd::update per frame for crowds built from a fixed seed, without a window: idle, scattering
// after a pick, everybody singing, half singing and half burning, and the growth with crowd size.
// Every benchmark iteration is one frame of 16 ms; the global operator new below counts the
// allocations a frame makes.
#include "app/AppState.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "interaction/InputController.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {
std::atomic<uint64_t> allocations{0}; // calls of the global operator new in this process
} // namespace

// Neither is inlined: the compiler would otherwise see malloc() and free() meet operator new and
// delete in the same function and warn about a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr)
        throw std::bad_alloc();
    return memory;
}
[[gnu::noinline]] void operator delete(void* memory) noexcept {
    std::free(memory);
}
[[gnu::noinline]] void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

namespace {

constexpr uint32_t crowdSeed = 20240601u;
constexpr float frameMs = 16.0f;
constexpr float checksWaiting = 1.0e9f; // a timer that never runs out within a run
constexpr float checksDue = -1.0f;      // a timer that has run out: the checks run every frame
constexpr int driftFrames = 600;        // frames after which the pushed crowd is built anew

template <typename Visit> void forEachPerson(Visit visit) {
    for (CellList& list : Crowd::instance().grid)
        for (const std::unique_ptr<Person>& person : list)
            visit(*person);
}

// The crowd as loading files it, from a fixed seed, and the overview at its home view.
void buildCrowd(int people) {
    Crowd& crowd = Crowd::instance();
    seedRandom(crowdSeed);
    crowd = Crowd(); // empty cell lists without spare room: their growth counts again
    zoomOutRampMs = 0;
    crowd.assemblePeople(people, PersonSprites{});
    AppState& app = AppState::instance();
    app.width = 1024;
    app.height = 512;
    app.frameDeltaMs = frameMs;
    app.viewMode = ViewMode::Overview;
    InputController& input = InputController::instance();
    input.viewOffset = input.homeViewOffset;
    // The near plane's centre seen from the home view, where a click in the window's middle lands.
    input.nearPoint = {0.0f, 19.0f, 144.9f};
}

void setTimers(float timer) {
    forEachPerson([timer](Person& person) {
        person.singCheckTimer = timer;
        person.burnCheckTimer = timer;
    });
}

// The first person of the fullest cell: a click there picks them.
Vec3 crowdedSpot() {
    const CellList* fullest = nullptr;
    for (const CellList& list : Crowd::instance().grid)
        if (fullest == nullptr || list.size() > fullest->size())
            fullest = &list;
    return fullest->front()->headPos;
}

// Frames run and the allocations they made.
struct FrameTally {
    int64_t frames = 0;
    uint64_t allocations = 0;
};

void runFrame(FrameTally& tally) {
    const uint64_t before = allocations.load(std::memory_order_relaxed);
    Crowd::instance().update();
    tally.allocations += allocations.load(std::memory_order_relaxed) - before;
    ++tally.frames;
}

void report(benchmark::State& state, const FrameTally& tally, int people) {
    using benchmark::Counter;
    const double frames = static_cast<double>(tally.frames);
    state.counters["people"] = people;
    state.counters["per_frame"] = Counter(frames, Counter::kIsRate | Counter::kInvert);
    state.counters["per_person"] = Counter(frames * people, Counter::kIsRate | Counter::kInvert);
    state.counters["allocs_per_frame"] =
        frames > 0.0 ? static_cast<double>(tally.allocations) / frames : 0.0;
}

void crowdIdle(benchmark::State& state) {
    const int people = static_cast<int>(state.range(0));
    buildCrowd(people);
    setTimers(checksWaiting);
    FrameTally tally;
    for (auto _ : state)
        runFrame(tally);
    report(state, tally, people);
}

// The idle crowd's steady state after about 100 s: every timer has run out, nobody sings or
// burns, so every check fails and runs again on every frame.
void crowdIdleChecksDue(benchmark::State& state) {
    const int people = static_cast<int>(state.range(0));
    buildCrowd(people);
    setTimers(checksDue);
    FrameTally tally;
    for (auto _ : state)
        runFrame(tally);
    report(state, tally, people);
}

// The first frames after a pick (the second argument): everybody walks away from the picked
// person, the nearest the longest, and the camera travels toward them.
void crowdScatter(benchmark::State& state) {
    const int people = static_cast<int>(state.range(0));
    const int scatterFrames = static_cast<int>(state.range(1));
    FrameTally tally;
    int frameInSequence = 0;
    for (auto _ : state) {
        if (frameInSequence == 0) {
            state.PauseTiming();
            buildCrowd(people);
            setTimers(checksWaiting);
            Crowd::instance().pickNearest(crowdedSpot());
            state.ResumeTiming();
        }
        runFrame(tally);
        frameInSequence = (frameInSequence + 1) % scatterFrames;
    }
    report(state, tally, people);
}

// Worst case of the song: everybody sings and every timer has run out before every frame, so
// every person scans the nine cells around it (and its own for fire) in every frame.
void crowdAllSinging(benchmark::State& state) {
    const int people = static_cast<int>(state.range(0));
    buildCrowd(people);
    FrameTally tally;
    for (auto _ : state) {
        state.PauseTiming();
        forEachPerson([](Person& person) {
            person.state = PersonState::Singing;
            person.singCheckTimer = checksDue;
            person.burnCheckTimer = checksDue;
        });
        state.ResumeTiming();
        runFrame(tally);
    }
    report(state, tally, people);
}

// Every other person (in visiting order) sings, the rest burn and push their cell's people
// away; states and timers are reset before every frame, the crowd rebuilt when it has drifted.
void crowdHalfSingingHalfBurning(benchmark::State& state) {
    const int people = static_cast<int>(state.range(0));
    FrameTally tally;
    int frameInSequence = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (frameInSequence == 0)
            buildCrowd(people);
        bool sings = true;
        forEachPerson([&sings](Person& person) {
            person.state = sings ? PersonState::Singing : PersonState::Burning;
            person.singCheckTimer = checksDue;
            person.burnCheckTimer = checksDue;
            sings = !sings;
        });
        state.ResumeTiming();
        runFrame(tally);
        frameInSequence = (frameInSequence + 1) % driftFrames;
    }
    report(state, tally, people);
}

// What one pause and resume of the timer adds to the frames of the two benchmarks above.
void timerPauseResume(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(crowdIdle)->Arg(500)->Arg(2000)->Arg(10000);
BENCHMARK(crowdIdleChecksDue)->Arg(500)->Arg(2000)->Arg(10000);
// 8 frames: nearly everybody walks; 120 frames (about 2 s): most have arrived.
BENCHMARK(crowdScatter)->Args({500, 8})->Args({500, 120});
BENCHMARK(crowdAllSinging)->Arg(500)->Arg(2000)->Arg(10000);
BENCHMARK(crowdHalfSingingHalfBurning)->Arg(500);
BENCHMARK(timerPauseResume);

BENCHMARK_MAIN();
