#include "crowd/Crowd.h"

#include "assets/TextureRegistry.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <filesystem>
#include <string>
#include <vector>

namespace {
// The state the generator reaches from seed after count draws.
uint32_t stateAfter(uint32_t seed, int count) {
    seedRandom(seed);
    for (int i = 0; i < count; ++i)
        randomDraw();
    return randomState();
}

// Twelve draws a person, all 0 but the seventh (the bob phase), which carries the person's number.
int32_t numberedPeople() {
    static int32_t calls = 0;
    const int32_t call = calls++;
    return call % 12 == 6 ? call / 12 : 0;
}
} // namespace

TEST_F(SceneTest, ASeededCrowdTakesTwelveDrawsAPersonAndIsFiledByTheCellFunction) {
    seedRandom(99u);
    crowd.assemblePeople(crowdSize, PersonSprites{});
    EXPECT_EQ(randomState(), stateAfter(99u, crowdSize * 12));
    EXPECT_EQ(crowd.population(), crowdSize);
    for (int cell = 0; cell < gridCells; ++cell)
        for (const std::unique_ptr<Person>& person : crowd.grid[cell]) {
            const Cell expected = cellOf(person->headPos.x, person->headPos.z);
            ASSERT_EQ(cellIndex(expected.x, expected.z), cell);
            ASSERT_EQ(person->cellX, expected.x);
            ASSERT_EQ(person->cellZ, expected.z);
            // Face and body kinds come from one base kind: always the same half of the range.
            ASSERT_EQ(person->faceFrame / 2 >= 3, person->bodyKind >= 3);
        }

    resetScene();
    setRandomSource(numberedPeople); // all in the first cell, in the order they were made
    crowd.assemblePeople(crowdSize, PersonSprites{});
    const CellList& first = crowd.grid[0];
    ASSERT_EQ(first.size(), size_t(crowdSize));
    for (int i = 0; i < crowdSize; ++i) {
        ASSERT_EQ(first[i]->bobPhase, float(i) * 0.1f) << i;
        ASSERT_EQ(first[i]->headPos, (Vec3{-100.0f, 0.0f, 0.0f}));
    }
}

TEST_F(SceneTest, KindsLeanAwayFromTheMiddleAndFaceKindsAdjustTheHead) {
    const struct {
        int32_t baseDraw, bodyDraw, faceDraw; // the kinds take % 6, % 3, % 3
        int32_t bodyKind, faceKind;
        float lowered, tall, mouthDrop;
    } cases[] = {
        {10, 5, 3, 5, 4, 0, 3, 2},    {1, 2, 0, 0, 1, 1.5f, 4, 2}, {2, 0, 0, 2, 2, 2.5f, 4, 0.5f},
        {0, 1, 2, 0, 0, 0, 3, 1},     {3, 1, 0, 4, 3, 0, 3, 2},    {5, 0, 2, 5, 5, 0, 3, 2},
        {2, 1, 32765, 1, 0, 0, 3, 1},
    };
    for (const auto& c : cases) {
        resetScene();
        scriptDraws({c.baseDraw, c.bodyDraw, c.faceDraw, 15000, 5000, 0, 0, 0, 0, 0, 0, 0});
        crowd.assemblePeople(1, PersonSprites{});
        ASSERT_EQ(unusedDraws(), 0u);
        ASSERT_EQ(crowd.grid[cellIndex(7, 5)].size(), 1u);
        const Person& p = *crowd.grid[cellIndex(7, 5)][0];
        SCOPED_TRACE(testing::Message() << "face kind " << c.faceKind);
        EXPECT_EQ(p.bodyKind, c.bodyKind);
        EXPECT_EQ(p.faceFrame, c.faceKind * 2);
        EXPECT_EQ(p.headPos, (Vec3{50.0f, -c.lowered, 50.0f}));
        EXPECT_EQ(p.faceScale, (Vec3{3.0f, c.tall, 3.0f}));
        EXPECT_EQ(p.mouthOffset, (Vec3{0.0f, c.mouthDrop, 0.0f}));
        EXPECT_EQ(p.homePos, (Vec3{50.0f, 0.0f, 50.0f})); // only the head is lowered
        EXPECT_EQ(p.targetPos, p.homePos);
        EXPECT_EQ(p.bodyPos, (Vec3{50.0f, -10.0f, 50.0f}));
    }
}

