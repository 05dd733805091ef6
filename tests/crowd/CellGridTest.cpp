#include "crowd/CellGrid.h"

#include "support/CrowdTestSupport.h"

#include <cmath>

namespace {

void expectCell(float x, float z, int32_t cellX, int32_t cellZ) {
    const Cell cell = cellOf(x, z);
    EXPECT_EQ(cell.x, cellX) << "x " << x << " z " << z;
    EXPECT_EQ(cell.z, cellZ) << "x " << x << " z " << z;
}

float below(float v) {
    return std::nextafter(v, -1000.0f);
}
float above(float v) {
    return std::nextafter(v, 1000.0f);
}

} // namespace

TEST(CellOf, KnownPoints) {
    expectCell(-100.0f, 0.0f, 0, 0);
    expectCell(50.0f, 55.0f, 7, 5);
    expectCell(99.99f, 99.99f, 9, 9);
    expectCell(-100.0f, 100.0f, 0, 9);
    expectCell(100.0f, 0.0f, 9, 0);
    expectCell(100.0f, 100.0f, 9, 9);
    expectCell(-80.0f, 35.0f, 0, 3);
    expectCell(-79.99f, 35.0f, 1, 3);
    expectCell(0.0f, 10.0f, 4, 1);
    expectCell(0.0f, 50.0f, 4, 5);
    expectCell(below(100.0f), below(100.0f), 9, 9);
}

TEST(CellOf, ColumnBoundaryBelongsToTheLowerColumnRowBoundaryToTheUpperRow) {
    for (int k = 1; k < 10; ++k) {
        const float column = -100.0f + 20.0f * static_cast<float>(k);
        expectCell(column, 5.0f, k - 1, 0);
        expectCell(below(column), 5.0f, k - 1, 0);
        expectCell(column + 0.01f, 5.0f, k, 0);
        const float row = 10.0f * static_cast<float>(k);
        expectCell(-90.0f, row, 0, k);
        expectCell(-90.0f, above(row), 0, k);
        expectCell(-90.0f, row - 0.01f, 0, k - 1);
    }
}

// Away from the boundaries the cell is simply the 20 by 10 rectangle that holds the point.
TEST(CellOf, InteriorPointsMatchTheirRectangle) {
    for (float x = -99.75f; x < 100.0f; x += 0.5f)
        for (float z = 0.25f; z < 100.0f; z += 0.5f) {
            const Cell cell = cellOf(x, z);
            ASSERT_EQ(cell.x, static_cast<int32_t>(std::floor((x + 100.0f) / 20.0f))) << x;
            ASSERT_EQ(cell.z, static_cast<int32_t>(std::floor(z / 10.0f))) << z;
        }
}

// Only bad input gets here (a floor hit rounded just past the edge): it must stay on the grid.
TEST(CellOf, PointsOffTheFloorStayOnTheGrid) {
    expectCell(above(100.0f), above(100.0f), 9, 9);
    expectCell(150.0f, 250.0f, 9, 9);
    expectCell(-150.0f, -15.0f, 0, 0);
    expectCell(std::nanf(""), std::nanf(""), 0, 0);
}

class CrowdFiling : public crowdtest::CrowdFixture {};

TEST_F(CrowdFiling, AppendsToItsOwnCellAndUnfilingKeepsTheOrder) {
    Person& first = place(50.0f, 55.0f);
    Person& elsewhere = place(-90.0f, 5.0f);
    Person& second = place(45.0f, 51.0f);
    Person& third = place(59.0f, 59.0f);
    ASSERT_EQ(cellAt(7, 5).size(), 3u);
    EXPECT_EQ(cellAt(7, 5)[0].get(), &first);
    EXPECT_EQ(cellAt(7, 5)[1].get(), &second);
    EXPECT_EQ(cellAt(0, 0)[0].get(), &elsewhere);

    const std::unique_ptr<Person> removed = crowd.unfile(cellIndex(7, 5), 1);
    EXPECT_EQ(removed.get(), &second);
    ASSERT_EQ(cellAt(7, 5).size(), 2u);
    EXPECT_EQ(cellAt(7, 5)[0].get(), &first);
    EXPECT_EQ(cellAt(7, 5)[1].get(), &third);
    EXPECT_EQ(crowd.population(), 3);
}
