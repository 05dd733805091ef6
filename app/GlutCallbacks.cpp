#include "app/GlutCallbacks.h"

#include "app/AppState.h"
#include "app/Camera.h"
#include "interaction/InputController.h"

#include <GL/freeglut.h>

namespace {
void reshape(int width, int height) {
    Camera::instance().reshape(width, height);
}
void display() {
    AppState::instance().display();
}
void idle() {
    AppState::instance().idle();
}
void motion(int x, int y) {
    InputController::instance().onMotion(x, y);
}
void passiveMotion(int x, int y) {
    InputController::instance().onPassiveMotion(x, y);
}
void mouse(int button, int state, int x, int y) {
    InputController::instance().onMouse(button, state, x, y);
}
void keyboard(unsigned char key, int x, int y) {
    InputController::instance().onKeyboard(key, x, y);
}
// Key releases and special keys share one handler that does nothing.
void otherKey(int key, int x, int y) {
    InputController::instance().onOtherKey(key, x, y);
}
void keyboardUp(unsigned char key, int x, int y) {
    otherKey(key, x, y);
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
    glutSpecialFunc(otherKey);
    glutSpecialUpFunc(otherKey);
}
