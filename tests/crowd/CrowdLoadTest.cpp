#include "crowd/Crowd.h"

#include "assets/TextureRegistry.h"
#include "support/CrowdTestSupport.h"
#include "support/GlContext.h"

#include <filesystem>
#include <string>
#include <vector>

using crowdtest::scriptDraws;
using crowdtest::unusedDraws;

namespace {

std::vector<const Person*> inVisitingOrder(const Crowd& crowd) {
    std::vector<const Person*> people;
    for (const CellList& list : crowd.grid)
        for (const std::unique_ptr<Person>& person : list)
            people.push_back(person.get());
    return people;
}

// Twelve draws a person; the seventh (bobPhase) carries the person's number, the rest are 0.
int32_t numberedPeople() {
    static int32_t calls = 0;
    const int32_t call = calls++;
    return call % 12 == 6 ? call / 12 : 0;
}

// The state the generator reaches from seed after count draws.
uint32_t stateAfter(uint32_t seed, int count) {
    seedRandom(seed);
    for (int i = 0; i < count; ++i)
        randomDraw();
    return randomState();
}

} // namespace

class CrowdAssembly : public crowdtest::CrowdFixture {};

TEST_F(CrowdAssembly, SeededCrowdIsFiledByTheCellFunctionAndRepeats) {
    seedRandom(99u);
    crowd.assemblePeople(crowdSize, PersonSprites{});
    EXPECT_EQ(randomState(), stateAfter(99u, crowdSize * 12)); // twelve draws a person
    for (int cell = 0; cell < gridCells; ++cell)
        for (const std::unique_ptr<Person>& person : crowd.grid[cell]) {
            const Cell expected = cellOf(person->headPos.x, person->headPos.z);
            ASSERT_EQ(cellIndex(expected.x, expected.z), cell);
            ASSERT_EQ(person->cellX, expected.x);
            ASSERT_EQ(person->cellZ, expected.z);
            // Face and body kinds come from one base kind: always the same half of the range.
            ASSERT_EQ(person->faceFrame / 2 >= 3, person->bodyKind >= 3);
        }

    Crowd first = std::move(crowd);
    reset();
    seedRandom(99u);
    crowd.assemblePeople(crowdSize, PersonSprites{});
    const std::vector<const Person*> a = inVisitingOrder(first), b = inVisitingOrder(crowd);
    ASSERT_EQ(a.size(), static_cast<size_t>(crowdSize));
    ASSERT_EQ(b.size(), a.size());
    for (size_t i = 0; i < a.size(); ++i) {
        ASSERT_EQ(a[i]->headPos, b[i]->headPos) << i;
        ASSERT_EQ(a[i]->faceFrame, b[i]->faceFrame) << i;
        ASSERT_EQ(a[i]->bodyKind, b[i]->bodyKind) << i;
        ASSERT_EQ(a[i]->burnCheckTimer, b[i]->burnCheckTimer) << i;
    }
}

TEST_F(CrowdAssembly, ZeroDrawsPutEveryoneInTheFirstCellInCreationOrder) {
    setRandomSource(crowdtest::alwaysZero);
    crowd.assemblePeople(crowdSize, PersonSprites{});
    ASSERT_EQ(cellAt(0, 0).size(), static_cast<size_t>(crowdSize));
    for (const std::unique_ptr<Person>& person : cellAt(0, 0)) {
        EXPECT_EQ(person->headPos, (Vec3{-100.0f, 0.0f, 0.0f}));
        EXPECT_EQ(person->bodyKind + person->faceFrame, 0);
        EXPECT_EQ(person->mouthOffset, (Vec3{0.0f, 1.0f, 0.0f}));
    }

    reset();
    setRandomSource(numberedPeople);
    crowd.assemblePeople(crowdSize, PersonSprites{});
    ASSERT_EQ(cellAt(0, 0).size(), static_cast<size_t>(crowdSize));
    for (int i = 0; i < crowdSize; ++i)
        ASSERT_EQ(cellAt(0, 0)[i]->bobPhase, static_cast<float>(i) * 0.1f) << i;
}

