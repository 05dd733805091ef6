#include "interaction/InputController.h"

#include "app/Camera.h"
#include "assets/OptionCard.h"
#include "interaction/Picking.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <tuple>

namespace {
constexpr int floorX = 512;
constexpr int floorY = 400;     // a row over the front half of the floor
constexpr int backFloorY = 305; // a row over the back half (z below 0)

class InputTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ensureGlContext();
        Camera::instance().reshape(1024, 512);
        input.running = 1; // in the hall
    }
    void click(int button, int x, int y) {
        input.onMouse(button, GLUT_DOWN, x, y);
        input.onMouse(button, GLUT_UP, x, y);
    }
    static Vec3 floorUnder(int x, int y) {
        Vec3 hit;
        EXPECT_TRUE(intersectFloor(screenRay(x, y), frontFloorQuad, hit));
        return hit;
    }
    static std::string captured() {
        std::fflush(stdout);
        return testing::internal::GetCapturedStdout();
    }
    // The visit's common ending: everybody walks home, the camera goes back, the card away.
    void expectEnding(bool ended, const Person& person) const {
        EXPECT_TRUE(person.walking == ended && crowd.zoomingOut == ended &&
                    OptionCard::instance().state ==
                        (ended ? CardState::SwingingOut : CardState::PutAway))
            << ended;
    }
};
} // namespace

TEST_F(InputTest, ALeftReleaseOverTheFrontFloorPrintsTheNearPointAndPicksInTheOverviewOnly) {
    const Vec3 spot = floorUnder(floorX, floorY);
    Person& person = place(spot.x + 0.5f, spot.z);
    const Ray ray = screenRay(floorX, floorY);
    for (ViewMode mode : {ViewMode::Focused, ViewMode::Travelling, ViewMode::Overview}) {
        app.viewMode = mode;
        testing::internal::CaptureStdout();
        input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, floorX, floorY);
        EXPECT_EQ(captured().rfind("X:", 0), 0u); // its point, which the journeys check
        EXPECT_TRUE(input.nearPoint == ray.origin && input.floorPoint == spot);
        const bool picks = mode == ViewMode::Overview;
        EXPECT_TRUE(crowd.selectedPerson == (picks ? &person : nullptr) &&
                    crowd.zoomingIn == picks);
    }
    crowd.selectedPerson = &person; // a release over an empty cell clears the selection
    click(GLUT_LEFT_BUTTON, 200, 440);
    EXPECT_EQ(crowd.selectedPerson, nullptr);
}

TEST_F(InputTest, OnlyALeftPressReachesTheBackFloorAndOtherMovesFollowTheFrontFloor) {
    place(0.0f, 1.0f);
    input.onPassiveMotion(floorX, floorY);
    const Vec3 front = input.floorPoint;
    EXPECT_EQ(front, floorUnder(floorX, floorY));
    for (int y : {backFloorY, 50}) { // the back half, above the horizon
        input.onPassiveMotion(floorX, y);
        EXPECT_TRUE(input.floorPoint == front && input.mouseY == float(y)) << y;
    }
    testing::internal::CaptureStdout();
    click(GLUT_RIGHT_BUTTON, floorX, floorY + 20);
    click(GLUT_MIDDLE_BUTTON, floorX, floorY + 20);
    EXPECT_TRUE(input.floorPoint == front && input.mouseY == float(floorY + 20));
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, floorX, backFloorY);
    EXPECT_LT(input.floorPoint.z, 0.0f);
    const Vec3 back = input.floorPoint;
    input.onMotion(100, 450); // a drag changes nothing
    EXPECT_EQ(input.mouseX, float(floorX));
    input.onMouse(GLUT_LEFT_BUTTON, GLUT_UP, floorX, backFloorY);
    EXPECT_EQ(captured(), "");
    EXPECT_TRUE(input.floorPoint == back && !crowd.selectedPerson && input.nearPoint == Vec3{});
    input.onPassiveMotion(floorX, floorY); // each frame the cursor's points follow the camera
    input.viewOffset.z += 20.0f;
    Camera::instance().reshape(1024, 512);
    input.updateFrame();
    EXPECT_NEAR(input.floorPoint.z, front.z - 20.0f, 1e-3f);
    EXPECT_NEAR(input.nearPoint.z, 125.0f - 0.1f, 1e-3f);
}

TEST_F(InputTest, NumberKeysActOnTheSelectedPersonOnlyWhenFocusedAndKeyFourAlways) {
    using V = ViewMode;
    using P = PersonState;
    const std::tuple<unsigned char, ViewMode, PersonState, bool> cases[] = {
        // clang-format off
        {'1', V::Focused, P::Singing, true}, {'2', V::Focused, P::Armed, true},
        {'3', V::Focused, P::Burning, true}, {'1', V::Overview, P::Idle, false},
        {'2', V::Travelling, P::Idle, false}, {'3', V::Overview, P::Idle, false},
        {'4', V::Overview, P::Idle, true}, {'4', V::Travelling, P::Idle, true},
        {'4', V::Focused, P::Idle, true}, {'0', V::Focused, P::Idle, false},
        {'5', V::Focused, P::Idle, false}, {'a', V::Focused, P::Idle, false},
        // clang-format on
    };
    for (const auto& [key, mode, state, ends] : cases) {
        resetScene();
        Person& person = place(0, 50);
        Person& other = place(30, 20);
        other.targetPos = {40, 0, 20};
        crowd.selectedPerson = &person;
        app.viewMode = mode;
        input.onKeyboard(key, 0, 0);
        SCOPED_TRACE(testing::Message() << "key " << key << " in mode " << int(mode));
        EXPECT_TRUE(person.state == state && other.state == PersonState::Idle);
        EXPECT_EQ(other.targetPos, ends ? other.homePos : (Vec3{40, 0, 20}));
        expectEnding(ends, other);
    }
    resetScene();
    Person& person = place(0, 50);
    app.viewMode = ViewMode::Focused;
    input.onKeyboard('2', 0, 0); // nobody selected: only the ending
    expectEnding(true, person);
}

