#include "crowd/Crowd.h"

#include "assets/TextureRegistry.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <algorithm>
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

} // namespace

TEST_F(SceneTest, KindsLeanAwayFromTheMiddleFaceKindsAdjustTheHeadAndAPersonTakesNineDraws) {
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
        EXPECT_TRUE(p.bodyKind == c.bodyKind && p.faceFrame == c.faceKind * 2);
        EXPECT_TRUE(p.faceScale == (Vec3{3, c.tall, 3}) &&
                    p.mouthOffset == (Vec3{0, c.mouthDrop, 0}));
        // Only the head is lowered.
        EXPECT_TRUE(p.headPos == (Vec3{50, -c.lowered, 50}) && p.targetPos == (Vec3{50, 0, 50}) &&
                    p.bodyPos == (Vec3{50, -10, 50}));
    }

    // A person takes nine draws, in order.
    scriptDraws({32767, 32767, 1999, 19999, 2001, 12345, 10007, 10017, 3});
    const Person p(6, 3);
    EXPECT_EQ(unusedDraws(), 0u);
    expectNear(p.headPos, {27.67f, 0.0f, 27.67f}, 1e-5f);
    EXPECT_FLOAT_EQ(p.bobRate, 0.999f);
    EXPECT_FLOAT_EQ(p.bobPhase, 999.9f);
    EXPECT_FLOAT_EQ(p.burnCheckTimer, 234.5f);
    EXPECT_FLOAT_EQ(p.singCheckTimer, 0.7f);
    EXPECT_TRUE(p.gunOnLeft == 1 && p.fireIndex == 7 && p.fireFlip == -1.0f &&
                p.fireHeight == 6.5f);
    scriptDraws({0, 9999, 0, 0, 2000, 0, 0, 0, 10000});
    const Person q(0, 0);
    expectNear(q.headPos, {-100.0f, 0.0f, 99.99f}, 1e-5f);
    EXPECT_TRUE(q.gunOnLeft == 0 && q.fireFlip == 1.0f && q.fireHeight == 7.5f);
}

TEST_F(SceneTest, LoadingPrintsThreeLinesRegistersThirtyTwoPicturesAndFilesTheSeedsPeople) {
    ensureGlContext();
    const TextureRegistry& registry = TextureRegistry::instance();
    const int32_t base = static_cast<int32_t>(registry.sprites.size());
    seedRandom(5u);
    testing::internal::CaptureStdout();
    crowd.load();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "LOADING PEOPLE GRAPHICS\nPUSHING PEOPLE\nPUSHED PEOPLE\n");
    // Twelve draws a person, no more.
    EXPECT_TRUE(crowd.population() == crowdSize && randomState() == stateAfter(5u, crowdSize * 12));
    for (int cell = 0; cell < gridCells; ++cell)
        for (const std::unique_ptr<Person>& person : crowd.grid[cell]) {
            const Cell expected = cellOf(person->headPos.x, person->headPos.z);
            ASSERT_TRUE(cellIndex(expected.x, expected.z) == cell && person->cellX == expected.x &&
                        person->cellZ == expected.z);
            // Face and body kinds come from one base kind: always the same half of the range.
            ASSERT_EQ(person->faceFrame / 2 >= 3, person->bodyKind >= 3);
        }

    const std::vector<std::string> names(registry.names.begin() + base, registry.names.end());
    EXPECT_EQ(
        names,
        (std::vector<std::string>{
            "face00",       "face01",        "body0",  "face10",     "face11", "body1",  "face20",
            "face21",       "body2",         "face30", "face31",     "body3",  "face40", "face41",
            "body4",        "face50",        "face51", "body5",      "mouth0", "mouth1", "mouth2",
            "gunhand_left", "gunhand_right", "fire0",  "fire1",      "fire2",  "fire3",  "fire4",
            "selector",     "selected",      "backer", "groundplane"}));
    for (size_t i = size_t(base); i < registry.sprites.size(); ++i)
        EXPECT_TRUE(registry.sprites[i].texture != 0 &&
                    registry.sprites[i].blend == (i < size_t(base) + 30))
            << registry.names[i];
    // Every index lands in its table: a person's copies, the fires, the markers, hall and floor.
    const Person& p = *std::find_if(crowd.grid.begin(), crowd.grid.end(), [](const CellList& l) {
                           return !l.empty();
                       })->front();
    const auto name = [&registry](int32_t sprite) { return registry.names[size_t(sprite)]; };
    EXPECT_EQ(name(p.faceSprites[7]) + name(p.bodySprites[4]) + name(p.mouthSprites[2]),
              "face31body4mouth2");
    EXPECT_EQ(name(p.gunLeftSprite) + name(p.gunRightSprite), "gunhand_leftgunhand_right");
    EXPECT_EQ(name(crowd.fires[9].frameSprites[3]) + name(crowd.selectorMarker.sprite) +
                  name(crowd.selectedMarker.sprite) + name(crowd.backdropSprite) +
                  name(crowd.floorSprite),
              "fire3selectorselectedbackergroundplane");
}
