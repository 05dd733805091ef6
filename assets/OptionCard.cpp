#include "assets/OptionCard.h"

#include "assets/TextureRegistry.h"
#include "base/CardLayout.h"
#include "base/Catalogue.h"

#include <GL/gl.h>
#include <cmath>

namespace {
constexpr float shownAngle = -10.0f;  // degrees: stands up, tilted slightly clockwise
constexpr float putAwayAngle = 70.0f; // degrees: turned down below the view
constexpr float swingSeconds = 0.5f;
// 160 degrees a second, exactly: timer * 160 rounds as (timer + timer) * 80 does.
constexpr float swingDegreesPerSecond = (putAwayAngle - shownAngle) / swingSeconds;
// The pivot in eye coordinates, right of and below the line of sight, one unit before the eye.
constexpr float pivotX = 0.85f;
constexpr float pivotY = -0.65f;
constexpr float pivotZ = -1.0f;
constexpr float drawnScale = 0.9f;
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
    glTranslatef(pivotX, pivotY, pivotZ);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
    glScalef(drawnScale, drawnScale, drawnScale);
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

int32_t OptionCard::lineAt(float x, float y, int32_t width, int32_t height,
                           float fieldOfView) const {
    if (width <= 0 || height <= 0)
        return 0;
    // The pixel's centre on the card's plane, where the projection maps it, in eye coordinates.
    const double focal = 1.0 / std::tan(fieldOfView * M_PI / 360.0);
    const double aspect = static_cast<double>(width) / height;
    const double eyeX = ((x + 0.5) / width * 2.0 - 1.0) * aspect / focal * -pivotZ;
    const double eyeY = (1.0 - (y + 0.5) / height * 2.0) / focal * -pivotZ;
    // Back through the card's move, turn and scale: the unit square from (-1, 0) to (0, 1).
    const double turn = -angle * M_PI / 180.0;
    const double dx = eyeX - pivotX;
    const double dy = eyeY - pivotY;
    const double cardX = (dx * std::cos(turn) - dy * std::sin(turn)) / drawnScale;
    const double cardY = (dx * std::sin(turn) + dy * std::cos(turn)) / drawnScale;
    // The picture's pixels: s runs with x from the square's left edge, t = 0 is its top edge.
    const double column = (cardX + 1.0) * cardLayout::side;
    const double row = (1.0 - cardY) * cardLayout::side;
    if (!(column >= cardLayout::innerLeft && column < cardLayout::innerRight))
        return 0;
    // Each line owns the band from half-way to the line above to half-way to the line below.
    const double margin =
        (cardLayout::lineSpacing - cardLayout::badgeAbove - cardLayout::badgeBelow) / 2.0;
    const double top = cardLayout::firstBaseline - cardLayout::badgeAbove - margin;
    const double line = std::floor((row - top) / cardLayout::lineSpacing);
    return line >= 0.0 && line < cardLayout::lines ? static_cast<int32_t>(line) + 1 : 0;
}
