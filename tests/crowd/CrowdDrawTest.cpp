#include "crowd/Crowd.h"

#include "app/Camera.h"
#include "assets/TextureRegistry.h"
#include "support/Gl.h"
#include "support/Scene.h"
#include "support/Tga.h"

#include <GL/gl.h>
#include <string>
#include <tuple>
#include <vector>

namespace {
const Rgb green{0, 255, 0}, blue{0, 0, 255}, red{255, 0, 0}, yellow{255, 255, 0},
    magenta{255, 0, 255}, orange{255, 128, 0}, white{255, 255, 255}, grey{64, 64, 64},
    teal{0, 64, 64};

// Every piece drawn in a colour of its own, seen from (0, -5, 150) along -z; pixels are looked
// up where the test's own projection puts world points.
class CrowdDraw : public SceneTest {
  protected:
    const Vec3 eye{0.0f, -5.0f, 150.0f};
    PersonSprites sprites;

    void SetUp() override {
        SceneTest::SetUp();
        ensureGlContext();
        const int32_t face = solid("face", green), body = solid("body", blue);
        std::fill(std::begin(sprites.faces), std::end(sprites.faces), face);
        std::fill(std::begin(sprites.bodies), std::end(sprites.bodies), body);
        std::fill(std::begin(sprites.mouths), std::end(sprites.mouths), solid("mouth", red));
        sprites.gunLeft = solid("gunLeft", yellow);
        sprites.gunRight = solid("gunRight", magenta);
        const int32_t flame = solid("flame", orange), otherFrame = solid("ember", {90, 90, 0});
        for (FireAnimation& fire : crowd.fires)
            for (int frame = 0; frame < fireFrames; ++frame)
                fire.frameSprites[frame] = frame == 2 ? flame : otherFrame;
        crowd.selectorMarker.sprite = solid("shaft", white);
        crowd.backdropSprite = solid("hall", grey, false);
        crowd.floorSprite = solid("floor", teal, false);
        input.viewOffset = Vec3{} - eye;
        input.floorPoint = {-1000.0f, 0.0f, 0.0f}; // the shaft out of view
        Camera::instance().reshape(1024, 512);
        AppState::setFixedGlState();
    }
    static int32_t solid(const std::string& name, Rgb c, bool blend = true) {
        const std::string path = testing::TempDir() + name + ".tga";
        writeFile(path, solidPicture(2, 2, uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2])));
        return TextureRegistry::instance().registerSprite(name, path.c_str(), blend);
    }
    // A person with the head at (x, 0, z), at rest: no sway beyond its phase's, no bob.
    Person& person(PersonState state, float x = 0.0f, float z = 100.0f) {
        Person& p = place(x, z);
        p.setSprites(sprites);
        p.state = state;
        p.bobRate = p.bobPhase = 0.0f;
        p.mouthOffset = {0.0f, 2.0f, 0.0f};
        p.fireIndex = 3;
        crowd.fires[3].frame = 2;
        return p;
    }
    void draw() const {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        crowd.draw();
        glPopMatrix();
    }
    Rgb at(float x, float y, float z = 100.0f) const {
        return pixelAt(worldToWindow({x, y, z}, eye));
    }
};

using Spot = std::tuple<float, float, Rgb, bool>; // x, y, the colour, and whether it shows
} // namespace

