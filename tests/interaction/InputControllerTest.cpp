#include "interaction/InputController.h"
#include "app/AppState.h"
#include "app/Camera.h"
#include "assets/OptionCard.h"
#include "crowd/Crowd.h"
#include "interaction/Picking.h"
#include "support/GlContext.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
constexpr int floorX = 512;
constexpr int floorY = 400;     // a row over the front half of the floor
constexpr int backFloorY = 305; // a row over the back half (z below 0)

class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        input = InputController();
        crowd = Crowd();
        AppState::instance().viewMode = ViewMode::Overview;
        OptionCard::instance() = OptionCard();
        musicPending = true;
        fireLoopPending = true;
        Camera::instance().reshape(1024, 512);
    }
    Person* addPersonAt(Vec3 head) {
        auto person = std::make_unique<Person>(0, 0);
        person->headPos = head;
        person->homePos = head;
        person->targetPos = head;
        const Cell cell = cellOf(head.x, head.z);
        person->cellX = cell.x;
        person->cellZ = cell.z;
        Person* raw = person.get();
        crowd.file(std::move(person));
        return raw;
    }
    void click(int button, int x, int y) {
        input.onMouse(button, GLUT_DOWN, x, y);
        input.onMouse(button, GLUT_UP, x, y);
    }
    static Vec3 floorUnder(int x, int y, const FloorQuad& quad) {
        Vec3 hit;
        EXPECT_TRUE(intersectFloor(screenRay(x, y), quad, hit));
        return hit;
    }
    InputController& input = InputController::instance();
    Crowd& crowd = Crowd::instance();
};

std::string captured() {
    std::fflush(stdout);
    return testing::internal::GetCapturedStdout();
}
} // namespace

TEST(InputControllerState, StartsOnTheTitleWithTheHomeView) {
    const InputController fresh;
    EXPECT_EQ(fresh.running, 0);
    EXPECT_EQ(fresh.fieldOfView, 55.0f);
    EXPECT_EQ(fresh.viewOffset, (Vec3{0, -19, -145}));
    EXPECT_EQ(fresh.homeViewOffset, (Vec3{0, -19, -145}));
    EXPECT_EQ(fresh.nearPoint, Vec3{});
}

TEST_F(InputTest, TheReleaseThatStartsTheSceneDoesNothingElse) {
    Person* person = addPersonAt(floorUnder(floorX, floorY, frontFloorQuad));
    testing::internal::CaptureStdout();
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, floorX, floorY);
    EXPECT_EQ(captured(), "");
    EXPECT_EQ(input.running, 1);
    EXPECT_EQ(crowd.selectedPerson, nullptr);
    EXPECT_EQ(person->walking, 0);
    EXPECT_EQ(input.nearPoint, Vec3{});
}

TEST_F(InputTest, AnyButtonReleaseStartsTheScene) {
    for (int button : {GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON}) {
        input = InputController();
        input.onMouse(button, GLUT_UP, 10, 10);
        EXPECT_EQ(input.running, 1);
    }
}

TEST_F(InputTest, LeftReleaseOverTheFloorPrintsTheNearPointAndPicks) {
    input.running = 1;
    const Vec3 spot = floorUnder(floorX, floorY, frontFloorQuad);
    Person* person = addPersonAt({spot.x + 0.5f, 0.0f, spot.z});
    const Ray ray = screenRay(floorX, floorY);
    testing::internal::CaptureStdout();
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, floorX, floorY);
    char expected[128];
    std::snprintf(expected, sizeof expected, "X:%f Y:%f Z:%f \n", static_cast<double>(ray.origin.x),
                  static_cast<double>(ray.origin.y), static_cast<double>(ray.origin.z));
    EXPECT_EQ(captured(), expected);
    EXPECT_EQ(input.nearPoint, ray.origin);
    EXPECT_EQ(input.floorPoint, spot);
    EXPECT_EQ(crowd.selectedPerson, person);
    EXPECT_EQ(crowd.zoomingIn, 1);
}

TEST_F(InputTest, ReleaseWhileFocusedOrTravellingPrintsButDoesNotPick) {
    input.running = 1;
    const Vec3 spot = floorUnder(floorX, floorY, frontFloorQuad);
    addPersonAt(spot);
    for (ViewMode mode : {ViewMode::Focused, ViewMode::Travelling}) {
        AppState::instance().viewMode = mode;
        testing::internal::CaptureStdout();
        input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, floorX, floorY);
        EXPECT_EQ(captured().rfind("X:", 0), 0u);
        EXPECT_EQ(crowd.selectedPerson, nullptr);
        EXPECT_EQ(input.floorPoint, spot);
    }
}

