#include "tests/support/GlContext.h"

#include <GL/freeglut.h>

void ensureGlContext() {
    static bool created = false;
    if (created)
        return;
    int argc = 1;
    char name[] = "throngwick-test";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 512);
    glutCreateWindow("Throngwick test");
    created = true;
}
