#include "interaction/Picking.h"

#include "app/Camera.h"
#include "support/Gl.h"
#include "support/Scene.h"

#include <cmath>
#include <tuple>

namespace {
// Where the line through window pixel (x, y from the top) of the start-up view crosses the floor
// plane, ahead of the eye or behind it: the eye at (0, 19, 145), pixels taken at whole numbers.
Vec3 floorCrossing(int x, int y) {
    const double f = 1.0 / std::tan(27.5 * M_PI / 180.0);
    const double dx = (2.0 * x / windowWidth - 1.0) * 2.0 / f;
    const double dy = (2.0 * (windowHeight - 1 - y) / windowHeight - 1.0) / f;
    const double t = -19.0 / dy;
    return {static_cast<float>(dx * t), 0.0f, static_cast<float>(145.0 - t)};
}

bool nearAnEdge(Vec3 p, float farZ) {
    return std::abs(std::abs(p.x) - 100.0f) < 1.0f || std::abs(p.z - 100.0f) < 1.0f ||
           std::abs(p.z - farZ) < 1.0f;
}
} // namespace

TEST_F(SceneTest, ScreenRaysMeetTheFloorWhereShownAndTrianglesBothFacesButNoNearlyParallelRay) {
    ensureGlContext();
    Camera::instance().reshape(1024, 512);
    const Ray centre = screenRay(512, 256);
    EXPECT_NEAR(centre.origin.z, 144.9f, 1e-3f);
    EXPECT_NEAR(length(centre.direction), 1.0f, 1e-6f);
    int hits = 0;
    for (int y = 3; y < 512; y += 7)
        for (int x = 5; x < 1024; x += 61) {
            const Vec3 expected = floorCrossing(x, y);
            const struct {
                const FloorQuad& quad;
                float farZ;
            } quads[] = {{frontFloorQuad, 0.0f}, {wholeFloorQuad, -100.0f}};
            for (const auto& q : quads) {
                if (nearAnEdge(expected, q.farZ))
                    continue;
                const bool in =
                    std::abs(expected.x) < 100.0f && expected.z > q.farZ && expected.z < 100.0f;
                Vec3 hit{9, 9, 9};
                ASSERT_EQ(intersectFloor(screenRay(x, y), q.quad, hit), in) << x << ", " << y;
                if (in) {
                    ++hits;
                    expectNear(hit, expected, 0.05f);
                } else {
                    EXPECT_EQ(hit, (Vec3{9, 9, 9})); // left alone on a miss
                }
            }
        }
    EXPECT_GT(hits, 300);

    // A ray meets a triangle's both faces, the whole line, edges and corners, but not nearly
    // parallel.
    const Vec3 t0{0, 0, 0}, t1{4, 0, 0}, t2{0, 0, 4}, down{0, -1, 0};
    const std::tuple<Vec3, Vec3, bool> cases[] = {
        {{1, 0, -5}, {0, 0, 1}, false},             // parallel
        {{1, 1, 1}, {0, 0.0000005f, 1}, false},     // determinant within 0.00001
        {{1, 0.0002f, -1}, {0, -0.0001f, 1}, true}, // determinant 0.0016
        {{1, 5, 1}, {0, 1, 0}, true},               // the crossing behind the origin counts
        {{1, -5, 1}, {0, 1, 0}, true},              // from below
        // clang-format off
        {{2, 5, 0}, down, true}, {{0, 5, 2}, down, true}, {{2, 5, 2}, down, true},
        {{0, 5, 0}, down, true}, {{4, 5, 0}, down, true}, {{2.1f, 5, 2.1f}, down, false},
        {{-0.1f, 5, 1}, down, false},
        // clang-format on
    };
    for (const auto& [origin, direction, crosses] : cases) {
        Vec3 hit{9, 9, 9};
        const bool found = AppState::intersectTriangle(origin, direction, t0, t1, t2, hit);
        EXPECT_EQ(found, crosses) << origin.x << ", " << origin.y << ", " << origin.z;
        if (found && crosses) {
            const float t = -origin.y / direction.y;
            expectNear(hit, origin + direction * t, 1e-3f);
        }
    }
}
