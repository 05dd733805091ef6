#include "crowd/Person.h"

#include "app/AppState.h"
#include "assets/TextureRegistry.h"
#include "base/Random.h"
#include "crowd/Crowd.h"

#include <algorithm>
#include <cmath>

Person::Person(int32_t face, int32_t body) : faceFrame(face), bodyKind(body) {
    // Remainders of draws up to 32767 are uneven: the crowd is denser toward -x and the front.
    const float x = static_cast<float>(randomDraw() % 20000 - 10000) * 0.01f;
    const float z = static_cast<float>(randomDraw() % 10000) * 0.01f;
    headPos = {x, 0.0f, z};
    bodyPos = {x, -10.0f, z};
    bobRate = static_cast<float>(randomDraw() % 1000) * 0.001f;
    bobPhase = static_cast<float>(randomDraw() % 10000) * 0.1f;
    targetPos = headPos;
    homePos = headPos;
    gunOnLeft = (randomDraw() % 1000) % 2 == 1 ? 1 : 0;
    burnCheckTimer = static_cast<float>(randomDraw() % 10000) * 0.1f;
    singCheckTimer = static_cast<float>(randomDraw() % 10000) * 0.1f;
    fireIndex = randomDraw() % crowdFires;
    if ((randomDraw() % 10000) % 2 == 0) {
        fireFlip = 1.0f;
        fireHeight = 7.5f;
    } else {
        fireFlip = -1.0f;
        fireHeight = 6.5f;
    }
}

void Person::setSprites(const PersonSprites& sprites) {
    std::copy(std::begin(sprites.faces), std::end(sprites.faces), faceSprites);
    std::copy(std::begin(sprites.bodies), std::end(sprites.bodies), bodySprites);
    std::copy(std::begin(sprites.mouths), std::end(sprites.mouths), mouthSprites);
    gunLeftSprite = sprites.gunLeft;
    gunRightSprite = sprites.gunRight;
}

void Person::draw() const {
    SpriteDraw draws[maxPersonSprites];
    const int count = spriteDraws(draws);
    for (int i = 0; i < count; ++i)
        drawSprite(draws[i]);
}

int Person::spriteDraws(SpriteDraw (&draws)[maxPersonSprites]) const {
    if (state < PersonState::Idle || state > PersonState::Burning)
        return 0;
    const float cutoutAlphaRef = 0.95f; // only nearly opaque texels write colour and depth
    const Rotation upright{0.0f, 0.0f, 0.0f, 1.0f};

    // Sway and bob share the person's rate and phase, 2.6 radians apart. The angle is taken in
    // double precision throughout, so that after weeks of running each millisecond still counts.
    const double oneThreeHundredth = 0.0033333333333333335;
    const double t = static_cast<double>(AppState::instance().currentTimeMs);
    const double angle = t * static_cast<double>(bobRate) * oneThreeHundredth + bobPhase;
    const float sway = static_cast<float>(std::sin(angle + 2.6) * 0.5 * 0.2);
    const float bob = static_cast<float>(std::sin(angle) * 0.5 * 0.19);
    const Vec3 face{headPos.x, headPos.y + bob, headPos.z};

    int count = 0;
    if (state == PersonState::Armed) {
        const bool onLeft = gunOnLeft != 0;
        const Vec3 hand{onLeft ? bodyPos.x - 6.0f : bodyPos.x + 6.0f, bodyPos.y + 6.0f, bodyPos.z};
        draws[count++] = {onLeft ? gunRightSprite : gunLeftSprite,
                          hand,
                          {4.0f, 1.5f, 3.0f},
                          upright,
                          cutoutAlphaRef};
    }
    draws[count++] = {bodySprites[bodyKind],
                      bodyPos,
                      {bodyWidth + sway, bodyHeight, bodyDepth},
                      upright,
                      cutoutAlphaRef};
    draws[count++] = {faceSprites[faceFrame], face, faceScale, upright, cutoutAlphaRef};

    if (state == PersonState::Singing) {
        // Drawn after the face at the same depth: the depth test passes equal depths.
        draws[count++] = {mouthSprites[mouthFrame], face - mouthOffset, mouthScale, upright, 0.0f};
    } else if (state == PersonState::Burning) {
        draws[count++] = Crowd::instance().fires[fireIndex].spriteDraw(
            {face.x, face.y + 7.0f, face.z}, {fireWidth, fireHeight, fireFlip});
    }
    return count;
}
