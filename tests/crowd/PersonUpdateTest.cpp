#include "crowd/Person.h"

#include "crowd/Mouth.h"
#include "support/Scene.h"

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>
#include <vector>

// One frame of each kind of motion: bounces off the walls, walks, and free moves under friction.
TEST_F(SceneTest, OneFrameMovesEachKindOfMoverAsItShould) {
    const Vec3 still{}, none{};
    const struct {
        const char* what;
        Vec3 at, velocity, target, home;
        float mass, deltaMs;
        Vec3 head, velocityAfter;
        int walking; // after the frame; a target makes a walker
    } cases[] = {
        // clang-format off
        {"left wall", {-100, 0, 50}, {-0.01f, 0, 0.002f}, none, none, 1, 10,
            {-99.9f, 0, 50.02f}, {0.01f, 0, 0.002f}, 0},
        {"right wall", {100, 0, 50}, {0.01f, 0, -0.002f}, none, none, 1, 10,
            {99.9f, 0, 49.98f}, {-0.01f, 0, -0.002f}, 0},
        {"far wall", {10, 0, 100}, {0.002f, 0, 0.01f}, none, none, 1, 10,
            {10.02f, 0, 99.9f}, {0.002f, 0, -0.01f}, 0},
        {"front wall", {10, 0, 0}, {0.003f, 0, -0.01f}, none, none, 1, 10,
            {10.03f, 0, 0.1f}, {0.003f, 0, 0.01f}, 0},
        {"a corner: the side wall wins, the clamp holds z", {-100, 0, 100}, {-0.01f, 0, 0.01f},
            none, none, 1, 10, {-99.9f, 0, 100}, {0.01f, 0, 0.01f}, 0},
        {"a walker within half a unit arrives and ignores its velocity", {1, 0, 50},
            {0.01f, 0, 0}, {1.3f, 0, 50.3f}, none, 1, 10, {1, 0, 50}, {0.01f, 0, 0}, 0},
        {"exactly half a unit away: not there yet", {1, 0, 50}, still, {1.5f, 0, 50}, none, 1, 10,
            {1.1f, 0, 50}, still, 1},
        {"to exactly 25 from home: still on the leash", {24.875f, 0, 50}, still, {40, 0, 50},
            {0, 0, 50}, 1, 12.5f, {25, 0, 50}, still, 1},
        {"the step across the leash is taken, then the walk ends", {25, 0, 50}, still,
            {40, 0, 50}, {0, 0, 50}, 1, 12.5f, {25.125f, 0, 50}, still, 0},
        {"walking is flat and not renormalised", {1, -2.5f, 50}, still, {4, 1.5f, 50}, none, 1, 10,
            {1.06f, -2.5f, 50}, still, 1},
        {"friction but no vertical force", {41, 0, 50}, {0.01f, 0.01f, 0.02f}, none, none, 1, 10,
            {41.0995f, 0.1f, 50.199f}, {0.0099f, 0.01f, 0.0198f}, 0},
        {"a zero mass becomes 0.000001: a = -10 per ms^2, held at the wall", {0, 0, 50},
            {0.01f, 0, 0}, none, none, 0, 10, {-100, 0, 50}, {-99.99f, 0, 0}, 0},
        {"held at the front", {10, 0, 0.05f}, {0, 0, -0.01f}, none, none, 1, 10, {10, 0, 0},
            {0, 0, -0.0099f}, 0},
        // clang-format on
    };
    for (const auto& c : cases) {
        resetScene();
        Person& p = place(c.at.x, c.at.z, c.at.y);
        p.velocity = c.velocity;
        p.mass = c.mass;
        p.walking = c.target != none;
        p.targetPos = p.walking ? c.target : p.targetPos;
        p.homePos = c.home != none ? c.home : p.homePos;
        stepCrowd(c.deltaMs);
        SCOPED_TRACE(c.what);
        expectNear(p.headPos, c.head, 1e-5f);
        expectNear(p.bodyPos, c.head - Vec3{0, 10, 0}, 1e-5f);
        expectNear(p.velocity, c.velocityAfter, 1e-6f + 1e-6f * length(c.velocityAfter));
        EXPECT_EQ(p.walking, c.walking);
    }
}

