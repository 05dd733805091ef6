#include "crowd/Person.h"

#include "app/AppState.h"
#include "assets/SoundBank.h"
#include "base/Random.h"
#include "crowd/Crowd.h"
#include "crowd/Mouth.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float walkSpeed = 0.01f;        // world units per ms
constexpr float arrivalDistance = 0.5f;   // world units from the target
constexpr float leashLength = 25.0f;      // world units from home
constexpr float repulsion = 0.000001f;    // burning push per unit of distance
constexpr float friction = 0.001f;        // per ms
constexpr float contagionRadius2 = 80.0f; // squared world units
constexpr float songTimerRate = 0.07f;    // timer units per ms
constexpr float fireTimerRate = 0.01f;    // timer units per ms

struct Exposure {
    float singing = 0.0f; // sum of 1 / squared distance over singing neighbours
    float burning = 0.0f; // the same over burning neighbours
};

void expose(Exposure& exposure, const CellList& list, const Person* self) {
    for (const std::unique_ptr<Person>& other : list) {
        if (other.get() == self)
            continue;
        const Vec3 d = other->headPos - self->headPos;
        const float d2 = d.x * d.x + d.y * d.y + d.z * d.z;
        if (d2 >= contagionRadius2)
            continue;
        if (other->state == PersonState::Singing)
            exposure.singing += 1.0f / d2;
        else if (other->state == PersonState::Burning)
            exposure.burning += 1.0f / d2;
    }
}

// The next check waits 0.1 of a draw beyond the base.
float rearmedTimer(float base) {
    return base + 0.1f * static_cast<float>(randomDraw() % 100000);
}
} // namespace

void Person::update(unsigned indexInCell) {
    Crowd& crowd = Crowd::instance();
    AppState& app = AppState::instance();
    const float dt = app.frameDeltaMs;
    const bool overview = app.viewMode == ViewMode::Overview;
    // The origin stands for "no new position".
    Vec3 newHead;
    Vec3 newBody;
    bool moved = false;

    force = Vec3{};

    if (headPos.x <= -100.0f || headPos.x >= 100.0f || headPos.z <= 0.0f || headPos.z >= 100.0f) {
        Vec3 normal{0.0f, 0.0f, -1.0f};
        if (headPos.x <= -100.0f)
            normal = {-1.0f, 0.0f, 0.0f};
        else if (headPos.x >= 100.0f)
            normal = {1.0f, 0.0f, 0.0f};
        else if (headPos.z >= 100.0f)
            normal = {0.0f, 0.0f, 1.0f};
        velocity = velocity - normal * (2.0f * dot(velocity, normal));
        newHead = headPos + velocity * dt;
        newBody = bodyPos + velocity * dt;
        moved = true;
    }

    if (state == PersonState::Burning && overview) {
        const CellList& own = crowd.grid[cellIndex(cellX, cellZ)];
        for (unsigned i = 0; i < own.size(); ++i)
            if (i != indexInCell)
                force = force + (headPos - own[i]->headPos) * repulsion;
    }

    if (walking) {
        moved = true;
        const Vec3 d = targetPos - headPos;
        const float distance = length(d);
        if (distance < arrivalDistance) {
            walking = 0;
        } else {
            // Walking is horizontal; the flattened direction is not renormalised.
            Vec3 direction = d / distance;
            direction.y = 0.0f;
            const Vec3 step = direction * walkSpeed;
            newHead = headPos + step * dt;
            newBody = bodyPos + step * dt;
        }
        // The step that crosses the leash is still committed below.
        if (length(homePos - newHead) > leashLength)
            walking = 0;
    }

    if (mass == 0.0f)
        mass = 0.000001f;
    force = force + velocity * -friction;

    if (!moved) {
        force.y = 0.0f; // people never accelerate vertically
        const Vec3 acceleration = force / mass;
        newHead = headPos + velocity * dt + acceleration * 0.5f * (dt * dt);
        newBody = bodyPos + velocity * dt + acceleration * 0.5f * (dt * dt);
        velocity = velocity + acceleration * dt;
    }

    newHead.x = std::clamp(newHead.x, -100.0f, 100.0f);
    newBody.x = std::clamp(newBody.x, -100.0f, 100.0f);
    newHead.z = std::clamp(newHead.z, 0.0f, 100.0f);
    newBody.z = std::clamp(newBody.z, 0.0f, 100.0f);

    if (newHead != headPos && newHead != Vec3{}) {
        headPos = newHead;
        bodyPos = newBody;
        const Cell cell = cellOf(headPos.x, headPos.z);
        if (cell.x != cellX || cell.z != cellZ) {
            std::unique_ptr<Person> self = crowd.unfile(cellIndex(cellX, cellZ), indexInCell);
            cellX = cell.x;
            cellZ = cell.z;
            crowd.file(std::move(self));
        }
    }

    singCheckTimer -= dt * songTimerRate;
    burnCheckTimer -= dt * fireTimerRate;

    if (burnCheckTimer < 0.0f && overview)
        checkFireContagion();
    // The song check runs second: when both succeed, the person ends singing.
    if (singCheckTimer < 0.0f && overview)
        checkSongContagion();

    if (state == PersonState::Singing)
        mouthScale = mouthScaleFor(SoundBank::instance().musicLevel());
}

void Person::checkFireContagion() {
    Exposure exposure;
    expose(exposure, Crowd::instance().grid[cellIndex(cellX, cellZ)], this);
    if (exposure.burning != 0.0f && exposure.singing <= exposure.burning) {
        state = PersonState::Burning;
        burnCheckTimer = rearmedTimer(5000.0f);
    }
}

void Person::checkSongContagion() {
    Exposure exposure;
    const Crowd& crowd = Crowd::instance();
    for (int i = -1; i <= 1; ++i)
        for (int j = -1; j <= 1; ++j) {
            const int x = cellX + i;
            const int z = cellZ + j;
            if (x < 0 || x >= gridColumns || z < 0 || z >= gridRows)
                continue;
            expose(exposure, crowd.grid[cellIndex(x, z)], this);
        }
    if (exposure.singing != 0.0f && exposure.singing >= exposure.burning) {
        state = PersonState::Singing;
        singCheckTimer = rearmedTimer(500.0f);
    }
}
