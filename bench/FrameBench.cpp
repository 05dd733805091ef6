// Frames of the running scene in a real GLUT window on whatever OpenGL the display gives (Mesa's
// software renderer under Xvfb): clear and swap alone, the hall without people, the full scene in
// several states, and two cut-down scenes that show where a frame's time goes; each scene drawn
// the classic way, batched, and batched with the still hall, at 1024 by 512 and full screen.
// Every iteration is one frame, finished with glFinish so the renderer's work is counted.
#include "app/AppState.h"
#include "app/Camera.h"
#include "assets/OptionCard.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "crowd/CrowdBatch.h"
#include "crowd/Mouth.h"
#include "crowd/StillHall.h"
#include "interaction/InputController.h"
#include "visit/GlutCallbacks.h"

#include <GL/freeglut.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace {

constexpr uint32_t crowdSeed = 20240601u;
constexpr int windowWidth = 1024;
constexpr int windowHeight = 512;
constexpr int64_t frameMs = 16;            // the clock's step per frame: the people sway and bob
constexpr float arrivalDistance = 25.0f;   // where the camera's travel to a person ends
const Vec3 crowdMiddle{0.0f, 0.0f, 50.0f}; // the close-up looks at the person nearest to it

template <typename Visit> void forEachPerson(Visit visit) {
    for (CellList& list : Crowd::instance().grid)
        for (const std::unique_ptr<Person>& person : list)
            visit(*person);
}

PersonSprites spritesOf(const Person& person) {
    PersonSprites sprites;
    std::copy(std::begin(person.faceSprites), std::end(person.faceSprites), sprites.faces);
    std::copy(std::begin(person.bodySprites), std::end(person.bodySprites), sprites.bodies);
    std::copy(std::begin(person.mouthSprites), std::end(person.mouthSprites), sprites.mouths);
    sprites.gunLeft = person.gunLeftSprite;
    sprites.gunRight = person.gunRightSprite;
    return sprites;
}

// Start-up as the program does it (window, GL state, pictures, sound, card), then the people
// placed again from a fixed seed instead of the calendar time, so that runs compare.
void openScene(int& argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    const int window = glutCreateWindow("Throngwick");
    AppState::instance().initialise(window, windowWidth, windowHeight, crowdSeed);
    registerGlutCallbacks();

    Crowd& crowd = Crowd::instance();
    const CellList& someCell = *std::find_if(crowd.grid.begin(), crowd.grid.end(),
                                             [](const CellList& list) { return !list.empty(); });
    const PersonSprites sprites = spritesOf(*someCell.front());
    for (CellList& list : crowd.grid)
        list.clear();
    seedRandom(crowdSeed);
    crowd.assemblePeople(crowdSize, sprites);

    // Let the window be mapped and shown before the first measured frame.
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    while (std::chrono::steady_clock::now() < until)
        glutMainLoopEvent();
    InputController::instance().running = 1;
    benchmark::AddCustomContext("gl_renderer",
                                reinterpret_cast<const char*>(glGetString(GL_RENDERER)));
    benchmark::AddCustomContext("screen", std::to_string(glutGet(GLUT_SCREEN_WIDTH)) + "×" +
                                              std::to_string(glutGet(GLUT_SCREEN_HEIGHT)));
}

void setEveryone(PersonState state) {
    // A mouth open as wide as loud music opens it, so that singers' mouths are drawn.
    const Vec3 openMouth = mouthScaleFor(0.2f);
    forEachPerson([state, openMouth](Person& person) {
        person.state = state;
        person.mouthScale = state == PersonState::Singing ? openMouth : Vec3{};
    });
}

// The view's matrices for the window as it is now.
void reshapeToWindow() {
    Camera::instance().reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}

// The overview from the home view with the light shaft over the middle of the crowd.
void showOverview(PersonState state) {
    setEveryone(state);
    AppState& app = AppState::instance();
    app.viewMode = ViewMode::Overview;
    InputController& input = InputController::instance();
    input.viewOffset = input.homeViewOffset;
    input.floorPoint = crowdMiddle;
    Crowd::instance().selectedPerson = nullptr;
    OptionCard& card = OptionCard::instance();
    card.hide();
    card.update(0.0f);
    reshapeToWindow();
}

