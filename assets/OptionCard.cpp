#include "assets/OptionCard.h"

#include "assets/TextureRegistry.h"
#include "base/Catalogue.h"

#include <GL/gl.h>

namespace {
constexpr float shownAngle = -10.0f;  // degrees: stands up, tilted slightly clockwise
constexpr float putAwayAngle = 70.0f; // degrees: turned down below the view
constexpr float swingSeconds = 0.5f;
// 160 degrees a second, exactly: timer * 160 rounds as (timer + timer) * 80 does.
constexpr float swingDegreesPerSecond = (putAwayAngle - shownAngle) / swingSeconds;
} // namespace

OptionCard& OptionCard::instance() {
    static OptionCard card;
    return card;
}

void OptionCard::init() {
    const GLuint texture = loadTexture(catalogue::imagePath(catalogue::optionCardPicture).c_str());
    cardList = glGenLists(1);
    glNewList(cardList, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    // A unit square whose bottom-right corner is the pivot it swings about.
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(0.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glEndList();
}

void OptionCard::update(float seconds) {
    timer += seconds;
    switch (state) {
    case CardState::Shown:
        angle = shownAngle;
        break;
    case CardState::PutAway:
        angle = putAwayAngle;
        break;
    // The last swinging frame overshoots before the state changes; the next update corrects it.
    case CardState::SwingingIn:
        angle = putAwayAngle - timer * swingDegreesPerSecond;
        if (timer > swingSeconds) {
            state = CardState::Shown;
            timer = 0.0f;
        }
        break;
    case CardState::SwingingOut:
        angle = timer * swingDegreesPerSecond + shownAngle;
        if (timer > swingSeconds)
            setState(CardState::PutAway);
        break;
    default:
        break;
    }
}

void OptionCard::draw() const {
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_ALPHA_TEST);
    glAlphaFunc(GL_GREATER, 0.0f);
    // Pinned in eye coordinates, over everything: identity model-view, no depth test.
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_DEPTH_TEST);
    glTranslatef(0.85f, -0.65f, -1.0f);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glScalef(0.9f, 0.9f, 0.9f);
    glCallList(cardList);
    glEnable(GL_DEPTH_TEST);
    glPopMatrix();
    glDisable(GL_BLEND);
    glDisable(GL_ALPHA_TEST);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void OptionCard::setState(CardState newState) {
    if (newState == state)
        return;
    state = newState;
    timer = 0.0f;
}
