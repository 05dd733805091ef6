#include "crowd/Marker.h"

#include "app/AppState.h"
#include "assets/TextureRegistry.h"
#include "crowd/Crowd.h"
#include "interaction/InputController.h"

void Marker::draw() const {
    drawSprite(spriteDraw());
}

SpriteDraw Marker::spriteDraw() const {
    Vec3 position;
    if (AppState::instance().viewMode == ViewMode::Overview) {
        const Vec3 floor = InputController::instance().floorPoint;
        position = {floor.x, 45.0f, floor.z};
    } else {
        // Outside the overview a person is always selected: only a pick starts the travel.
        const Vec3 head = Crowd::instance().selectedPerson->headPos;
        position = {head.x, head.y, head.z - 4.0f};
    }
    const Vec3 scale{pad + 10.0f, pad + 60.0f, pad + 4.0f};
    return {sprite, position, scale, {0, 0, 0, 0}, 0.0f};
}
