#include "app/AppState.h"
#include "app/GlutCallbacks.h"

#include <GL/freeglut.h>
#include <cstdio>

int main(int argc, char** argv) {
    // Each output line as it happens, also into a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 512);
    const int window = glutCreateWindow("Throngwick");
    AppState::instance().initialise(window, 1024, 512);
    registerGlutCallbacks();
    glutMainLoop();
    return 0;
}