TEST_F(SceneTest, APersonTakesNineDrawsInOrder) {
    scriptDraws({32767, 32767, 1999, 19999, 2001, 12345, 10007, 10017, 3});
    const Person p(6, 3);
    EXPECT_EQ(unusedDraws(), 0u);
    EXPECT_EQ(p.faceFrame, 6);
    EXPECT_EQ(p.bodyKind, 3);
    expectNear(p.headPos, {27.67f, 0.0f, 27.67f}, 1e-5f);
    expectNear(p.bodyPos, {27.67f, -10.0f, 27.67f}, 1e-5f);
    EXPECT_EQ(p.homePos, p.headPos);
    EXPECT_FLOAT_EQ(p.bobRate, 0.999f);
    EXPECT_FLOAT_EQ(p.bobPhase, 999.9f);
    EXPECT_EQ(p.gunOnLeft, 1);
    EXPECT_FLOAT_EQ(p.burnCheckTimer, 234.5f);
    EXPECT_FLOAT_EQ(p.singCheckTimer, 0.7f);
    EXPECT_EQ(p.fireIndex, 7);
    EXPECT_EQ(p.fireFlip, -1.0f);
    EXPECT_EQ(p.fireHeight, 6.5f);
    scriptDraws({0, 9999, 0, 0, 2000, 0, 0, 0, 10000});
    const Person q(0, 0);
    expectNear(q.headPos, {-100.0f, 0.0f, 99.99f}, 1e-5f);
    EXPECT_EQ(q.gunOnLeft, 0);
    EXPECT_EQ(q.fireFlip, 1.0f);
    EXPECT_EQ(q.fireHeight, 7.5f);
}

TEST_F(SceneTest, LoadingRegistersThirtyTwoPicturesInOrderAndPrintsThreeLines) {
    ensureGlContext();
    const TextureRegistry& registry = TextureRegistry::instance();
    const int32_t base = static_cast<int32_t>(registry.sprites.size());
    seedRandom(5u);
    testing::internal::CaptureStdout();
    crowd.load();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "LOADING PEOPLE GRAPHICS\nPUSHING PEOPLE\nPUSHED PEOPLE\n");
    EXPECT_EQ(crowd.population(), crowdSize);
    EXPECT_EQ(randomState(), stateAfter(5u, crowdSize * 12)); // draws for the people only

    std::vector<std::pair<std::string, std::string>> expected; // name, and its file
    for (int i = 0; i < 6; ++i)
        for (const std::string& name :
             {"face" + std::to_string(i) + "0", "face" + std::to_string(i) + "1",
              "body" + std::to_string(i)})
            expected.push_back({name, name});
    for (const char* name : {"mouth0", "mouth1", "mouth2", "gunhand_left", "gunhand_right", "fire0",
                             "fire1", "fire2", "fire3", "fire4"})
        expected.push_back({name, name});
    expected.insert(expected.end(), {{"selector", "lightShaft"},
                                     {"selected", "selected"},
                                     {"backer", "theHall"},
                                     {"groundplane", "floorplane"}});
    ASSERT_EQ(registry.names.size(), size_t(base) + 32u);
    for (size_t i = 0; i < expected.size(); ++i) {
        const Sprite& sprite = registry.sprites[size_t(base) + i];
        EXPECT_EQ(registry.names[size_t(base) + i], expected[i].first) << i;
        EXPECT_EQ(sprite.blend, i < 30) << expected[i].first; // the hall and the floor are opaque
        if (std::filesystem::exists("./image_data/" + expected[i].second + ".tga")) {
            EXPECT_NE(sprite.texture, 0u) << expected[i].second;
        }
    }
    size_t cell = 0;
    while (crowd.grid[cell].empty())
        ++cell;
    const Person& p = *crowd.grid[cell].front();
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(p.faceSprites[i], base + i / 2 * 3 + i % 2) << i;
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(p.bodySprites[i], base + i * 3 + 2) << i;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(p.mouthSprites[i], base + 18 + i) << i;
    EXPECT_EQ(p.gunLeftSprite, base + 21);
    EXPECT_EQ(p.gunRightSprite, base + 22);
    for (const FireAnimation& fire : crowd.fires)
        for (int m = 0; m < fireFrames; ++m)
            EXPECT_EQ(fire.frameSprites[m], base + 23 + m);
    EXPECT_EQ(crowd.selectorMarker.sprite, base + 28);
    EXPECT_EQ(crowd.selectedMarker.sprite, base + 29);
    EXPECT_EQ(crowd.backdropSprite, base + 30);
    EXPECT_EQ(crowd.floorSprite, base + 31);
}
