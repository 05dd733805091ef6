#include "crowd/CellGrid.h"

namespace {
// Truncates toward zero; a point off the floor (a floor hit rounded just past the far edge, or
// a NaN) gets the nearest edge cell instead of an index outside the grid.
int32_t onGrid(double value, int32_t cells) {
    if (!(value >= 0.0))
        return 0;
    if (value >= static_cast<double>(cells))
        return cells - 1;
    return static_cast<int32_t>(value);
}
} // namespace

Cell cellOf(float x, float z) {
    // The far edges are pulled in so that they stay in the last column and row.
    if (x == 100.0f)
        x = 99.9f;
    if (z == 100.0f)
        z = 99.9f;
    // Products in double of single-precision constants: 0.00005f lies just below 0.00005, so a
    // column boundary falls into the lower column ...
    const double column = static_cast<double>(x + 100.0f) * static_cast<double>(1000.0f) *
                          static_cast<double>(0.00005f);
    // ... while the row product, rounded to single precision before truncation, lands exactly
    // on a row boundary's whole number: a row boundary falls into the upper row.
    const float row =
        static_cast<float>(static_cast<double>(z + 0.0f) * static_cast<double>(1000.0f) *
                           static_cast<double>(0.0001f));
    return {onGrid(column, gridColumns), onGrid(static_cast<double>(row), gridRows)};
}
