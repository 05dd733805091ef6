#include "crowd/Crowd.h"

#include "assets/TextureRegistry.h"
#include "base/Catalogue.h"
#include "base/Random.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>

namespace {
static_assert(std::size(catalogue::facePictures) == faceKinds &&
              std::size(catalogue::facePictures[0]) == faceVariants);
static_assert(std::size(catalogue::bodyPictures) == bodyKinds);
static_assert(std::size(catalogue::mouthPictures) == mouthKinds);
static_assert(std::size(catalogue::firePictures) == fireFrames);

int32_t registerPicture(const std::string& name, const char* file, bool blend) {
    return TextureRegistry::instance().registerSprite(name, catalogue::imagePath(file).c_str(),
                                                      blend);
}

// Body and face kinds stay in the base kind's half of the range and lean to its outer end.
int32_t kindAwayFromMiddle(int32_t baseKind, int32_t offset) {
    return baseKind >= 3 ? std::min(baseKind + offset, 5) : std::max(baseKind - offset, 0);
}
} // namespace

void Crowd::load() {
    std::printf("LOADING PEOPLE GRAPHICS\n");
    PersonSprites sprites;
    for (int kind = 0; kind < faceKinds; ++kind) {
        for (int variant = 0; variant < faceVariants; ++variant) {
            const std::string face = "face" + std::to_string(kind) + std::to_string(variant);
            sprites.faces[kind * faceVariants + variant] =
                registerPicture(face, catalogue::facePictures[kind][variant], true);
        }
        const std::string body = "body" + std::to_string(kind);
        sprites.bodies[kind] = registerPicture(body, catalogue::bodyPictures[kind], true);
    }
    for (int kind = 0; kind < mouthKinds; ++kind) {
        const std::string mouth = "mouth" + std::to_string(kind);
        sprites.mouths[kind] = registerPicture(mouth, catalogue::mouthPictures[kind], true);
    }
    sprites.gunLeft = registerPicture("gunhand_left", catalogue::gunLeftPicture, true);
    sprites.gunRight = registerPicture("gunhand_right", catalogue::gunRightPicture, true);
    for (int frame = 0; frame < fireFrames; ++frame) {
        const std::string name = "fire" + std::to_string(frame);
        const int32_t sprite = registerPicture(name, catalogue::firePictures[frame], true);
        for (FireAnimation& fire : fires)
            fire.frameSprites[frame] = sprite; // all fires share the pictures, not the timing
    }

    std::printf("PUSHING PEOPLE\n");
    assemblePeople(crowdSize, sprites);
    std::printf("PUSHED PEOPLE\n");

    selectorMarker.sprite =
        registerPicture(selectorMarker.name, catalogue::lightShaftPicture, true);
    selectedMarker.sprite = registerPicture(selectedMarker.name, catalogue::selectedPicture, true);
    backdropSprite = registerPicture("backer", catalogue::hallPicture, false);
    floorSprite = registerPicture("groundplane", catalogue::floorPicture, false);
}

void Crowd::assemblePeople(int count, const PersonSprites& sprites) {
    for (int i = 0; i < count; ++i) {
        const int32_t baseKind = randomDraw() % 6;
        const int32_t bodyKind = kindAwayFromMiddle(baseKind, randomDraw() % 3);
        const int32_t faceKind = kindAwayFromMiddle(baseKind, randomDraw() % 3);
        // Always variant 0 of the face kind.
        auto person = std::make_unique<Person>(faceKind * faceVariants, bodyKind);
        person->setSprites(sprites);
        // Only the head is lowered: home, target and body keep their heights.
        switch (faceKind) {
        case 2:
            person->faceScale = {3.0f, 4.0f, 3.0f};
            person->headPos.y -= 2.5f;
            person->mouthOffset = {0.0f, 0.5f, 0.0f};
            break;
        case 1:
            person->faceScale = {3.0f, 4.0f, 3.0f};
            person->headPos.y -= 1.5f;
            person->mouthOffset = {0.0f, 2.0f, 0.0f};
            break;
        case 0:
            break;
        default:
            person->mouthOffset = {0.0f, 2.0f, 0.0f};
            break;
        }
        const Cell cell = cellOf(person->headPos.x, person->headPos.z);
        person->cellX = cell.x;
        person->cellZ = cell.z;
        file(std::move(person));
    }
}
