#include "support/Gl.h"

#include <GL/freeglut.h>
#include <cmath>

void ensureGlContext() {
    static bool created = false;
    if (created)
        return;
    int argc = 1;
    char name[] = "throngwick-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(windowWidth, windowHeight);
    glutCreateWindow("Throngwick test");
    created = true;
}

Vec3 eyeToWindow(Vec3 point) {
    const double f = 1.0 / std::tan(27.5 * M_PI / 180.0);
    const double aspect = static_cast<double>(windowWidth) / windowHeight;
    const double x = f / aspect * point.x / -point.z;
    const double y = f * point.y / -point.z;
    return {static_cast<float>((x + 1.0) * 0.5 * windowWidth),
            static_cast<float>((y + 1.0) * 0.5 * windowHeight), 0.0f};
}

Rgb pixelAt(Vec3 window) {
    unsigned char rgba[4] = {};
    glReadBuffer(GL_BACK);
    glReadPixels(static_cast<int>(std::floor(window.x)), static_cast<int>(std::floor(window.y)), 1,
                 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2]};
}
