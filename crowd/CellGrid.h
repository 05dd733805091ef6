// The crowd's 10 by 10 grid over the floor: columns 20 units wide along x, rows 10 deep along z.
#pragma once

#include <cstdint>

constexpr int gridColumns = 10;
constexpr int gridRows = 10;
constexpr int gridCells = gridColumns * gridRows;

struct Cell {
    int32_t x = 0; // column, 0 to 9 for points of the floor
    int32_t z = 0; // row, 0 to 9 for points of the floor
};

// The one cell function: loading, the pick and movement all file people by it.
// Points off the floor get the nearest edge cell, never one outside the grid.
Cell cellOf(float x, float z);

inline int32_t cellIndex(int32_t cellX, int32_t cellZ) {
    return cellX * gridRows + cellZ;
}
