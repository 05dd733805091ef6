#include "visit/AttractMode.h"

#include "app/Camera.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <GL/freeglut.h>

namespace {
class ShowTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        ensureGlContext();
        Camera::instance().reshape(1024, 512);
    }
    AttractMode show;
    ShowAction action;
    // The frames of deltaMs until the show acts, that one counted; 0 if it does not.
    int framesUntilAction(float deltaMs = 100.0f) {
        for (int frame = 1; frame <= 1000; ++frame)
            if (show.next(deltaMs, action))
                return frame;
        return 0;
    }
};
} // namespace

// The round: the title, a pick through the picking code, a command, the watch, everybody home,
// then the other person in view; the crowd's own sequence is not drawn from.
TEST_F(ShowTest, FromTheStartItEntersPicksCommandsWatchesSendsHomeAndPicksAnother) {
    const Person* people[] = {&place(-35.0f, 55.0f), &place(35.0f, 55.0f)}; // mid-cell
    place(-99.0f, 99.0f); // beyond the window's left edge
    show.enable(0.0f, 7u);
    const Person* previous = nullptr;
    for (int round = 0; round < 3; ++round) {
        const uint32_t crowdSequence = randomState();
        EXPECT_EQ(framesUntilAction(), round == 0 ? 1 : round == 1 ? 20 : 21); // 2 s overview
        EXPECT_TRUE(action.button == (round == 0 ? GLUT_RIGHT_BUTTON : GLUT_LEFT_BUTTON) &&
                    randomState() == crowdSequence);
        input.onMouse(action.button, GLUT_DOWN, action.x, action.y);
        input.onMouse(action.button, GLUT_UP, action.x, action.y);
        if (round == 0)
            continue; // in the hall
        EXPECT_TRUE((crowd.selectedPerson == people[0] || crowd.selectedPerson == people[1]) &&
                    crowd.selectedPerson != previous);
        previous = crowd.selectedPerson;
        app.viewMode = ViewMode::Focused;
        EXPECT_EQ(framesUntilAction(), 16); // the arrival seen, then 1.5 s of the card
        // Seed 7 draws 61, 17422, 15215, 7040: a person, a command (% 3), a person, a command.
        EXPECT_EQ(action.key, round == 1 ? '2' : '3');
        EXPECT_TRUE(framesUntilAction() == 120 && action.key == '4'); // 12 s of watching
        app.viewMode = ViewMode::Overview;
    }
}

TEST_F(ShowTest, InputHandsTheHallBackAndAfterItsQuietTheShowComesBack) {
    place(0.0f, 50.0f);
    show.enable(3.0f, 7u);
    EXPECT_EQ(framesUntilAction(), 0); // the title waits for a person
    input.running = 1;
    EXPECT_EQ(framesUntilAction(), 30 + 19); // 3 s of quiet; the frame that ends it begins 2 s
    show.noticeInput();                      // while the camera travels
    app.viewMode = ViewMode::Focused;        // left at the person
    app.paused = true;
    EXPECT_EQ(framesUntilAction(), 0);
    app.paused = false;
    // A frame counts a quarter second at most.
    EXPECT_TRUE(framesUntilAction(1000.0f) == 3 + 7 && action.key == '4');
    show.enable(0.0f, 7u); // from the start, a person's input leaves the hall to them for 30 s
    show.noticeInput();
    EXPECT_EQ(framesUntilAction(1000.0f), 30 + 7);
    // The pointer rests where it is first seen; a move of more than 8 pixels from there is input.
    EXPECT_FALSE(show.pointerMoved(100, 100) || show.pointerMoved(108, 100));
    EXPECT_TRUE(show.pointerMoved(106, 107) && !show.pointerMoved(100, 107));

    // The longest quiet, counted to its end by frames of a millisecond.
    show.enable(86400.0f, 7u);
    show.noticeInput();
    show.quietMs = 86400000 - 500;
    for (int frame = 0; frame < 500; ++frame)
        show.next(1.0f, action);
    EXPECT_TRUE(show.playing());
}