TEST_F(CrowdDraw, APersonByStateTheHallTheFloorAndTheShaftOverTheCursorOrBehindThePicked) {
    const std::tuple<PersonState, int32_t, Vec3, std::vector<Spot>> cases[] = {
        // clang-format off
        {PersonState::Idle, 0, {}, {{0, 0, green, true}, {0, -10, blue, true}, {0, 9, orange, 0}}},
        // The gun hand 6 to the side and 6 above the body's centre: any nonzero side is the left,
        // holding the right hand's picture.
        {PersonState::Armed, 1, {}, {{-6, -4, magenta, true}, {6, -4, yellow, false},
                                     {-6, -10, magenta, false}}},
        {PersonState::Armed, 7, {}, {{-9, -3, magenta, true}, {6, -4, magenta, false}}},
        {PersonState::Armed, 0, {}, {{6, -4, yellow, true}, {-6, -4, magenta, false},
                                     {6, -10, yellow, false}}},
        // The mouth below the face's centre, over the face.
        {PersonState::Singing, 0, {0.5f, 0.5f, 0.35f}, {{0, -2, red, true}, {0, 2, green, true}}},
        {PersonState::Singing, 0, {0.55f, 0.0f, 0.35f}, {{0, -2, green, true}}},
        // The flame's frame from the person's fire, 7 above the face and 7.5 high, 4 wide.
        {PersonState::Burning, 0, {}, {{0, 12, orange, true}, {3.5f, 1, orange, true},
            {0, 15, orange, false}, {4.5f, 12, orange, false}, {0, -2, green, true}}},
        {static_cast<PersonState>(4), 0, {}, {{0, 0, green, false}, {0, -10, blue, false}}},
        // clang-format on
    };
    for (const auto& [state, gunOnLeft, mouthScale, spots] : cases) {
        SetUp();
        Person& p = person(state);
        p.gunOnLeft = gunOnLeft;
        p.mouthScale = mouthScale;
        draw();
        for (const auto& [x, y, colour, shown] : spots)
            EXPECT_EQ(at(x, y) == colour, shown)
                << "state " << int(state) << " gun side " << gunOnLeft << ", at " << x << ", " << y;
    }

    // The hall, the floor, and the light shaft over the cursor or behind the selected person.
    SetUp();
    input.floorPoint = {20.0f, 0.0f, 50.0f}; // the shaft from 45 - 63 up, 13 to each side
    draw();
    const Spot overview[] = {{20, -17, white, true}, {20, -19, white, false},
                             {8, 0, white, true},    {6, 0, white, false},
                             {32, 0, white, true},   {34, 0, white, false}};
    for (const auto& [x, y, colour, shown] : overview)
        EXPECT_EQ(at(x, y, 50.0f) == colour, shown) << x << ", " << y;
    // The hall, the floor, and the hall again past the floor's far edge.
    EXPECT_TRUE(at(0.0f, 100.0f, -80.0f) == grey && at(-223.0f, 0.0f, -80.0f) == grey);
    EXPECT_TRUE(at(0.0f, -20.0f, 50.0f) == teal && at(0.0f, -20.0f, -48.0f) == teal);
    EXPECT_EQ(at(0.0f, -20.0f, -60.0f), grey);

    crowd.selectedPerson = &person(PersonState::Idle, -30.0f, 80.0f);
    app.viewMode = ViewMode::Focused;
    draw();
    EXPECT_EQ(at(-30.0f, 0.0f, 80.0f), green); // in front of the shaft
    EXPECT_TRUE(at(-18.0f, 0.0f, 76.0f) == white && at(-42.0f, 0.0f, 76.0f) == white &&
                at(-44.0f, 0.0f, 76.0f) != white);
}

// After 30 days of running, a frame 16 ms later sways on as it does in the first minute.
TEST_F(SceneTest, PeopleSwayFrameByFrameAfterThirtyDays) {
    Person& p = place(0.0f, 50.0f);
    p.bobRate = 1.3f;
    const auto swayedWidth = [&](int64_t clockMs) {
        app.currentTimeMs = clockMs;
        SpriteDraw draws[maxPersonSprites];
        p.spriteDraws(draws);
        return draws[0].scale.x; // the body, widened by the sway
    };
    for (const int64_t startMs : {60000LL, 30LL * 24 * 3600 * 1000 + 60000})
        for (int64_t ms = startMs; ms < startMs + 160; ms += 16)
            EXPECT_NE(swayedWidth(ms), swayedWidth(ms + 16)) << ms;
}