TEST_F(SceneTest, BurnersArePushedByTheirOwnCellInTheOverviewButNeverOffAWall) {
    for (ViewMode mode : {ViewMode::Overview, ViewMode::Focused, ViewMode::Travelling}) {
        resetScene();
        app.viewMode = mode;
        Person& burning = place(-90.0f, 5.0f);
        burning.state = PersonState::Burning;
        Person& neighbour = place(-85.0f, 5.0f);
        place(-79.0f, 5.0f); // the next cell: no push
        stepCrowd(10.0f);
        // F = (p - q) * 0.000001 = (-5e-6, 0, 0); a = F; x moves 0.5 a dt^2.
        const float pushed = mode == ViewMode::Overview ? 2.5e-4f : 0.0f;
        expectNear(burning.headPos, {-90.0f - pushed, 0.0f, 5.0f}, 1e-5f);
        EXPECT_EQ(neighbour.headPos, (Vec3{-85.0f, 0.0f, 5.0f})); // only the burning are pushed
    }
    // clang-format off
    const Vec3 spots[][2] = {{{-100, 0, 50}, {-97, 0, 50}}, {{100, 0, 50}, {97, 0, 50}},
                             {{10, 0, 0}, {10, 0, 3}}, {{10, 0, 100}, {10, 0, 97}}};
    // clang-format on
    for (const auto& spot : spots) { // pushed outward from the wall by someone 3 units inward
        resetScene();
        Person& edge = place(spot[0].x, spot[0].z);
        edge.state = PersonState::Burning;
        place(spot[1].x, spot[1].z);
        for (int frame = 0; frame < 20; ++frame)
            stepCrowd(16.0f);
        EXPECT_TRUE(edge.headPos == spot[0] && edge.velocity == Vec3{});
    }
}

// Cells are visited column by column. A person who walks into a cell still to come is updated
// again there; the one behind it in its old cell slides into its slot and is skipped.
TEST_F(SceneTest, APersonWhoChangesCellsIsUpdatedAgainOnlyInACellStillToCome) {
    const std::tuple<Vec3, Vec3, Cell, int> cases[] = {
        {{-80.05f, 0, 5}, {-70, 0, 5}, {1, 0}, 2},              // (0, 0) to (1, 0)
        {{-79.95f, 0, 9.95f}, {-89.95f, 0, 19.95f}, {0, 1}, 1}, // (1, 0) to (0, 1)
    };
    for (const auto& [from, to, cell, updates] : cases) {
        resetScene();
        Person& mover = place(from.x, from.z);
        mover.targetPos = to;
        mover.walking = 1;
        Person& skipped = place(from.x - 0.01f, from.z);
        Person& last = place(from.x - 0.02f, from.z);
        for (Person* p : {&mover, &skipped, &last})
            p->singCheckTimer = 100.0f;
        stepCrowd(10.0f);
        SCOPED_TRACE(testing::Message() << "to cell " << cell.x << ", " << cell.z);
        EXPECT_TRUE(mover.cellX == cell.x && mover.cellZ == cell.z);
        const Vec3 step = (to - from) / length(to - from) * 0.1f;
        expectNear(mover.headPos, from + step * float(updates), 1e-5f);
        EXPECT_FLOAT_EQ(mover.singCheckTimer, 100.0f - 0.7f * float(updates));
        EXPECT_EQ(skipped.singCheckTimer, 100.0f);
        EXPECT_FLOAT_EQ(last.singCheckTimer, 99.3f);
        EXPECT_EQ(crowd.grid[cellIndex(cell.x, cell.z)].back().get(), &mover);
    }
}

