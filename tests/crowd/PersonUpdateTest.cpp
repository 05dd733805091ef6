#include "crowd/Person.h"

#include "crowd/Mouth.h"
#include "support/CrowdTestSupport.h"

#include <algorithm>
#include <vector>

using crowdtest::expectNear;

class PersonMove : public crowdtest::CrowdFixture {};

TEST_F(PersonMove, EachWallReflectsTheVelocityAndMovesByIt) {
    struct Case {
        Vec3 position, velocity, reflected;
    };
    const Case cases[] = {
        {{-100.0f, 0.0f, 50.0f}, {-0.01f, 0.0f, 0.002f}, {0.01f, 0.0f, 0.002f}},
        {{100.0f, 0.0f, 50.0f}, {0.01f, 0.0f, -0.002f}, {-0.01f, 0.0f, -0.002f}},
        {{10.0f, 0.0f, 100.0f}, {0.002f, 0.0f, 0.01f}, {0.002f, 0.0f, -0.01f}},
        {{10.0f, 0.0f, 0.0f}, {0.003f, 0.0f, -0.01f}, {0.003f, 0.0f, 0.01f}},
        // In a corner the side wall wins; the clamp then holds z at the far wall.
        {{-100.0f, 0.0f, 100.0f}, {-0.01f, 0.0f, 0.01f}, {0.01f, 0.0f, 0.01f}},
    };
    for (const Case& c : cases) {
        reset();
        Person& p = place(c.position.x, c.position.z);
        p.velocity = c.velocity;
        step(10.0f);
        SCOPED_TRACE(testing::Message() << "at " << c.position.x << ", " << c.position.z);
        EXPECT_EQ(p.velocity, c.reflected); // no friction on a bounce
        Vec3 expected = c.position + c.reflected * 10.0f;
        expected.z = std::min(expected.z, 100.0f);
        expectNear(p.headPos, expected, 1e-5f);
        expectNear(p.bodyPos, expected + Vec3{0.0f, -10.0f, 0.0f}, 1e-5f);
    }
}

TEST_F(PersonMove, StillBurnerOnTheEdgeIsNeverMovedByForces) {
    // Each edge spot with a neighbour 3 units inward, in the same cell, pushing it outward.
    const Vec3 spots[][2] = {{{-100.0f, 0.0f, 50.0f}, {-97.0f, 0.0f, 50.0f}},
                             {{100.0f, 0.0f, 50.0f}, {97.0f, 0.0f, 50.0f}},
                             {{10.0f, 0.0f, 0.0f}, {10.0f, 0.0f, 3.0f}},
                             {{10.0f, 0.0f, 100.0f}, {10.0f, 0.0f, 97.0f}}};
    for (const auto& spot : spots) {
        reset();
        Person& burning = place(spot[0].x, spot[0].z);
        burning.state = PersonState::Burning;
        place(spot[1].x, spot[1].z);
        ASSERT_EQ(cellAt(burning.cellX, burning.cellZ).size(), 2u);
        for (int frame = 0; frame < 20; ++frame)
            step(16.0f);
        EXPECT_EQ(burning.headPos, spot[0]);
        EXPECT_EQ(burning.velocity, Vec3{});
    }
}

TEST_F(PersonMove, BurnerIsPushedByItsOwnCellOnlyInOverview) {
    Person& burning = place(-90.0f, 5.0f);
    burning.state = PersonState::Burning;
    Person& neighbour = place(-85.0f, 5.0f);
    place(-79.0f, 5.0f); // next cell: no push
    step(10.0f);
    // F = (p - q) * 0.000001 = (-5e-6, 0, 0); a = F; x moves 0.5 a dt^2.
    EXPECT_NEAR(burning.headPos.x, -90.0f - 2.5e-4f, 1e-5f);
    EXPECT_EQ(burning.headPos.z, 5.0f);
    EXPECT_NEAR(burning.velocity.x, -5.0e-5f, 1e-9f);
    EXPECT_EQ(neighbour.headPos, (Vec3{-85.0f, 0.0f, 5.0f})); // only the burning are pushed

    for (ViewMode mode : {ViewMode::Focused, ViewMode::Travelling}) {
        reset();
        app.viewMode = mode;
        Person& p = place(-90.0f, 5.0f);
        p.state = PersonState::Burning;
        place(-85.0f, 5.0f);
        step(10.0f);
        EXPECT_EQ(p.headPos, (Vec3{-90.0f, 0.0f, 5.0f})) << static_cast<int>(mode);
    }
}

