#include "visit/GlutCallbacks.h"

#include "visit/Visit.h"

#include <GL/glut.h>

// Every callback goes through the visit, which records, replays or just passes it on.
namespace {
void reshape(int width, int height) {
    Visit::instance().input({EventKind::Reshape, 0, 0, width, height});
}
void display() {
    Visit::instance().display();
}
void idle() {
    Visit::instance().idle();
}
void motion(int x, int y) {
    Visit::instance().input({EventKind::Drag, 0, 0, x, y});
}
void passiveMotion(int x, int y) {
    Visit::instance().input({EventKind::Move, 0, 0, x, y});
}
void mouse(int button, int state, int x, int y) {
    Visit::instance().input({EventKind::Mouse, button, state, x, y});
}
void keyboard(unsigned char key, int x, int y) {
    Visit::instance().input({EventKind::Key, key, 0, x, y});
}
void keyboardUp(unsigned char key, int x, int y) {
    Visit::instance().input({EventKind::KeyUp, key, 0, x, y});
}
void special(int key, int x, int y) {
    Visit::instance().input({EventKind::Special, key, 0, x, y});
}
void specialUp(int key, int x, int y) {
    Visit::instance().input({EventKind::SpecialUp, key, 0, x, y});
}
} // namespace

void registerGlutCallbacks() {
    glutReshapeFunc(reshape);
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutMotionFunc(motion);
    glutPassiveMotionFunc(passiveMotion);
    glutMouseFunc(mouse);
    glutKeyboardFunc(keyboard);
    glutKeyboardUpFunc(keyboardUp);
    glutSpecialFunc(special);
    glutSpecialUpFunc(specialUp);
}