// Outside the overview nothing spreads, though the timers run.
TEST_F(SceneTest, ContagionSongWinsBothRearmFromADrawFireSpreadsInItsCellSongAcrossTheNextCells) {
    const ViewMode modes[] = {ViewMode::Overview, ViewMode::Overview, ViewMode::Focused,
                              ViewMode::Travelling};
    for (const ViewMode& mode : modes) {
        const bool fireLow = &mode == &modes[0];
        resetScene();
        app.viewMode = mode;
        place(-92.0f, 5.0f).state = PersonState::Singing;
        place(-88.0f, 5.0f).state = PersonState::Burning;
        Person& p = place(-90.0f, 5.0f);
        p.singCheckTimer = p.burnCheckTimer = -1.0f;
        scriptDraws({fireLow ? 0 : randomMax, fireLow ? randomMax : 0});
        stepCrowd(mode == ViewMode::Overview ? 0.0f : 10.0f); // nothing moves at 0
        if (mode != ViewMode::Overview) {
            EXPECT_EQ(p.state, PersonState::Idle);
            EXPECT_FLOAT_EQ(p.singCheckTimer + p.burnCheckTimer, -2.8f);
            continue;
        }
        EXPECT_TRUE(unusedDraws() == 0 && p.state == PersonState::Singing);
        EXPECT_FLOAT_EQ(p.burnCheckTimer, fireLow ? 5000.0f : 8276.7f);
        EXPECT_FLOAT_EQ(p.singCheckTimer, fireLow ? 3776.7f : 500.0f);
    }

    // Fire spreads from the own cell within the radius when it outweighs song.
    const PersonState S = PersonState::Singing, B = PersonState::Burning;
    const std::pair<std::vector<std::pair<Vec3, PersonState>>, bool> cases[] = {
        // burns?
        // clang-format off
        {{{{-87, 0, 6}, B}}, false}, // squared distance exactly 80
        {{{{-87, 0, 5.9f}, B}}, true}, {{{{-96, 0, 2}, S}}, false},
        {{{{-93, 0, 2}, B}, {{-91, 0, 2}, S}}, true},  // burning nearer than singing
        {{{{-91, 0, 2}, B}, {{-93, 0, 2}, S}}, false}, // singing nearer
        {{{{-93, 0, 2}, B}, {{-97, 0, 2}, S}}, true},  // as near
        {{{{-94, 0, 10.5f}, B}}, false}, // within the radius, but in the next row
        // clang-format on
    };
    for (const auto& [neighbours, burns] : cases) {
        resetScene();
        Person& p = place(-95.0f, 2.0f);
        p.burnCheckTimer = -1.0f;
        for (const auto& [at, state] : neighbours)
            place(at.x, at.z).state = state;
        const uint32_t drawsBefore = randomState();
        stepCrowd(0.0f);
        SCOPED_TRACE(testing::Message() << "first neighbour at " << neighbours[0].first.x << ", "
                                        << neighbours[0].first.z);
        EXPECT_EQ(p.state, burns ? B : PersonState::Idle);
        if (burns) {
            EXPECT_GE(p.burnCheckTimer, 5000.0f);
        } else { // a failed check draws nothing and runs again next frame
            EXPECT_TRUE(p.burnCheckTimer == -1.0f && randomState() == drawsBefore);
        }
    }

    // Song reaches across the neighbouring cells unless fire outweighs it.
    resetScene();
    Person& corner = place(-80.5f, 9.5f);              // cell (0, 0)
    place(-79.5f, 10.5f).state = PersonState::Singing; // cell (1, 1)
    Person& edge = place(99.5f, 99.5f); // cell (9, 9): its scan must stay inside the grid
    place(98.5f, 99.0f).state = PersonState::Singing;
    Person& outshone = place(0.0f, 50.0f);
    place(2.0f, 50.0f).state = PersonState::Singing;
    place(-1.0f, 49.0f).state = PersonState::Burning; // nearer, in the next cell
    for (Person* p : {&corner, &edge, &outshone})
        p->singCheckTimer = -1.0f;
    stepCrowd(0.0f);
    EXPECT_TRUE(corner.state == PersonState::Singing && edge.state == PersonState::Singing);
    EXPECT_TRUE(outshone.state == PersonState::Idle && outshone.singCheckTimer == -1.0f);
}

TEST_F(SceneTest, TheMouthOpensWithTheMusicAndIsClosedWithoutIt) {
    EXPECT_EQ(mouthScaleFor(0.0f), (Vec3{0.55f, 0.0f, 0.35f}));
    expectNear(mouthScaleFor(0.1f), {0.55f, 0.3f, 0.35f}, 1e-6f);
    expectNear(mouthScaleFor(0.16f), {0.52f, 0.48f, 0.35f}, 1e-6f);
    EXPECT_TRUE(mouthScaleFor(0.2f) == (Vec3{0.5f, 0.5f, 0.35f}) &&
                mouthScaleFor(1.0f) == (Vec3{0.5f, 0.5f, 0.35f}));
    Person& singer = place(0.0f, 50.0f);
    singer.state = PersonState::Singing;
    Person& idle = place(40.0f, 50.0f);
    stepCrowd(10.0f);
    // No music has started.
    EXPECT_TRUE(singer.mouthScale == (Vec3{0.55f, 0.0f, 0.35f}) && idle.mouthScale == Vec3{});
}