TEST_F(PersonMove, WalkerArrivingWithinHalfAUnitDoesNotMove) {
    Person& p = place(1.0f, 50.0f);
    p.targetPos = {1.3f, 0.0f, 50.3f};
    p.walking = 1;
    p.velocity = {0.01f, 0.0f, 0.0f}; // a walker ignores its velocity, also on arrival
    step(10.0f);
    EXPECT_EQ(p.walking, 0);
    EXPECT_EQ(p.headPos, (Vec3{1.0f, 0.0f, 50.0f}));
    EXPECT_EQ(p.velocity, (Vec3{0.01f, 0.0f, 0.0f}));

    p.targetPos = {1.5f, 0.0f, 50.0f}; // exactly half a unit: not there yet
    p.walking = 1;
    step(10.0f);
    EXPECT_NEAR(p.headPos.x, 1.1f, 1e-6f);
    EXPECT_EQ(p.walking, 1);
}

TEST_F(PersonMove, StepAcrossTheLeashIsCommittedAndEndsTheWalk) {
    Person& p = place(24.8f, 50.0f);
    p.homePos = {0.0f, 0.0f, 50.0f};
    p.targetPos = {40.0f, 0.0f, 50.0f};
    p.walking = 1;
    step(10.0f);
    EXPECT_NEAR(p.headPos.x, 24.9f, 1e-5f);
    EXPECT_EQ(p.walking, 1);
    p.headPos.x = p.bodyPos.x = 24.95f;
    step(10.0f);
    EXPECT_NEAR(p.headPos.x, 25.05f, 1e-5f);
    EXPECT_NEAR(p.bodyPos.x, 25.05f, 1e-5f);
    EXPECT_EQ(p.walking, 0);
}

TEST_F(PersonMove, WalkingIsFlatAndNotRenormalised) {
    Person& p = place(1.0f, 50.0f, -2.5f); // a lowered head walking toward a target at y 1.5
    p.targetPos = {4.0f, 1.5f, 50.0f};
    p.walking = 1;
    step(10.0f);
    // Direction (0.6, 0.8, 0) loses its y: 0.006 units per ms along x, not 0.01.
    expectNear(p.headPos, {1.06f, -2.5f, 50.0f}, 1e-6f);
    expectNear(p.bodyPos, {1.06f, -12.5f, 50.0f}, 1e-6f);
}

TEST_F(PersonMove, FrictionSlowsAFreeMoverButNotVertically) {
    Person& p = place(1.0f, 50.0f);
    p.velocity = {0.01f, 0.01f, 0.02f};
    step(10.0f);
    // F = -v * 0.001; its y is dropped after friction, so v.y is kept and y still moves.
    expectNear(p.headPos, {1.0995f, 0.1f, 50.199f}, 1e-5f);
    expectNear(p.bodyPos, {1.0995f, -9.9f, 50.199f}, 1e-5f);
    expectNear(p.velocity, {0.0099f, 0.01f, 0.0198f}, 1e-8f);
}

TEST_F(PersonMove, ZeroMassIsReplacedAndMovesAreClamped) {
    Person& p = place(0.0f, 50.0f);
    p.mass = 0.0f;
    p.velocity = {0.01f, 0.0f, 0.0f};
    Person& front = place(10.0f, 0.05f);
    front.velocity = {0.0f, 0.0f, -0.01f};
    step(10.0f);
    EXPECT_EQ(p.mass, 0.000001f);
    // a = -1e-5 / 1e-6 = -10 per ms^2: far past the wall, held at x = -100.
    EXPECT_EQ(p.headPos, (Vec3{-100.0f, 0.0f, 50.0f}));
    EXPECT_EQ(p.bodyPos.x, -100.0f);
    EXPECT_NEAR(p.velocity.x, -99.99f, 1e-3f);
    EXPECT_EQ(p.cellX, 0);
    EXPECT_EQ(front.headPos.z, 0.0f);
    EXPECT_EQ(front.bodyPos.z, 0.0f);
}

class PersonCommit : public crowdtest::CrowdFixture {
  protected:
    Person& walker(float x, float targetX) {
        Person& p = place(x, 5.0f);
        p.targetPos = {targetX, 0.0f, 5.0f};
        p.walking = 1;
        return p;
    }
    std::vector<Person*> cellList(int32_t cellX) const {
        std::vector<Person*> people;
        for (const std::unique_ptr<Person>& person : cellAt(cellX, 0))
            people.push_back(person.get());
        return people;
    }
};

