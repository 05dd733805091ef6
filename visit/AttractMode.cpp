#include "visit/AttractMode.h"

#include "app/AppState.h"
#include "app/Camera.h"
#include "crowd/Crowd.h"
#include "interaction/InputController.h"
#include "interaction/Picking.h"

#include <GL/glut.h>
#include <algorithm>
#include <vector>

namespace {
constexpr int64_t returnAfterInputMs = 30000; // the show from the start, after a person's input
constexpr int32_t restRadius = 8;           // window pixels a resting pointer may wander unnoticed
constexpr float longestFrameMs = 250.0f;    // a long start-up or a stalled frame skips no moment
constexpr float settleMs = 2000.0f;         // the overview, before a pick
constexpr float approachLimitMs = 15000.0f; // a travel that takes longer is given up
constexpr float presentMs = 1500.0f;        // the card up, before the command
constexpr float watchMs = 12000.0f;         // the spread watched, before everybody goes home
constexpr int32_t edgeMargin = 8;           // window pixels: people nearer the edge are not picked
constexpr int32_t commands = 3;             // keys 1 to 3: sing, draw, burn
} // namespace

void AttractMode::enable(float delaySeconds, uint32_t seed) {
    choices.state = seed;
    delayMs = static_cast<int64_t>(delaySeconds * 1000.0f);
    if (delayMs == 0) {
        delayMs = returnAfterInputMs; // a hand-back would otherwise last no time at all
        enter(ShowStep::Settling);
    }
}

void AttractMode::noticeInput() {
    step = ShowStep::Off;
    quietMs = 0;
}

bool AttractMode::pointerMoved(int32_t x, int32_t y) {
    const int32_t dx = x - anchorX;
    const int32_t dy = y - anchorY;
    const bool moved = anchored && dx * dx + dy * dy > restRadius * restRadius;
    if (!anchored || moved) {
        anchored = true;
        anchorX = x;
        anchorY = y;
    }
    return moved;
}

void AttractMode::enter(ShowStep nextStep) {
    step = nextStep;
    stepMs = 0.0f;
}

bool AttractMode::next(float deltaMs, ShowAction& action) {
    const AppState& app = AppState::instance();
    const InputController& input = InputController::instance();
    if (delayMs < 0 || app.paused)
        return false;
    if (step == ShowStep::Off) {
        if (!input.running)
            return false;
        quietMs += static_cast<int64_t>(deltaMs);
        if (quietMs < delayMs)
            return false;
        enter(ShowStep::Settling);
    }
    if (!input.running) {
        // The release of any button enters the hall; the right one's press picks nothing.
        action = {ShowAction::Kind::Click, GLUT_RIGHT_BUTTON, app.width / 2, app.height / 2, 0};
        return true;
    }
    stepMs += std::min(deltaMs, longestFrameMs);
    const ViewMode view = app.viewMode;
    action = {ShowAction::Kind::Key, 0, static_cast<int32_t>(input.mouseX),
              static_cast<int32_t>(input.mouseY), '4'};
    switch (step) {
    case ShowStep::Settling:
        if (stepMs < settleMs)
            return false;
        if (view == ViewMode::Focused) { // a person left the camera at someone
            enter(ShowStep::Returning);
            return true;
        }
        if (view != ViewMode::Overview || Camera::instance().shaking)
            return false; // a still view first: the same seed gives the same aim
        if (!pick(action)) {
            stepMs = 0.0f; // nobody in view: later
            return false;
        }
        enter(ShowStep::Approaching);
        return true;
    case ShowStep::Approaching:
        if (view == ViewMode::Focused)
            enter(ShowStep::Presenting);
        else if ((view == ViewMode::Overview && !Crowd::instance().zoomingIn) ||
                 stepMs > approachLimitMs)
            enter(ShowStep::Settling); // the click found nobody in its cell
        return false;
    case ShowStep::Presenting:
        if (view != ViewMode::Focused) {
            enter(ShowStep::Settling); // the camera turned home on its own
            return false;
        }
        if (stepMs < presentMs)
            return false;
        action.key = static_cast<unsigned char>('1' + choices.draw() % commands);
        enter(ShowStep::Watching);
        return true;
    case ShowStep::Watching:
        if (stepMs < watchMs)
            return false;
        enter(ShowStep::Returning);
        return true;
    case ShowStep::Returning:
        if (view == ViewMode::Overview)
            enter(ShowStep::Settling);
        return false;
    case ShowStep::Off:
        break;
    }
    return false;
}

bool AttractMode::pick(ShowAction& action) {
    const AppState& app = AppState::instance();
    std::vector<const Person*> shown;
    for (const CellList& list : Crowd::instance().grid)
        for (const std::unique_ptr<Person>& person : list) {
            int x = 0;
            int y = 0;
            // Those in view where their homes are: the same people in every run of a seed.
            if (person->homePos != lastPick &&
                screenPoint({person->homePos.x, 0.0f, person->homePos.z}, x, y) &&
                x >= edgeMargin && y >= edgeMargin && x < app.width - edgeMargin &&
                y < app.height - edgeMargin)
                shown.push_back(person.get());
        }
    if (shown.empty())
        return false;
    // In the order of their homes, not of the cells they are in now.
    std::sort(shown.begin(), shown.end(), [](const Person* a, const Person* b) {
        return a->homePos.x != b->homePos.x ? a->homePos.x < b->homePos.x
                                            : a->homePos.z < b->homePos.z;
    });
    const Person& chosen = *shown[static_cast<size_t>(choices.draw()) % shown.size()];
    lastPick = chosen.homePos;
    action.kind = ShowAction::Kind::Click; // where they stand now
    action.button = GLUT_LEFT_BUTTON;
    return screenPoint({chosen.headPos.x, 0.0f, chosen.headPos.z}, action.x, action.y);
}