TEST_F(InputTest, PressOnTheBackHalfMovesTheFloorPointAndItsReleasePicksNothing) {
    input.running = 1;
    addPersonAt({0.0f, 0.0f, 1.0f});
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, floorX, backFloorY);
    EXPECT_LT(input.floorPoint.z, 0.0f);
    const Vec3 back = input.floorPoint;
    testing::internal::CaptureStdout();
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, floorX, backFloorY);
    EXPECT_EQ(captured(), "");
    EXPECT_EQ(input.floorPoint, back);
    EXPECT_EQ(crowd.selectedPerson, nullptr);
    EXPECT_EQ(input.nearPoint, Vec3{});
}

TEST_F(InputTest, ADragKeepsTheFloorPointAtThePress) {
    input.running = 1;
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, floorX, floorY);
    const Vec3 pressed = input.floorPoint;
    input.onMotion(100, 450);
    EXPECT_EQ(input.mouseX, static_cast<float>(floorX));
    input.updateFrame();
    // Same place, though the release-time ray may meet the other triangle of the floor.
    EXPECT_NEAR(input.floorPoint.x, pressed.x, 1e-4f);
    EXPECT_NEAR(input.floorPoint.z, pressed.z, 1e-4f);
}

TEST_F(InputTest, MiddleAndRightButtonsOnlyRecordTheCursor) {
    input.running = 1;
    addPersonAt(floorUnder(floorX, floorY, frontFloorQuad));
    const Vec3 before = input.floorPoint;
    testing::internal::CaptureStdout();
    click(GLUT_RIGHT_BUTTON, floorX, floorY);
    click(GLUT_MIDDLE_BUTTON, floorX, floorY);
    EXPECT_EQ(captured(), "");
    EXPECT_EQ(input.floorPoint, before);
    EXPECT_EQ(input.mouseY, static_cast<float>(floorY));
    EXPECT_EQ(crowd.selectedPerson, nullptr);
}

TEST_F(InputTest, PassiveMotionOffTheFrontFloorLeavesTheMarkerWhereItWas) {
    input.onPassiveMotion(floorX, floorY);
    const Vec3 onFloor = input.floorPoint;
    EXPECT_EQ(onFloor, floorUnder(floorX, floorY, frontFloorQuad));
    input.onPassiveMotion(floorX, backFloorY); // back half
    EXPECT_EQ(input.floorPoint, onFloor);
    input.onPassiveMotion(floorX, 50); // above the horizon
    EXPECT_EQ(input.floorPoint, onFloor);
    EXPECT_EQ(input.mouseY, 50.0f);
}

TEST_F(InputTest, UpdateFrameFollowsTheMovedCamera) {
    input.onPassiveMotion(floorX, floorY);
    const Vec3 before = input.floorPoint;
    input.viewOffset.z += 20.0f;
    Camera::instance().reshape(1024, 512);
    input.updateFrame();
    EXPECT_NE(input.floorPoint, before);
    EXPECT_NEAR(input.nearPoint.z, 125.0f - 0.1f, 1e-3f);
}

TEST_F(InputTest, ReleaseOnAnEmptyCellClearsTheSelection) {
    input.running = 1;
    crowd.selectedPerson = addPersonAt({-95.0f, 0.0f, 95.0f});
    click(GLUT_LEFT_BUTTON, floorX, floorY);
    EXPECT_EQ(crowd.selectedPerson, nullptr);
}

TEST_F(InputTest, NumberKeysActOnlyWhenFocused) {
    Person* person = addPersonAt({0, 0, 50});
    crowd.selectedPerson = person;
    for (ViewMode mode : {ViewMode::Overview, ViewMode::Travelling}) {
        AppState::instance().viewMode = mode;
        for (unsigned char key : {'1', '2', '3'})
            input.onKeyboard(key, 0, 0);
        EXPECT_EQ(person->state, PersonState::Idle);
        EXPECT_EQ(person->walking, 0);
        EXPECT_EQ(crowd.zoomingOut, 0);
        EXPECT_EQ(OptionCard::instance().state, CardState::PutAway);
        EXPECT_TRUE(musicPending);
        EXPECT_TRUE(fireLoopPending);
    }
}

