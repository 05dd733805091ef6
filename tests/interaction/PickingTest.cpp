#include "interaction/Picking.h"
#include "app/AppState.h"
#include "app/Camera.h"
#include "interaction/InputController.h"
#include "support/GlContext.h"

#include <gtest/gtest.h>

namespace {
// The start-up view: eye at (0, 19, 145) looking along -z, 55 degrees, 1024 by 512.
class StartupView : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureGlContext();
        Camera::instance().reshape(1024, 512);
    }
    static bool hits(int x, int y, const FloorQuad& quad, Vec3* where = nullptr) {
        Vec3 hit;
        const bool found = intersectFloor(screenRay(x, y), quad, hit);
        if (where)
            *where = hit;
        return found;
    }
    // First row from the top, in column x, whose ray meets the quad.
    static int firstRow(int x, const FloorQuad& quad) {
        for (int y = 0; y < 512; ++y)
            if (hits(x, y, quad))
                return y;
        return -1;
    }
};
} // namespace

TEST_F(StartupView, RayStartsOnTheNearPlaneWithUnitDirection) {
    const Ray ray = screenRay(512, 256);
    EXPECT_NEAR(ray.origin.z, 145.0f - 0.1f, 1e-3f);
    EXPECT_NEAR(length(ray.direction), 1.0f, 1e-6f);
    EXPECT_LT(ray.direction.z, -0.99f);
}

TEST_F(StartupView, FrontFloorFillsRowsFrom319To463) {
    const int top = firstRow(512, frontFloorQuad);
    EXPECT_NEAR(top, 319, 1);
    int bottom = top;
    while (bottom + 1 < 512 && hits(512, bottom + 1, frontFloorQuad))
        ++bottom;
    EXPECT_NEAR(bottom, 463, 1);
    EXPECT_FALSE(hits(512, 500, frontFloorQuad)); // below the floor's near edge
}

TEST_F(StartupView, FarEdgeRunsFromAbout173To851) {
    // The first row that meets the floor lies about 1.3 units in front of the far edge.
    const int row = firstRow(512, frontFloorQuad);
    int left = 0;
    while (!hits(left, row, frontFloorQuad))
        ++left;
    int right = 1023;
    while (!hits(right, row, frontFloorQuad))
        --right;
    EXPECT_NEAR(left, 173, 4);
    EXPECT_NEAR(right, 851, 4);
}

TEST_F(StartupView, NearEdgeIsWiderThanTheWindow) {
    EXPECT_TRUE(hits(0, 455, frontFloorQuad));
    EXPECT_TRUE(hits(1023, 455, frontFloorQuad));
}

TEST_F(StartupView, WholeFloorReachesRow293) {
    EXPECT_NEAR(firstRow(512, wholeFloorQuad), 293, 1);
    Vec3 back;
    ASSERT_TRUE(hits(512, 300, wholeFloorQuad, &back));
    EXPECT_LT(back.z, 0.0f);
    EXPECT_EQ(back.y, 0.0f);
    EXPECT_FALSE(hits(512, 300, frontFloorQuad));
}

TEST_F(StartupView, AboveTheHorizonMissesAlthoughTheLineCrossesTheFloorBehindTheEye) {
    for (int y : {0, 100, 200, 250})
        for (const FloorQuad* quad : {&frontFloorQuad, &wholeFloorQuad})
            EXPECT_FALSE(hits(512, y, *quad)) << "row " << y;
}

TEST_F(StartupView, HitPointLiesOnTheFloorUnderTheCursor) {
    Vec3 hit;
    ASSERT_TRUE(hits(512, 400, frontFloorQuad, &hit));
    EXPECT_NEAR(hit.y, 0.0f, 1e-4f);
    EXPECT_NEAR(hit.x, 0.0f, 0.2f);
    EXPECT_GT(hit.z, 0.0f);
    EXPECT_LT(hit.z, 100.0f);
}

TEST(RayTriangle, ParallelRayMisses) {
    Vec3 hit;
    const Vec3 t0{0, 0, 0}, t1{10, 0, 0}, t2{0, 0, 10};
    EXPECT_FALSE(AppState::intersectTriangle({1, 0, -5}, {0, 0, 1}, t0, t1, t2, hit));
    // Nearly parallel: the determinant stays within 0.00001.
    EXPECT_FALSE(AppState::intersectTriangle({1, 1, 1}, {0.0f, 0.0000005f, 1.0f}, t0, t1, t2, hit));
}

TEST(RayTriangle, EdgesAndCornersCount) {
    const Vec3 t0{0, 0, 0}, t1{4, 0, 0}, t2{0, 0, 4};
    const Vec3 down{0, -1, 0};
    Vec3 hit;
    for (Vec3 point : {Vec3{2, 5, 0}, Vec3{0, 5, 2}, Vec3{2, 5, 2}, Vec3{0, 5, 0}, Vec3{4, 5, 0}}) {
        EXPECT_TRUE(AppState::intersectTriangle(point, down, t0, t1, t2, hit))
            << point.x << "," << point.z;
        EXPECT_FLOAT_EQ(hit.x, point.x);
        EXPECT_FLOAT_EQ(hit.z, point.z);
        EXPECT_EQ(hit.y, 0.0f);
    }
    EXPECT_FALSE(AppState::intersectTriangle({2.1f, 5, 2.1f}, down, t0, t1, t2, hit));
    EXPECT_FALSE(AppState::intersectTriangle({-0.1f, 5, 1}, down, t0, t1, t2, hit));
}

TEST(RayTriangle, BothFacesAndTheWholeLineCount) {
    const Vec3 t0{0, 0, 0}, t1{4, 0, 0}, t2{0, 0, 4};
    Vec3 hit;
    EXPECT_TRUE(AppState::intersectTriangle({1, 5, 1}, {0, 1, 0}, t0, t1, t2, hit)); // behind
    EXPECT_TRUE(AppState::intersectTriangle({1, -5, 1}, {0, 1, 0}, t0, t1, t2, hit));
    EXPECT_FLOAT_EQ(hit.x, 1.0f);
}

TEST(RayQuad, TheSharedDiagonalBelongsToTheFirstTriangle) {
    Vec3 hit{9, 9, 9};
    const FloorQuad& q = frontFloorQuad;
    // The diagonal q0-q3 runs from (-100, 0, 100) to (100, 0, 0).
    EXPECT_TRUE(AppState::intersectQuad({0, 5, 50}, {0, -1, 0}, q.q0, q.q1, q.q2, q.q3, hit));
    EXPECT_FLOAT_EQ(hit.x, 0.0f);
    EXPECT_FLOAT_EQ(hit.z, 50.0f);
    // Points on either side of the diagonal are found by one triangle or the other.
    EXPECT_TRUE(AppState::intersectQuad({-50, 5, 20}, {0, -1, 0}, q.q0, q.q1, q.q2, q.q3, hit));
    EXPECT_TRUE(AppState::intersectQuad({50, 5, 80}, {0, -1, 0}, q.q0, q.q1, q.q2, q.q3, hit));
    EXPECT_FALSE(AppState::intersectQuad({50, 5, -1}, {0, -1, 0}, q.q0, q.q1, q.q2, q.q3, hit));
}
