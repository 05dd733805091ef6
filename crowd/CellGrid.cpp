#include "crowd/CellGrid.h"

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
    const float row = static_cast<float>(static_cast<double>(z + 0.0f) *
                                         static_cast<double>(1000.0f) *
                                         static_cast<double>(0.0001f));
    return {static_cast<int32_t>(column), static_cast<int32_t>(row)};
}
