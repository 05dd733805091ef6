// One person of the crowd: a stack of flat cut-outs (body, face, and by state a gun hand,
// a singing mouth or a flame) with its place, walk, timers and looks. The crowd owns it.
#pragma once

#include "assets/Sprite.h"
#include "base/Vec3.h"

#include <cstdint>

enum class PersonState : int32_t { Idle = 0, Armed = 1, Singing = 2, Burning = 3 };

constexpr int faceKinds = 6;
constexpr int faceVariants = 2;
constexpr int bodyKinds = 6;
constexpr int mouthKinds = 3;
constexpr int maxPersonSprites = 3; // body and face, and a gun hand, a mouth or a flame

// The sprite indices every person carries a copy of.
struct PersonSprites {
    int32_t faces[faceKinds * faceVariants] = {}; // kind * 2 + variant
    int32_t bodies[bodyKinds] = {};
    int32_t mouths[mouthKinds] = {};
    int32_t gunLeft = 0;
    int32_t gunRight = 0;
};

class Person {
  public:
    PersonState state = PersonState::Idle;
    int32_t cellX = 0;      // grid column it is filed under
    int32_t cellZ = 0;      // grid row it is filed under
    int32_t gunOnLeft = 0;  // nonzero: the gun hand on the viewer's left
    int32_t faceFrame = 0;  // index into faceSprites
    int32_t bodyKind = 0;   // index into bodySprites
    int32_t mouthFrame = 1; // index into mouthSprites
    float bodyWidth = 2.0f; // body half-width before the sway
    float bodyHeight = 9.0f;
    float bodyDepth = 3.0f;
    Vec3 faceScale{3.0f, 3.0f, 3.0f};
    float bobPhase = 0.0f;              // radians, 0 to 999.9
    float bobRate = 0.0f;               // 0 to 0.999
    Vec3 headPos;                       // the person's position for the grid, the pick and movement
    Vec3 bodyPos;                       // moves by the same steps as headPos
    Vec3 mouthOffset{0.0f, 1.0f, 0.0f}; // subtracted from the head position
    Vec3 homePos;
    Vec3 force;
    Vec3 velocity; // world units per ms
    Vec3 targetPos;
    float fireWidth = 4.0f;
    float fireHeight = 7.5f;
    float fireFlip = 1.0f; // 1 or -1: the flame mirrored
    Vec3 mouthScale;
    float burnCheckTimer = 0.0f; // counts down 0.01 per ms to the next fire check
    float singCheckTimer = 0.0f; // counts down 0.07 per ms to the next song check
    int32_t fireIndex = 0;       // which of the crowd's ten fires it shows
    int32_t faceSprites[faceKinds * faceVariants] = {};
    int32_t bodySprites[bodyKinds] = {};
    int32_t mouthSprites[mouthKinds] = {};
    int32_t gunLeftSprite = 0;
    int32_t gunRightSprite = 0;
    int32_t walking = 0; // walks toward targetPos
    float mass = 1.0f;

    // Places the person at random: nine draws from the program's generator.
    Person(int32_t face, int32_t body);

    void setSprites(const PersonSprites& sprites);
    // indexInCell: the person's position in its cell's list at the moment of the call.
    void update(unsigned indexInCell);
    // Gun hand, body, face, then mouth or flame, as sprites: expects blending and the alpha test
    // off and leaves them off.
    void draw() const;
    // What draw draws, in its order; returns how many (none for a state outside 0 to 3).
    int spriteDraws(SpriteDraw (&draws)[maxPersonSprites]) const;

  private:
    void checkFireContagion();
    void checkSongContagion();
};