TEST_F(CrowdAssembly, KindsLeanAwayFromTheMiddleAndFacesAdjustTheHead) {
    struct KindCase {
        int32_t baseDraw, r1Draw, r2Draw; // raw draws: the kinds take % 6, % 3, % 3
        int32_t bodyKind, faceKind;
    };
    const KindCase cases[] = {
        {10, 5, 3, 5, 4}, // base 4, r1 2 (capped at 5), r2 0
        {1, 2, 0, 0, 1},  // base 1, r1 2 (raised to 0)
        {2, 0, 0, 2, 2},  {0, 1, 2, 0, 0}, {3, 1, 0, 4, 3}, {5, 0, 2, 5, 5}, {2, 1, 32765, 1, 0},
    };
    for (const KindCase& c : cases) {
        reset();
        scriptDraws({c.baseDraw, c.r1Draw, c.r2Draw, 15000, 5000, 0, 0, 0, 0, 0, 0, 0});
        crowd.assemblePeople(1, PersonSprites{});
        ASSERT_EQ(unusedDraws(), 0u);
        ASSERT_EQ(cellAt(7, 5).size(), 1u);
        const Person& p = *cellAt(7, 5)[0];
        SCOPED_TRACE(testing::Message() << "face kind " << c.faceKind);
        EXPECT_EQ(p.bodyKind, c.bodyKind);
        EXPECT_EQ(p.faceFrame, c.faceKind * 2);
        const float lowered = c.faceKind == 2 ? 2.5f : c.faceKind == 1 ? 1.5f : 0.0f;
        const float tall = c.faceKind == 1 || c.faceKind == 2 ? 4.0f : 3.0f;
        const float mouthDrop = c.faceKind == 0 ? 1.0f : c.faceKind == 2 ? 0.5f : 2.0f;
        EXPECT_EQ(p.headPos, (Vec3{50.0f, -lowered, 50.0f}));
        EXPECT_EQ(p.faceScale, (Vec3{3.0f, tall, 3.0f}));
        EXPECT_EQ(p.mouthOffset, (Vec3{0.0f, mouthDrop, 0.0f}));
        // Only the head is lowered.
        EXPECT_EQ(p.homePos, (Vec3{50.0f, 0.0f, 50.0f}));
        EXPECT_EQ(p.targetPos, (Vec3{50.0f, 0.0f, 50.0f}));
        EXPECT_EQ(p.bodyPos, (Vec3{50.0f, -10.0f, 50.0f}));
    }
}

TEST_F(CrowdAssembly, PersonTakesNineDrawsInOrder) {
    scriptDraws({32767, 32767, 1999, 19999, 2001, 12345, 10007, 10017, 3});
    const Person p(6, 3);
    EXPECT_EQ(unusedDraws(), 0u);
    EXPECT_EQ(p.faceFrame, 6);
    EXPECT_EQ(p.bodyKind, 3);
    EXPECT_FLOAT_EQ(p.headPos.x, 27.67f);
    EXPECT_FLOAT_EQ(p.headPos.z, 27.67f);
    EXPECT_EQ(p.bodyPos, (Vec3{p.headPos.x, -10.0f, p.headPos.z}));
    EXPECT_EQ(p.homePos, p.headPos);
    EXPECT_EQ(p.targetPos, p.headPos);
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
    EXPECT_EQ(q.headPos.x, -100.0f);
    EXPECT_FLOAT_EQ(q.headPos.z, 99.99f);
    EXPECT_EQ(q.gunOnLeft, 0);
    EXPECT_EQ(q.fireFlip, 1.0f);
    EXPECT_EQ(q.fireHeight, 7.5f);
}

class CrowdLoad : public crowdtest::CrowdFixture {};

TEST_F(CrowdLoad, Registers32PicturesInOrderAndPrintsThreeLines) {
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

    // Registered name and the file it is read from, in order.
    std::vector<std::pair<std::string, std::string>> expected;
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
    ASSERT_EQ(registry.names.size(), static_cast<size_t>(base) + 32u);
    for (size_t i = 0; i < expected.size(); ++i) {
        const size_t index = static_cast<size_t>(base) + i;
        EXPECT_EQ(registry.names[index], expected[i].first) << i;
        const bool opaque = expected[i].first == "backer" || expected[i].first == "groundplane";
        EXPECT_EQ(registry.sprites[index].blend, !opaque) << expected[i].first;
        // A generated picture that is there must have been found under its path.
        const std::string path = "./image_data/" + expected[i].second + ".tga";
        if (std::filesystem::exists(path)) {
            EXPECT_NE(registry.sprites[index].texture, 0u) << path;
        }
    }

    // Every index landed in its table: a person's copies, the fires, markers, hall and floor.
    const Person& p = *inVisitingOrder(crowd).back();
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
