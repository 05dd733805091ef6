#include "crowd/Crowd.h"

#include "assets/TextureRegistry.h"
#include "crowd/CrowdBatch.h"
#include "crowd/StillHall.h"

void Crowd::draw() const {
    const TextureRegistry& registry = TextureRegistry::instance();
    const Sprite& backdrop = registry.sprite(backdropSprite);
    const Sprite& floor = registry.sprite(floorSprite);
    HallView view;
    HallStep step = HallStep::Draw;
    if (stillHall) {
        view = HallView::read(backdrop.texture, floor.texture);
        step = stillHall->next(view);
    }
    if (step == HallStep::Restore) {
        stillHall->restore();
    } else {
        // Backdrop and floor are opaque sprites: their alpha threshold has no effect.
        backdrop.draw({-1.0f, 0.0f, -80.0f}, {225.0f, 150.0f, 1.0f}, {0.0f, 0.0f, 0.0f, 0.0f},
                      0.0f);
        // A quarter turn about -x lays the floor flat, facing up.
        floor.draw({0.0f, -20.0f, 100.0f}, {200.0f, 150.0f, 1.0f}, {90.0f, -1.0f, 0.0f, 0.0f},
                   0.0f);
        if (step == HallStep::DrawAndCopy)
            stillHall->copy(view);
    }
    if (batch) {
        batch->draw(*this);
        return;
    }
    for (const CellList& list : grid)
        for (const std::unique_ptr<Person>& person : list)
            person->draw();
    // Last of all, after every person.
    selectorMarker.draw();
}