// The camera where its travel to the person nearest the crowd's middle ends, the card shown.
void showCloseUp() {
    setEveryone(PersonState::Idle);
    Person* nearest = nullptr;
    float nearestDistance = 0.0f;
    forEachPerson([&nearest, &nearestDistance](Person& person) {
        const float distance = length(person.headPos - crowdMiddle);
        if (nearest == nullptr || distance < nearestDistance) {
            nearest = &person;
            nearestDistance = distance;
        }
    });
    Crowd::instance().selectedPerson = nearest;
    AppState::instance().viewMode = ViewMode::Focused;
    InputController& input = InputController::instance();
    const Vec3 homeEye = input.homeViewOffset * -1.0f;
    const Vec3 towardEye = homeEye - nearest->headPos;
    const Vec3 eye = nearest->headPos + towardEye * (arrivalDistance / length(towardEye));
    input.viewOffset = eye * -1.0f;
    OptionCard& card = OptionCard::instance();
    card.setState(CardState::Shown);
    card.update(0.0f);
    reshapeToWindow();
}

// The benchmarks' first argument picks how the crowd is drawn.
enum Drawing : int64_t { classic = 0, batched = 1, batchedStill = 2 };
// The second picks the window: 1024 by 512 (0), or the whole screen (1).
constexpr int64_t fullScreen = 1;

// The batched renderer's atlas, made once, and the still hall; each waits here while unused.
std::unique_ptr<CrowdBatch> spareBatch;
std::unique_ptr<StillHall> spareHall = std::make_unique<StillHall>();

template <typename Part>
void use(bool wanted, std::unique_ptr<Part>& inCrowd, std::unique_ptr<Part>& spare) {
    if (wanted && !inCrowd)
        inCrowd = std::move(spare);
    else if (!wanted && inCrowd)
        spare = std::move(inCrowd);
}

// Waits for the window to take the size asked for; false after five seconds.
bool resizedTo(int width, int height) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (glutGet(GLUT_WINDOW_WIDTH) != width || glutGet(GLUT_WINDOW_HEIGHT) != height) {
        if (std::chrono::steady_clock::now() > until)
            return false;
        glutMainLoopEvent();
    }
    return true;
}

void useWindow(bool whole) {
    const int width = whole ? glutGet(GLUT_SCREEN_WIDTH) : windowWidth;
    const int height = whole ? glutGet(GLUT_SCREEN_HEIGHT) : windowHeight;
    if (glutGet(GLUT_WINDOW_WIDTH) == width && glutGet(GLUT_WINDOW_HEIGHT) == height)
        return;
    if (whole)
        glutFullScreen();
    else
        glutLeaveFullScreen();
    if (!resizedTo(width, height)) {
        std::fprintf(stderr, "the window did not become %d by %d\n", width, height);
        std::exit(1);
    }
}

void useDrawing(const benchmark::State& state) {
    Crowd& crowd = Crowd::instance();
    if (!spareBatch && !crowd.batch) {
        std::string reason;
        if (!crowd.drawBatched(reason)) {
            std::fprintf(stderr, "no batched renderer: %s\n", reason.c_str());
            std::exit(1);
        }
    }
    use(state.range(0) != classic, crowd.batch, spareBatch);
    use(state.range(0) == batchedStill, crowd.stillHall, spareHall);
    useWindow(state.range(1) == fullScreen);
}

void drawFrame() {
    AppState& app = AppState::instance();
    app.currentTimeMs += frameMs;
    app.display();
    glFinish();
}

// Runs one benchmark's frames. A few unmeasured ones come first: the renderer compiles its code
// for each new combination of state on first use, and that is start-up work, not a frame's.
template <typename Frame> void runFrames(benchmark::State& state, Frame frame) {
    const int warmUpFrames = 5;
    for (int i = 0; i < warmUpFrames; ++i)
        frame();
    for (auto _ : state)
        frame();
    state.counters["fps"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    if (const CrowdBatch* batch = Crowd::instance().batch.get())
        state.counters["draws"] = static_cast<double>(batch->drawsLastFrame());
}

void frameClearSwap(benchmark::State& state) {
    useWindow(state.range(1) == fullScreen);
    runFrames(state, [] {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glutSwapBuffers();
        glFinish();
    });
}

// The backdrop, the floor, the light shaft and the put-away card: the crowd's draw with its
// people moved out for the run.
void frameHall(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Idle);
    std::array<CellList, gridCells> people;
    std::swap(people, Crowd::instance().grid);
    runFrames(state, drawFrame);
    std::swap(people, Crowd::instance().grid);
}

void frameFullIdle(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Idle);
    runFrames(state, drawFrame);
}

void frameFullSinging(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Singing);
    runFrames(state, drawFrame);
}

void frameFullBurning(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Burning);
    runFrames(state, drawFrame);
}