// The follower slides into the mover's slot and is skipped; a mover into a later cell runs twice.
TEST_F(PersonCommit, MoveIntoALaterCell) {
    Person& mover = walker(-80.05f, -70.0f);
    Person& skipped = place(-90.0f, 5.0f);
    Person& last = place(-95.0f, 5.0f);
    Person& resident = place(-75.0f, 5.0f);
    for (Person* p : {&mover, &skipped, &last, &resident})
        p->singCheckTimer = 100.0f;
    step(10.0f);
    EXPECT_EQ(cellList(0), (std::vector<Person*>{&skipped, &last}));
    EXPECT_EQ(cellList(1), (std::vector<Person*>{&resident, &mover}));
    EXPECT_EQ(mover.cellX, 1);
    EXPECT_NEAR(mover.headPos.x, -79.85f, 1e-5f); // walked twice
    EXPECT_FLOAT_EQ(mover.singCheckTimer, 100.0f - 1.4f);
    EXPECT_EQ(skipped.singCheckTimer, 100.0f);
    EXPECT_FLOAT_EQ(last.singCheckTimer, 100.0f - 0.7f);
    EXPECT_FLOAT_EQ(resident.singCheckTimer, 100.0f - 0.7f);
}

class PersonContagion : public crowdtest::CrowdFixture {
  protected:
    Person& at(float x, float z, PersonState state) {
        Person& p = place(x, z);
        p.state = state;
        return p;
    }
};

TEST_F(PersonContagion, ZeroDeltaFreezesMotionAndTimersButDueChecksRun) {
    at(-90.0f, 5.0f, PersonState::Singing);
    Person& listener = place(-88.0f, 5.0f);
    listener.singCheckTimer = -1.0f;
    listener.burnCheckTimer = 50.0f;
    Person& walker = place(50.0f, 50.0f);
    walker.targetPos = {60.0f, 0.0f, 50.0f};
    walker.walking = 1;
    walker.singCheckTimer = walker.burnCheckTimer = 100.0f;
    Person& drifter = place(20.0f, 50.0f);
    drifter.velocity = {0.01f, 0.0f, 0.0f};
    step(0.0f);
    EXPECT_EQ(listener.state, PersonState::Singing);
    EXPECT_GE(listener.singCheckTimer, 500.0f);
    EXPECT_EQ(listener.burnCheckTimer, 50.0f);
    EXPECT_EQ(walker.headPos, (Vec3{50.0f, 0.0f, 50.0f}));
    EXPECT_EQ(walker.walking, 1);
    EXPECT_EQ(walker.singCheckTimer, 100.0f);
    EXPECT_EQ(walker.burnCheckTimer, 100.0f);
    EXPECT_EQ(drifter.headPos, (Vec3{20.0f, 0.0f, 50.0f}));
    EXPECT_EQ(drifter.velocity, (Vec3{0.01f, 0.0f, 0.0f}));
}

TEST_F(PersonContagion, NothingSpreadsOutsideOverview) {
    for (ViewMode mode : {ViewMode::Focused, ViewMode::Travelling}) {
        reset();
        app.viewMode = mode;
        at(-92.0f, 5.0f, PersonState::Singing);
        at(-88.0f, 5.0f, PersonState::Burning);
        Person& p = place(-90.0f, 5.0f);
        p.singCheckTimer = p.burnCheckTimer = -1.0f;
        step(10.0f);
        EXPECT_EQ(p.state, PersonState::Idle);
        EXPECT_FLOAT_EQ(p.singCheckTimer, -1.7f);
        EXPECT_FLOAT_EQ(p.burnCheckTimer, -1.1f);
    }
}

// A singer and a burner equally near: both checks succeed, fire first, so the song wins.
// The two re-armed timers take one draw each, in that order, and span their whole ranges.
TEST_F(PersonContagion, SongWinsWhenBothChecksSucceed) {
    const int32_t low = 0, high = randomMax;
    for (const auto& draws : {std::initializer_list<int32_t>{low, high}, {high, low}}) {
        reset();
        at(-92.0f, 5.0f, PersonState::Singing);
        at(-88.0f, 5.0f, PersonState::Burning);
        Person& p = place(-90.0f, 5.0f);
        p.singCheckTimer = p.burnCheckTimer = -1.0f;
        crowdtest::scriptDraws(draws);
        step(0.0f);
        EXPECT_EQ(crowdtest::unusedDraws(), 0u);
        EXPECT_EQ(p.state, PersonState::Singing);
        const bool fireLow = *draws.begin() == low;
        EXPECT_FLOAT_EQ(p.burnCheckTimer, fireLow ? 5000.0f : 8276.7f);
        EXPECT_FLOAT_EQ(p.singCheckTimer, fireLow ? 3776.7f : 500.0f);
    }
}

