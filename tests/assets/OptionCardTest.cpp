#include "assets/OptionCard.h"

#include "app/Camera.h"
#include "support/Gl.h"
#include "support/Scene.h"
#include "support/Tga.h"

#include <GL/gl.h>
#include <cmath>
#include <filesystem>
#include <tuple>
#include <vector>

namespace {
// The window pixel (y up) of the card's point (u, v) at the angle: the card is a unit square whose
// bottom-right corner, its pivot, sits in eye coordinates at (0.85, -0.65, -1), scaled by 0.9 and
// turned counter-clockwise by its angle.
Vec3 cardPixel(float angle, float u, float v) {
    const float c = std::cos(angle * float(M_PI) / 180.0f);
    const float s = std::sin(angle * float(M_PI) / 180.0f);
    return eyeToWindow({0.85f + 0.9f * (c * u - s * v), -0.65f + 0.9f * (s * u + c * v), -1.0f});
}
} // namespace

TEST(OptionCardStates, SwingsAt160DegreesASecondOvershootingOnTheLastFrameRequestsRestartTheTimer) {
    const std::tuple<CardState, std::vector<float>, CardState> cases[] = {
        {CardState::SwingingIn, {50, 30, 10, -10, -30, -10}, CardState::Shown},
        {CardState::SwingingOut, {10, 30, 50, 70, 90, 70}, CardState::PutAway},
    };
    for (const auto& [from, angles, to] : cases) {
        OptionCard card;
        card.setState(from);
        std::vector<float> seen;
        for (int i = 0; i < 6; ++i) {
            card.update(0.125f);
            seen.push_back(card.angle);
            if (i == 3) {
                EXPECT_EQ(card.state, from); // a timer of exactly 0.5 still swings
            }
        }
        EXPECT_EQ(seen, angles);
        EXPECT_TRUE(card.state == to && card.timer == 0.125f);
    }

    // Requests restart the timer unless the state is the same.
    OptionCard card; // put away at first
    card.angle = 12.0f;
    card.update(0.0f); // a rest state sets its angle and nothing else
    EXPECT_EQ(card.angle, 70.0f);
    card.swingOut(); // from put away: a jump to the shown angle
    card.update(0.3f);
    card.swingOut();
    EXPECT_FLOAT_EQ(card.timer, 0.3f);
    EXPECT_FLOAT_EQ(card.angle, 38.0f);
    card.swingIn();
    card.update(0.0f);
    EXPECT_EQ(card.angle, 70.0f);
    card.hide();
    EXPECT_TRUE(card.state == CardState::PutAway && card.timer == 0.0f);
    card.state = static_cast<CardState>(7); // an unknown state only advances the timer
    card.update(0.25f);
    EXPECT_TRUE(card.angle == 70.0f && card.timer == 0.25f);
}

// Points just inside the card's edges show its picture, points just outside show what was there.
TEST_F(SceneTest, CardIsDrawnAboutItsPivotAtItsAngleAndLeavesTheGlState) {
    ensureGlContext();
    const std::filesystem::path folder = testing::TempDir() + "card";
    std::filesystem::create_directories(folder / "image_data");
    writeFile((folder / "image_data/optionCard.tga").string(), solidPicture(4, 4, 255, 0, 0));
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    OptionCard& card = OptionCard::instance();
    card.init();
    std::filesystem::current_path(previous);
    AppState::setFixedGlState();
    Camera::instance().reshape(1024, 512);
    const struct {
        float u, v, du, dv, nu, nv; // start, direction along the edge, outward normal
    } edges[] = {
        {-1, 0, 0, 1, -1, 0}, {0, 0, 0, 1, 1, 0}, {-1, 0, 1, 0, 0, -1}, {-1, 1, 1, 0, 0, 1}};
    for (float angle : {-10.0f, 30.0f}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        card.angle = angle;
        card.draw();
        int checked = 0;
        for (const auto& e : edges)
            for (float t = 0.1f; t < 1.0f; t += 0.2f)
                for (float side : {-0.02f, 0.02f}) {
                    const float u = e.u + e.du * t + e.nu * side;
                    const float v = e.v + e.dv * t + e.nv * side;
                    const Vec3 pixel = cardPixel(angle, u, v);
                    if (pixel.x < 1 || pixel.x > 1022 || pixel.y < 1 || pixel.y > 510)
                        continue;
                    ++checked;
                    EXPECT_EQ(pixelAt(pixel), (side < 0 ? Rgb{255, 0, 0} : Rgb{0, 0, 0}))
                        << "angle " << angle << " at card point " << u << ", " << v;
                }
        EXPECT_GT(checked, 16) << angle;
    }
    EXPECT_TRUE(!glIsEnabled(GL_BLEND) && !glIsEnabled(GL_ALPHA_TEST) &&
                glIsEnabled(GL_DEPTH_TEST) && glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(std::vector<float>(colour, colour + 4), std::vector<float>(4, 1.0f));
    EXPECT_EQ(readViewMatrices().modelview[14], -145.0);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A touch tells the card's lines apart by where the card is drawn: a point of each line's number
// badge beside its digit, found through the card's turn and the view's projection, shows the
// badge's red and names that line; the space above the first line, below the last and beside the
// lines, none.
TEST_F(SceneTest, TheLineUnderAPixelIsTheOneDrawnThere) {
    ensureGlContext();
    OptionCard& card = OptionCard::instance();
    card.init(); // the painted card, from the run folder
    AppState::setFixedGlState();
    Camera::instance().reshape(windowWidth, windowHeight);
    // A point of the picture (pixels, top row first) to a window pixel (x, y from the top).
    const auto pixelOf = [&card](float column, float row) {
        const Vec3 window = cardPixel(card.angle, column / 384.0f - 1.0f, 1.0f - row / 384.0f);
        return Vec3{std::floor(window.x), windowHeight - 1 - std::floor(window.y), 0.0f};
    };
    for (const float angle : {-10.0f, -20.0f}) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        card.angle = angle;
        card.draw();
        for (int line = 1; line <= 4; ++line) {
            const Vec3 badge = pixelOf(76.0f, 160.0f + 56.0f * (line - 1) - 16.0f);
            const Rgb colour = pixelAt({badge.x, windowHeight - 1 - badge.y, 0.0f});
            EXPECT_TRUE(colour[0] > 2 * colour[1] &&
                        card.lineAt(badge.x, badge.y, windowWidth, windowHeight, 55.0f) == line)
                << "the badge of line " << line << " at angle " << angle;
        }
        for (const Vec3 off : {pixelOf(200.0f, 110.0f), pixelOf(200.0f, 345.0f),
                               pixelOf(12.0f, 200.0f), pixelOf(372.0f, 200.0f)})
            EXPECT_EQ(card.lineAt(off.x, off.y, windowWidth, windowHeight, 55.0f), 0)
                << "angle " << angle << " at " << off.x << ", " << off.y;
    }
    EXPECT_EQ(card.lineAt(10.0f, 10.0f, 0, windowHeight, 55.0f), 0); // a window of no size
}
