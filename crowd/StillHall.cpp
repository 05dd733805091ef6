#include "crowd/StillHall.h"

#include <cstring>

bool HallView::operator==(const HallView& other) const {
    return std::memcmp(this, &other, sizeof(HallView)) == 0;
}

HallStep StillHall::next(const HallView& view) {
    const bool unchanged = seen && view == last;
    last = view;
    seen = true;
    // A blit ignores the write masks that drawing obeys.
    if (!copying || !view.copyable)
        lastStep = HallStep::Draw;
    else if (held && view == copied)
        lastStep = HallStep::Restore;
    else
        lastStep = unchanged ? HallStep::DrawAndCopy : HallStep::Draw;
    return lastStep;
}