TEST_F(PersonContagion, FireOnlyFromTheOwnCellWithinTheRadius) {
    struct Neighbour {
        float x, z;
        PersonState state;
    };
    struct Case {
        std::vector<Neighbour> neighbours;
        bool burns;
    };
    const PersonState singing = PersonState::Singing;
    const PersonState burning = PersonState::Burning;
    const Case cases[] = {
        {{{-87.0f, 6.0f, burning}}, false},                          // squared distance exactly 80
        {{{-87.0f, 5.9f, burning}}, true},                           // just inside
        {{{-93.0f, 2.0f, burning}, {-91.0f, 2.0f, singing}}, true},  // B > S
        {{{-91.0f, 2.0f, burning}, {-93.0f, 2.0f, singing}}, false}, // S > B
        {{{-93.0f, 2.0f, burning}, {-97.0f, 2.0f, singing}}, true},  // S == B
        {{{-96.0f, 2.0f, singing}}, false},
        {{{-94.0f, 10.5f, burning}}, false}, // within the radius, but in the next row
    };
    for (const Case& c : cases) {
        reset();
        Person& p = place(-95.0f, 2.0f);
        p.burnCheckTimer = -1.0f;
        for (const Neighbour& n : c.neighbours)
            at(n.x, n.z, n.state);
        const uint32_t drawsBefore = randomState();
        step(0.0f);
        SCOPED_TRACE(testing::Message()
                     << "first neighbour at " << c.neighbours[0].x << ", " << c.neighbours[0].z);
        EXPECT_EQ(p.state, c.burns ? PersonState::Burning : PersonState::Idle);
        if (c.burns) {
            EXPECT_GE(p.burnCheckTimer, 5000.0f);
        } else {
            // A failed check draws nothing and runs again next frame.
            EXPECT_EQ(p.burnCheckTimer, -1.0f);
            EXPECT_EQ(randomState(), drawsBefore);
        }
    }
}

TEST_F(PersonContagion, SongReachesAcrossTheNeighbouringCells) {
    Person& corner = place(-80.5f, 9.5f); // cell (0, 0)
    corner.singCheckTimer = -1.0f;
    at(-79.5f, 10.5f, PersonState::Singing); // cell (1, 1)
    Person& edge = place(99.5f, 99.5f);      // cell (9, 9): its scan must stay inside the grid
    edge.singCheckTimer = -1.0f;
    at(98.5f, 99.0f, PersonState::Singing);
    Person& outshone = place(0.0f, 50.0f); // a nearer burner in the next cell outweighs
    outshone.singCheckTimer = -1.0f;
    at(2.0f, 50.0f, PersonState::Singing);
    at(-1.0f, 49.0f, PersonState::Burning);
    step(0.0f);
    EXPECT_EQ(corner.state, PersonState::Singing);
    EXPECT_EQ(edge.state, PersonState::Singing);
    EXPECT_EQ(outshone.state, PersonState::Idle);
    EXPECT_EQ(outshone.singCheckTimer, -1.0f);
}

TEST_F(PersonContagion, MouthOpensWithTheMusicAndIsClosedWithoutIt) {
    EXPECT_EQ(mouthScaleFor(0.0f), (Vec3{0.55f, 0.0f, 0.35f}));
    expectNear(mouthScaleFor(0.1f), {0.55f, 0.3f, 0.35f}, 1e-6f);
    expectNear(mouthScaleFor(0.16f), {0.52f, 0.48f, 0.35f}, 1e-6f);
    EXPECT_EQ(mouthScaleFor(0.2f), (Vec3{0.5f, 0.5f, 0.35f}));
    EXPECT_EQ(mouthScaleFor(1.0f), (Vec3{0.5f, 0.5f, 0.35f}));

    Person& singer = at(0.0f, 50.0f, PersonState::Singing);
    Person& idle = place(40.0f, 50.0f);
    step(10.0f);
    EXPECT_EQ(singer.mouthScale, (Vec3{0.55f, 0.0f, 0.35f})); // no music has started
    EXPECT_EQ(idle.mouthScale, Vec3{});
}