// Which sample sounds: the draw after a pick chooses one of the two crowd voices; key 3 one of
// the four fire starts, and the first time the fire loop; key 1 the music, once.
TEST_F(InputTest, APickPlaysACrowdVoiceKeyThreeAFireStartAndKeyOneTheMusic) {
    SoundBank& bank = openSoundBank();
    const Vec3 spot = floorUnder(floorX, floorY);
    Person& person = place(spot.x, spot.z);
    for (int32_t draw : {32767, 0}) {
        app.viewMode = ViewMode::Overview;
        scriptDraws({draw});
        click(GLUT_LEFT_BUTTON, floorX, floorY);
        EXPECT_TRUE(unusedDraws() == 0 && bank.isSounding(firstCrowdVoiceSample + draw % 2))
            << draw;
    }
    for (int32_t sample = 0; sample <= fireLoopSample; ++sample)
        EXPECT_FALSE(bank.isSounding(sample)) << sample;
    for (int32_t draw : {6, 32765}) {
        app.viewMode = ViewMode::Focused;
        crowd.selectedPerson = &person;
        scriptDraws({draw});
        input.onKeyboard('3', 0, 0);
        EXPECT_TRUE(unusedDraws() == 0 && bank.isSounding(draw % 4) &&
                    bank.isSounding(fireLoopSample))
            << draw;
    }
    EXPECT_FALSE(bank.isSounding(0) || bank.isSounding(3) || fireLoopPending);
    app.viewMode = ViewMode::Focused;
    input.onKeyboard('1', 0, 0);
    const uint32_t stream = bank.musicStream;
    app.viewMode = ViewMode::Focused;
    input.onKeyboard('1', 0, 0);
    EXPECT_TRUE(stream != 0 && bank.musicStream == stream); // not started again
}

// M silences and P pauses in every mode; paused, the cursor is followed but nothing else acts.
TEST_F(InputTest, PausedOnlyEscMAndPActAndTheLightShaftStaysInTheStillFrame) {
    const Vec3 spot = floorUnder(floorX, floorY);
    Person& person = place(spot.x, spot.z);
    const SoundBank& bank = SoundBank::instance();
    for (unsigned char key : {'p', 'M', '3', '4'})
        input.onKeyboard(key, 0, 0);
    EXPECT_TRUE(app.paused && bank.paused && bank.silent);
    input.onPassiveMotion(floorX, floorY - 10);
    click(GLUT_LEFT_BUTTON, floorX, floorY);
    EXPECT_TRUE(input.floorPoint == Vec3{} && input.mouseY == float(floorY) &&
                !crowd.selectedPerson);
    expectEnding(false, person);
    for (unsigned char key : {'P', 'm', '4'})
        input.onKeyboard(key, 0, 0);
    EXPECT_FALSE(app.paused || bank.paused || bank.silent);
    expectEnding(true, person);
}

// Without a pointer: Space or Enter on the title enters, the arrows move the cursor as the
// pointer would, kept inside the window, and Enter clicks there; Space in the hall does nothing.
TEST_F(InputTest, SpaceOrEnterEntersTheArrowsMoveTheCursorAndEnterClicksThere) {
    input.running = 0; // on the title
    testing::internal::CaptureStdout();
    input.onKeyboard('a', 0, 0);
    input.onSpecialKey(GLUT_KEY_F1, 0, 0);
    EXPECT_TRUE(input.running == 0 && input.mouseX == 512.0f);
    input.onKeyboard(spaceKey, 0, 0);
    EXPECT_EQ(input.running, 1);
    input.running = 0;
    input.onKeyboard(enterKey, 0, 0);
    EXPECT_EQ(input.running, 1);
    EXPECT_EQ(captured(), ""); // the key that enters picks nobody
    const Vec3 spot = floorUnder(floorX, floorY);
    Person& person = place(spot.x, spot.z);
    input.onSpecialKey(GLUT_KEY_DOWN, 0, 0); // from where the cursor starts, (512, 384)
    EXPECT_EQ(input.floorPoint, spot);
    testing::internal::CaptureStdout();
    input.onKeyboard(spaceKey, 0, 0);
    EXPECT_EQ(crowd.selectedPerson, nullptr);
    input.onKeyboard(enterKey, 0, 0);
    EXPECT_EQ(captured().rfind("X:", 0), 0u);
    EXPECT_TRUE(crowd.selectedPerson == &person &&
                input.nearPoint == screenRay(floorX, floorY).origin);
    const std::tuple<int, float, float> edges[] = {{GLUT_KEY_LEFT, 0, 400},
                                                   {GLUT_KEY_UP, 0, 0},
                                                   {GLUT_KEY_RIGHT, 1023, 0},
                                                   {GLUT_KEY_DOWN, 1023, 511}};
    for (const auto& [key, x, y] : edges) {
        for (int i = 0; i < 70; ++i)
            input.onSpecialKey(key, 0, 0);
        EXPECT_TRUE(input.mouseX == x && input.mouseY == y) << key;
    }
}
