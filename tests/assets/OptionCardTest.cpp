#include "assets/OptionCard.h"
#include "support/GlContext.h"

#include <GL/gl.h>
#include <gtest/gtest.h>
#include <vector>

namespace {
std::vector<float> anglesOf(OptionCard& card, int updates, float seconds) {
    std::vector<float> angles;
    for (int i = 0; i < updates; ++i) {
        card.update(seconds);
        angles.push_back(card.angle);
    }
    return angles;
}
} // namespace

TEST(OptionCardStates, StartsPutAway) {
    const OptionCard card;
    EXPECT_EQ(card.state, CardState::PutAway);
    EXPECT_EQ(card.timer, 0.0f);
    EXPECT_EQ(card.angle, 70.0f);
}

TEST(OptionCardStates, SwingInOvershootsOnTheFramePastHalfASecond) {
    OptionCard card;
    card.swingIn();
    EXPECT_EQ(anglesOf(card, 4, 0.125f), (std::vector<float>{50, 30, 10, -10}));
    EXPECT_EQ(card.state, CardState::SwingingIn); // a timer of exactly 0.5 still swings
    card.update(0.125f);
    EXPECT_EQ(card.angle, -30.0f);
    EXPECT_EQ(card.state, CardState::Shown);
    EXPECT_EQ(card.timer, 0.0f);
    card.update(0.125f);
    EXPECT_EQ(card.angle, -10.0f);
}

TEST(OptionCardStates, SwingOutMirrorsTheSwingIn) {
    OptionCard card;
    card.state = CardState::Shown;
    card.swingOut();
    EXPECT_EQ(anglesOf(card, 5, 0.125f), (std::vector<float>{10, 30, 50, 70, 90}));
    EXPECT_EQ(card.state, CardState::PutAway);
    card.update(0.125f);
    EXPECT_EQ(card.angle, 70.0f);
}

TEST(OptionCardStates, RequestingTheCurrentStateChangesNothing) {
    OptionCard card;
    card.state = CardState::Shown;
    card.swingOut();
    card.update(0.3f);
    card.swingOut();
    EXPECT_FLOAT_EQ(card.timer, 0.3f);
    card.hide();
    card.hide();
    EXPECT_EQ(card.state, CardState::PutAway);
    EXPECT_EQ(card.timer, 0.0f);
}

TEST(OptionCardStates, SwingOutWhilePutAwayJumpsToTheShownAngle) {
    OptionCard card;
    card.swingOut();
    card.update(0.0f);
    EXPECT_EQ(card.angle, -10.0f);
    card.swingIn();
    card.update(0.0f);
    EXPECT_EQ(card.angle, 70.0f);
}

TEST(OptionCardStates, ZeroSecondsSetsTheRestingAngleOnly) {
    OptionCard card;
    card.angle = 12.0f;
    card.update(0.0f);
    EXPECT_EQ(card.angle, 70.0f);
    card.state = CardState::Shown;
    card.update(0.0f);
    EXPECT_EQ(card.angle, -10.0f);
    EXPECT_EQ(card.timer, 0.0f);
    EXPECT_EQ(card.state, CardState::Shown);
}

TEST(OptionCardStates, UnknownStateOnlyAdvancesTheTimer) {
    OptionCard card;
    card.state = static_cast<CardState>(7);
    card.angle = 5.0f;
    card.update(0.25f);
    EXPECT_EQ(card.angle, 5.0f);
    EXPECT_EQ(card.timer, 0.25f);
}

TEST(OptionCardDraw, LeavesBlendAndAlphaTestOffDepthTestOnAndWhite) {
    ensureGlContext();
    OptionCard& card = OptionCard::instance();
    card.init();
    EXPECT_NE(card.cardList, 0u);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glDisable(GL_DEPTH_TEST);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    GLdouble before[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, before);
    card.draw();
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_ALPHA_TEST));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    for (float component : colour)
        EXPECT_EQ(component, 1.0f);
    GLdouble after[16];
    glGetDoublev(GL_MODELVIEW_MATRIX, after);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(after[i], before[i]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