void frameFullArmed(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Armed);
    runFrames(state, drawFrame);
}

void frameCloseUp(benchmark::State& state) {
    useDrawing(state);
    showCloseUp();
    runFrames(state, drawFrame);
}

// The idle scene with texturing off (the card turns it on again for itself, last): plain white
// quads, so what is left is geometry, depth and blending without texel fetches.
void frameFullUntextured(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Idle);
    runFrames(state, [] {
        glDisable(GL_TEXTURE_2D);
        drawFrame();
    });
    glEnable(GL_TEXTURE_2D);
}

// The idle scene with an empty scissor box: every call and transform is made, no pixel is
// cleared or drawn; the rest is the cost of submitting the scene.
void frameFullUnrasterised(benchmark::State& state) {
    useDrawing(state);
    showOverview(PersonState::Idle);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 0, 0);
    runFrames(state, drawFrame);
    glDisable(GL_SCISSOR_TEST);
}

// The user's journey frame by frame, as the idle and display handlers run it on the real clock: a
// left click that picks (and plays a crowd voice), the travel to the person, key 1 starting the
// music, and the travel home. The figure is the longest frame of all the journeys.
void frameJourney(benchmark::State& state) {
    useDrawing(state);
    AppState& app = AppState::instance();
    InputController& input = InputController::instance();
    double longestMs = 0.0;
    double totalMs = 0.0;
    int frames = 0;
    auto frame = [&](auto&& event) {
        const auto start = std::chrono::steady_clock::now();
        event();
        app.idle();
        app.display();
        glFinish();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        longestMs = std::max(longestMs, took.count());
        totalMs += took.count();
        ++frames;
    };
    auto noEvent = [] {};
    const int clickX = 512;
    const int clickY = 400;
    for (auto _ : state) {
        showOverview(PersonState::Idle);
        // The frames of other benchmarks did not run the idle handler: the clock starts here.
        app.advanceClock(frameClockMs());
        input.mouseX = clickX;
        input.mouseY = clickY;
        // An unmeasured first frame: the renderer compiles code for states it has not seen yet.
        app.idle();
        app.display();
        glFinish();
        frame(noEvent);
        frame([&] {
            input.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, clickX, clickY);
            input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, clickX, clickY);
        });
        for (int i = 0; i < 1000 && app.viewMode != ViewMode::Focused; ++i)
            frame(noEvent);
        musicPending = true; // every journey starts the music anew
        frame([&] { input.onKeyboard('1', 0, 0); });
        for (int i = 0; i < 1000 && app.viewMode != ViewMode::Overview; ++i)
            frame(noEvent);
    }
    state.counters["longest_ms"] = longestMs;
    state.counters["mean_ms"] = frames ? totalMs / frames : 0.0;
    state.counters["frames"] = frames;
}

} // namespace

int main(int argc, char** argv) {
    const auto frames = [](const char* name, void (*scene)(benchmark::State&)) {
        return benchmark::RegisterBenchmark(name, scene)
            ->ArgNames({"drawing", "fullscreen"})
            ->UseRealTime()
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
    };
    const std::pair<const char*, void (*)(benchmark::State&)> scenes[] = {
        {"frameHall", frameHall},
        {"frameFullIdle", frameFullIdle},
        {"frameFullSinging", frameFullSinging},
        {"frameFullBurning", frameFullBurning},
        {"frameFullArmed", frameFullArmed},
        {"frameCloseUp", frameCloseUp}};
    // Each size's scenes in a row, so that the window changes size once.
    for (const int64_t whole : {int64_t{0}, fullScreen}) {
        frames("frameClearSwap", frameClearSwap)->Args({classic, whole});
        for (const auto& [name, scene] : scenes)
            frames(name, scene)
                ->Args({classic, whole})
                ->Args({batched, whole})
                ->Args({batchedStill, whole});
        if (whole == fullScreen)
            continue;
        for (const auto& [name, scene] :
             {std::make_pair("frameFullUntextured", frameFullUntextured),
              std::make_pair("frameFullUnrasterised", frameFullUnrasterised)})
            frames(name, scene)->Args({classic, whole})->Args({batched, whole});
        benchmark::RegisterBenchmark("frameJourney", frameJourney)
            ->ArgNames({"drawing", "fullscreen"})
            ->Args({batchedStill, whole})
            ->UseRealTime()
            ->Unit(benchmark::kMillisecond)
            ->Iterations(2);
    }
    benchmark::Initialize(&argc, argv);
    openScene(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
