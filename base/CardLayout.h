// Where the option card's picture sets its four lines ("1 sing" to "4 back"), in pixels of the
// square picture, top row first. The painter lays the lines out by it, and a touch on the card
// is told apart by it.
#pragma once

namespace cardLayout {

constexpr int side = 384;               // pixels, the picture's width and height
constexpr float firstBaseline = 160.0f; // of line 1
constexpr float lineSpacing = 56.0f;    // from one line's baseline to the next
constexpr float badgeAbove = 38.0f;     // the number's badge, from this far above the baseline
constexpr float badgeBelow = 6.0f;      // to this far below it
constexpr float innerLeft = 18.0f;      // the gold line the lines stand inside
constexpr float innerRight = 366.0f;
constexpr int lines = 4;

} // namespace cardLayout