TEST_F(InputTest, EachCommandSetsItsStateAndRunsTheCommonEnding) {
    const struct {
        unsigned char key;
        PersonState state;
    } commands[] = {
        {'1', PersonState::Singing}, {'2', PersonState::Armed}, {'3', PersonState::Burning}};
    for (const auto& command : commands) {
        crowd = Crowd();
        OptionCard::instance() = OptionCard();
        Person* person = addPersonAt({0, 0, 50});
        Person* other = addPersonAt({30, 0, 20});
        other->targetPos = {40, 0, 20};
        crowd.selectedPerson = person;
        AppState::instance().viewMode = ViewMode::Focused;
        input.onKeyboard(command.key, 0, 0);
        EXPECT_EQ(person->state, command.state);
        EXPECT_EQ(other->state, PersonState::Idle);
        EXPECT_EQ(other->targetPos, other->homePos);
        EXPECT_EQ(other->walking, 1);
        EXPECT_EQ(person->walking, 1);
        EXPECT_EQ(crowd.zoomingOut, 1);
        EXPECT_EQ(OptionCard::instance().state, CardState::SwingingOut);
    }
}

TEST_F(InputTest, MusicAndFireLoopStartOnlyOnce) {
    crowd.selectedPerson = addPersonAt({0, 0, 50});
    AppState::instance().viewMode = ViewMode::Focused;
    input.onKeyboard('1', 0, 0);
    EXPECT_FALSE(musicPending);
    EXPECT_TRUE(fireLoopPending);
    AppState::instance().viewMode = ViewMode::Focused;
    input.onKeyboard('3', 0, 0);
    EXPECT_FALSE(fireLoopPending);
}

TEST_F(InputTest, CommandWithoutSelectionStillRunsTheCommonEnding) {
    AppState::instance().viewMode = ViewMode::Focused;
    input.onKeyboard('2', 0, 0);
    EXPECT_EQ(crowd.zoomingOut, 1);
    EXPECT_EQ(OptionCard::instance().state, CardState::SwingingOut);
}

TEST_F(InputTest, KeyFourActsInEveryModeAndPhase) {
    for (ViewMode mode : {ViewMode::Overview, ViewMode::Focused, ViewMode::Travelling})
        for (int running : {0, 1}) {
            crowd = Crowd();
            OptionCard::instance() = OptionCard();
            Person* person = addPersonAt({10, 0, 10});
            person->targetPos = {20, 0, 10};
            input.running = running;
            AppState::instance().viewMode = mode;
            input.onKeyboard('4', 0, 0);
            EXPECT_EQ(person->targetPos, person->homePos);
            EXPECT_EQ(person->walking, 1);
            EXPECT_EQ(crowd.zoomingOut, 1);
            EXPECT_EQ(OptionCard::instance().state, CardState::SwingingOut);
            EXPECT_EQ(person->state, PersonState::Idle);
        }
}

TEST_F(InputTest, OtherKeysAndKeyReleasesChangeNothing) {
    Person* person = addPersonAt({10, 0, 10});
    crowd.selectedPerson = person;
    AppState::instance().viewMode = ViewMode::Focused;
    for (unsigned char key : {'0', '5', 'a', ' ', '\r'})
        input.onKeyboard(key, 0, 0);
    for (int key : {GLUT_KEY_LEFT, GLUT_KEY_F1, int{'1'}, int{'4'}})
        input.onOtherKey(key, 3, 4);
    EXPECT_EQ(person->state, PersonState::Idle);
    EXPECT_EQ(person->walking, 0);
    EXPECT_EQ(crowd.zoomingOut, 0);
    EXPECT_EQ(OptionCard::instance().state, CardState::PutAway);
}

TEST_F(InputTest, EscapeEndsTheProgramWithStatusZeroInEveryPhase) {
    // The child is a fresh process (the GL driver runs threads of its own); the leak check at its
    // exit would find the driver already unloaded, so it is left out there.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    setenv("ASAN_OPTIONS", "detect_leaks=0", 1);
    EXPECT_EXIT(input.onKeyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
    input.running = 1;
    AppState::instance().viewMode = ViewMode::Focused;
    EXPECT_EXIT(input.onKeyboard(27, 0, 0), ::testing::ExitedWithCode(0), "");
}
