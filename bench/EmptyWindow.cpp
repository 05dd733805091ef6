// The start-up and memory baseline: a GLUT window of the program's size and display mode that
// clears to grey and swaps, and nothing else. Runs until it is killed.
#include <GL/freeglut.h>

namespace {
void display() {
    // Grey, not black: the start-up probe waits for the first non-black pixels.
    glClearColor(0.5f, 0.5f, 0.5f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}
} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(1024, 512);
    glutCreateWindow("Empty window");
    glutDisplayFunc(display);
    glutMainLoop();
    return 0;
}
