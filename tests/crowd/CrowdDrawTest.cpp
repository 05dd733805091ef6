#include "crowd/Crowd.h"

#include "app/Camera.h"
#include "support/CrowdTestSupport.h"
#include "support/GlContext.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <vector>

namespace {

constexpr int frameWidth = 1024;
constexpr int frameHeight = 512;

using Frame = std::vector<uint8_t>;

// Window pixel (origin lower left) of a world point under the current matrices.
Vec3 project(Vec3 point) {
    GLdouble model[16], projection[16], x = 0.0, y = 0.0, z = 0.0;
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    gluProject(point.x, point.y, point.z, model, projection, viewport, &x, &y, &z);
    return {static_cast<float>(x), static_cast<float>(y), 0.0f};
}

bool samePixel(const Frame& a, const Frame& b, int x, int y) {
    const size_t i = (static_cast<size_t>(y) * frameWidth + static_cast<size_t>(x)) * 4;
    return std::equal(a.begin() + i, a.begin() + i + 3, b.begin() + i);
}

} // namespace

class CrowdDraw : public crowdtest::CrowdFixture {
  protected:
    void SetUp() override {
        CrowdFixture::SetUp();
        for (const char* picture : {"face00", "face50", "body0", "body5", "theHall", "floorplane"})
            if (!std::filesystem::exists(std::string("./image_data/") + picture + ".tga"))
                GTEST_SKIP() << "the generated pictures are not in "
                             << std::filesystem::current_path()
                             << "/image_data (build the assets target first)";
        ensureGlContext();
        // The state start-up sets that drawing relies on (the rest are GL's defaults).
        glDepthFunc(GL_LEQUAL);
        for (GLenum capability : {GL_CULL_FACE, GL_DEPTH_TEST, GL_NORMALIZE, GL_TEXTURE_2D})
            glEnable(capability);
        seedRandom(31u);
        crowd.load();
        app.currentTimeMs = 0.0f;
        InputController::instance().floorPoint = {-1000.0f, 0.0f, 0.0f}; // shaft out of view
        Camera::instance().reshape(frameWidth, frameHeight);
    }

    Frame drawFrame() const {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        crowd.draw();
        glPopMatrix();
        Frame pixels(static_cast<size_t>(frameWidth) * frameHeight * 4);
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, frameWidth, frameHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    Frame drawWithoutPeople() {
        std::array<CellList, gridCells> people;
        std::swap(people, crowd.grid);
        Frame frame = drawFrame();
        std::swap(people, crowd.grid);
        return frame;
    }

    void forEachPerson(const std::function<void(Person&)>& change) {
        for (CellList& list : crowd.grid)
            for (std::unique_ptr<Person>& person : list)
                change(*person);
    }
};

TEST_F(CrowdDraw, PeopleAreDrawnWhereTheyStand) {
    const Frame full = drawFrame();
    const Frame empty = drawWithoutPeople();
    ASSERT_NE(full, empty);
    // Everyone stands below the eye (y 19): the upper half of the view shows no person.
    for (int y = frameHeight / 2 + 1; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x)
            ASSERT_TRUE(samePixel(full, empty, x, y)) << x << ", " << y;

    // The front person, whom nobody hides: moved out of view, it takes away pixels around its
    // face centre and none outside the rectangle of its body and face (sway and bob included).
    Person* front = cellAt(0, 0).front().get();
    forEachPerson([&front](Person& p) { front = p.headPos.z > front->headPos.z ? &p : front; });
    const Person& p = *front;
    const Vec3 low = project(p.bodyPos - Vec3{p.bodyWidth + 0.1f, p.bodyHeight, 0.0f});
    const Vec3 high = project(p.headPos + Vec3{p.faceScale.x, p.faceScale.y + 0.1f, 0.0f});
    const Vec3 face = project(p.headPos);
    const Vec3 head = p.headPos, body = p.bodyPos;
    front->headPos.x = front->bodyPos.x = 5000.0f;
    const Frame without = drawFrame();
    front->headPos = head;
    front->bodyPos = body;

    int outside = 0, atFace = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < frameWidth; ++x)
            if (!samePixel(full, without, x, y)) {
                outside += x < low.x - 2 || x > high.x + 2 || y < low.y - 2 || y > high.y + 2;
                atFace += std::abs(x - static_cast<int>(face.x)) <= 2 &&
                          std::abs(y - static_cast<int>(face.y)) <= 2;
            }
    EXPECT_EQ(outside, 0) << "pixels changed outside the front person's rectangle";
    EXPECT_GT(atFace, 0) << "nothing drawn at the face centre " << face.x << ", " << face.y;
}

TEST_F(CrowdDraw, StateOutsideZeroToThreeDrawsNothing) {
    const Frame empty = drawWithoutPeople();
    for (int32_t state : {4, -1, 1000}) {
        forEachPerson([state](Person& p) { p.state = static_cast<PersonState>(state); });
        EXPECT_EQ(drawFrame(), empty) << "state " << state;
    }
}

TEST_F(CrowdDraw, ClosedMouthDoesNotShow) {
    const Frame idle = drawFrame();
    forEachPerson([](Person& p) {
        p.state = PersonState::Singing;
        p.mouthScale = {0.55f, 0.0f, 0.35f};
    });
    EXPECT_EQ(drawFrame(), idle);
}
