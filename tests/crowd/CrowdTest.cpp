#include "crowd/Crowd.h"

#include "support/CrowdTestSupport.h"

#include <cmath>

class CrowdConstruction : public crowdtest::CrowdFixture {};

TEST_F(CrowdConstruction, TenFiresTimedFromTenDrawsAndNothingSelected) {
    crowdtest::scriptDraws({59, 60, 119, 0, 32767, 100, 159, 1, 30000, 61});
    const Crowd fresh;
    EXPECT_EQ(crowdtest::unusedDraws(), 0u);
    const int32_t expected[crowdFires] = {99, 40, 99, 40, 47, 80, 79, 41, 40, 41};
    for (int i = 0; i < crowdFires; ++i) {
        EXPECT_EQ(fresh.fires[i].frameMs, expected[i]) << "fire " << i;
        EXPECT_EQ(fresh.fires[i].frame, 0);
        EXPECT_EQ(fresh.fires[i].elapsedMs, 0.0f);
    }
    EXPECT_EQ(fresh.selectedPerson, nullptr);
    EXPECT_EQ(fresh.zoomingIn, 0);
    EXPECT_EQ(fresh.zoomingOut, 0);
    EXPECT_EQ(fresh.selectorMarker.name, "selector");
    EXPECT_EQ(fresh.selectedMarker.name, "selected");
    EXPECT_EQ(fresh.population(), 0);
}

class CrowdPick : public crowdtest::CrowdFixture {};

TEST_F(CrowdPick, SendAllHomeWalksEveryoneHome) {
    Person& near = place(-90.0f, 5.0f);
    Person& far = place(90.0f, 95.0f);
    near.headPos = {-85.0f, 0.0f, 7.0f};
    near.targetPos = {0.0f, 0.0f, 50.0f};
    far.headPos = {60.0f, 0.0f, 80.0f};
    crowd.sendAllHome();
    for (const Person* person : {&near, &far}) {
        EXPECT_EQ(person->targetPos, person->homePos);
        EXPECT_EQ(person->walking, 1);
    }
}

TEST_F(CrowdPick, OnlyThePointsOwnCellIsSearched) {
    place(-79.5f, 5.0f);                  // cell (1, 0), 1.5 from the point
    Person& inCell = place(-90.0f, 5.0f); // cell (0, 0), 9 from the point
    crowd.pickNearest({-81.0f, 0.0f, 5.0f});
    EXPECT_EQ(crowd.selectedPerson, &inCell);
    EXPECT_EQ(crowd.zoomingIn, 1);
}

TEST_F(CrowdPick, TiesGoToTheEarlierEntryAndACloserLaterOneWins) {
    Person& first = place(-92.0f, 5.0f);
    place(-88.0f, 5.0f);
    crowd.pickNearest({-90.0f, 0.0f, 5.0f});
    EXPECT_EQ(crowd.selectedPerson, &first);
    Person& closer = place(-89.5f, 5.0f);
    crowd.pickNearest({-90.0f, 0.0f, 5.0f});
    EXPECT_EQ(crowd.selectedPerson, &closer);
}

TEST_F(CrowdPick, EmptyCellClearsTheSelectionAndChangesNothingElse) {
    Person& a = place(-90.0f, 5.0f);
    Person& b = place(-79.0f, 5.0f); // the point's neighbouring cell
    a.targetPos = {1.0f, 2.0f, 3.0f};
    crowd.selectedPerson = &a;
    crowd.zoomingIn = 1;
    crowd.pickNearest({-81.0f, 0.0f, 15.0f});
    EXPECT_EQ(crowd.selectedPerson, nullptr);
    EXPECT_EQ(crowd.zoomingIn, 1);
    EXPECT_EQ(a.targetPos, (Vec3{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(b.targetPos, b.homePos);
    EXPECT_EQ(a.walking + b.walking, 0);
    crowd.zoomingIn = 0;
    crowd.pickNearest({-81.0f, 0.0f, 15.0f});
    EXPECT_EQ(crowd.zoomingIn, 0);
}

TEST_F(CrowdPick, FarEdgesSearchTheLastColumnAndRow) {
    Person& lastColumn = place(99.0f, 5.0f);
    Person& lastRow = place(-90.0f, 99.5f);
    Person& corner = place(95.0f, 95.0f);
    Person& front = place(-99.0f, 0.5f);
    crowd.pickNearest({100.0f, 0.0f, 5.0f});
    EXPECT_EQ(crowd.selectedPerson, &lastColumn);
    crowd.pickNearest({-100.0f, 0.0f, 100.0f});
    EXPECT_EQ(crowd.selectedPerson, &lastRow);
    crowd.pickNearest({100.0f, 0.0f, 100.0f});
    EXPECT_EQ(crowd.selectedPerson, &corner);
    // A floor hit can round to just past the edge; the pick must stay on the grid.
    const float past = std::nextafter(100.0f, 200.0f);
    crowd.pickNearest({past, 0.0f, past});
    EXPECT_EQ(crowd.selectedPerson, &corner);
    crowd.pickNearest({std::nextafter(-100.0f, -200.0f), 0.0f, std::nextafter(0.0f, -1.0f)});
    EXPECT_EQ(crowd.selectedPerson, &front);
}

TEST_F(CrowdPick, ScatterSendsPeopleAway200OverTheirDistance) {
    Person& picked = place(0.0f, 50.0f);
    picked.targetPos = {7.0f, 0.0f, 7.0f};
    Person& twin = place(0.0f, 50.0f);
    Person& ten = place(10.0f, 50.0f);
    Person& one = place(0.0f, 51.0f);
    Person& hundred = place(-100.0f, 50.0f);
    Person& diagonal = place(6.0f, 58.0f);
    Person& far = place(90.0f, 5.0f);
    crowd.pickNearest({0.0f, 0.0f, 50.0f});
    ASSERT_EQ(crowd.selectedPerson, &picked);
    EXPECT_EQ(ten.targetPos, (Vec3{30.0f, 0.0f, 50.0f}));
    EXPECT_EQ(one.targetPos, (Vec3{0.0f, 0.0f, 251.0f}));
    EXPECT_FLOAT_EQ(hundred.targetPos.x, -102.0f);
    EXPECT_FLOAT_EQ(diagonal.targetPos.x, 18.0f);
    EXPECT_FLOAT_EQ(diagonal.targetPos.z, 74.0f);
    EXPECT_EQ(twin.targetPos, (Vec3{0.0f, 0.0f, 50.0f})); // no direction: no push
    EXPECT_EQ(ten.headPos, (Vec3{10.0f, 0.0f, 50.0f}));   // targets change, positions do not
    for (const Person* p : {&twin, &ten, &one, &hundred, &diagonal, &far})
        EXPECT_EQ(p->walking, 1);
    EXPECT_EQ(picked.walking, 0);
    EXPECT_EQ(picked.targetPos, (Vec3{7.0f, 0.0f, 7.0f}));
}
