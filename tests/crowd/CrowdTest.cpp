#include "crowd/Crowd.h"

#include "support/Scene.h"

#include <cmath>
#include <utility>
#include <vector>

TEST_F(SceneTest, APickSearchesThePointsCellOnlyAndTheEarlierOfEquallyNearPeopleWins) {
    place(-79.5f, 5.0f);                  // cell (1, 0), 1.5 from the point
    Person& inCell = place(-90.0f, 5.0f); // cell (0, 0), 9 from the point
    crowd.pickNearest({-81.0f, 0.0f, 5.0f});
    EXPECT_TRUE(crowd.selectedPerson == &inCell && crowd.zoomingIn == 1);
    place(-99.0f, 5.0f); // as near as the first in the cell
    crowd.pickNearest({-94.5f, 0.0f, 5.0f});
    EXPECT_EQ(crowd.selectedPerson, &inCell);
    Person& closer = place(-94.0f, 5.0f);
    crowd.pickNearest({-94.5f, 0.0f, 5.0f});
    EXPECT_EQ(crowd.selectedPerson, &closer);
    crowd.zoomingIn = 0;
    const Vec3 target = inCell.targetPos;
    crowd.pickNearest({-81.0f, 0.0f, 15.0f}); // an empty cell clears the selection, nothing else
    EXPECT_TRUE(!crowd.selectedPerson && crowd.zoomingIn == 0 && inCell.targetPos == target);
}

TEST_F(SceneTest, PicksAtAndPastTheFarEdgesSearchTheLastColumnAndRow) {
    Person& lastColumn = place(99.0f, 5.0f);
    Person& lastRow = place(-90.0f, 99.5f);
    Person& corner = place(95.0f, 95.0f);
    Person& front = place(-99.0f, 0.5f);
    const float past = std::nextafter(100.0f, 200.0f);
    const std::pair<Vec3, const Person*> cases[] = {
        // clang-format off
        {{100, 0, 5}, &lastColumn}, {{-100, 0, 100}, &lastRow}, {{100, 0, 100}, &corner},
        {{past, 0, past}, &corner}, {{std::nextafter(-100.0f, -200.0f), 0, -1e-9f}, &front},
        // clang-format on
    };
    for (const auto& [point, picked] : cases) {
        crowd.pickNearest(point);
        EXPECT_EQ(crowd.selectedPerson, picked) << point.x << ", " << point.z;
    }
}

TEST_F(SceneTest, EverybodyElseIsSentAwayAndLaterHomeAndAFreshCrowdTimesTenFiresFromTenDraws) {
    Person& picked = place(0.0f, 50.0f);
    picked.targetPos = {7.0f, 0.0f, 7.0f};
    const std::pair<Vec3, Vec3> cases[] = {
        // where each stands, and is sent
        // clang-format off
        {{0, 0, 50}, {0, 0, 50}}, // no direction, no push
        {{10, 0, 50}, {30, 0, 50}}, {{0, 0, 51}, {0, 0, 251}}, {{-100, 0, 50}, {-102, 0, 50}},
        {{6, 0, 58}, {18, 0, 74}}, {{90, 0, 5}, {91.7778f, 0, 4.1111f}},
        // clang-format on
    };
    std::vector<Person*> others;
    for (const auto& [at, target] : cases)
        others.push_back(&place(at.x, at.z));
    crowd.pickNearest({0.0f, 0.0f, 50.0f});
    ASSERT_EQ(crowd.selectedPerson, &picked);
    for (size_t i = 0; i < others.size(); ++i) {
        expectNear(others[i]->targetPos, cases[i].second, 1e-4f);
        // Targets change, positions do not.
        EXPECT_TRUE(others[i]->headPos == cases[i].first && others[i]->walking == 1) << i;
    }
    EXPECT_TRUE(picked.walking == 0 && picked.targetPos == (Vec3{7.0f, 0.0f, 7.0f}));
    others[1]->headPos = {11.0f, 0.0f, 52.0f};
    crowd.sendAllHome();
    EXPECT_TRUE(others[1]->targetPos == others[1]->homePos && picked.targetPos == picked.homePos &&
                picked.walking == 1);

    // A fresh crowd times its ten fires from ten draws and selects nobody.
    scriptDraws({59, 60, 119, 0, 32767, 100, 159, 1, 30000, 61});
    const Crowd fresh;
    EXPECT_EQ(unusedDraws(), 0u);
    std::vector<int32_t> frameMs;
    for (const FireAnimation& fire : fresh.fires)
        frameMs.push_back(fire.frameMs + 1000 * fire.frame);
    EXPECT_EQ(frameMs, (std::vector<int32_t>{99, 40, 99, 40, 47, 80, 79, 41, 40, 41}));
    EXPECT_TRUE(!fresh.selectedPerson &&
                fresh.zoomingIn + fresh.zoomingOut + fresh.population() == 0);
}
