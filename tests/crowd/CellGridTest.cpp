#include "crowd/CellGrid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

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

TEST(CellOf, FarEdgesStayInTheLastCellBoundariesFallIntoTheLowerColumnAndTheUpperRow) {
    const std::tuple<float, float, int32_t, int32_t> cases[] = {
        // clang-format off
        {-100, 0, 0, 0}, {50, 55, 7, 5}, {99.99f, 99.99f, 9, 9}, {-100, 100, 0, 9}, {100, 0, 9, 0},
        {100, 100, 9, 9}, {-80, 35, 0, 3}, {-79.99f, 35, 1, 3}, {below(100), below(100), 9, 9},
        {above(100), above(100), 9, 9}, {150, 250, 9, 9}, {-150, -15, 0, 0},
        {std::nanf(""), std::nanf(""), 0, 0},
        // clang-format on
    };
    for (const auto& [x, z, cellX, cellZ] : cases)
        expectCell(x, z, cellX, cellZ);

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
    // Away from the boundaries the cell is the 20 by 10 rectangle that holds the point.
    for (float x = -99.75f; x < 100.0f; x += 0.5f)
        for (float z = 0.25f; z < 100.0f; z += 0.5f) {
            const Cell cell = cellOf(x, z);
            ASSERT_EQ(cell.x, static_cast<int32_t>(std::floor((x + 100.0f) / 20.0f))) << x;
            ASSERT_EQ(cell.z, static_cast<int32_t>(std::floor(z / 10.0f))) << z;
        }
}
