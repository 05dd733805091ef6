#include "platform/web/WebWindow.h"

#include "app/AppState.h"
#include "assets/OptionCard.h"
#include "interaction/InputController.h"
#include "platform/web/GlOverWebGl.h"

#include <GL/glut.h>
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include <cstdio>

namespace {
constexpr const char* canvas = "#canvas";

struct Callbacks {
    void (*reshape)(int, int) = nullptr;
    void (*display)() = nullptr;
    void (*idle)() = nullptr;
    void (*motion)(int, int) = nullptr;
    void (*passiveMotion)(int, int) = nullptr;
    void (*mouse)(int, int, int, int) = nullptr;
    void (*keyboard)(unsigned char, int, int) = nullptr;
    void (*keyboardUp)(unsigned char, int, int) = nullptr;
    void (*special)(int, int, int) = nullptr;
};

Callbacks callbacks;
double startMs = 0.0;
bool redisplay = false;
int initialWidth = 1024;
int initialHeight = 512;
constexpr int largestKey = 127; // the program knows ASCII's characters only

// The page's choice: 1 forces WebGL 1 (?webgl=1), else WebGL 2 where the browser offers it.
EM_JS(int, wantedWebGlVersion, (), { return Module.webGlVersion || 2; });
} // namespace

extern "C" {

void glutInit(int*, char**) {
    startMs = emscripten_get_now();
}

void glutInitDisplayMode(unsigned int) {}

void glutInitWindowSize(int width, int height) {
    initialWidth = width;
    initialHeight = height;
}

// The desktop's window as a context: no alpha to blend with the page, a depth buffer, no
// smoothing of edges; WebGL 2, which can keep the hall still, else WebGL 1.
int glutCreateWindow(const char*) {
    emscripten_set_canvas_element_size(canvas, initialWidth, initialHeight);
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.alpha = false;
    attributes.depth = true;
    attributes.stencil = false;
    attributes.antialias = false;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = 0;
    for (int version = wantedWebGlVersion(); version >= 1 && context <= 0; --version) {
        attributes.majorVersion = version;
        context = emscripten_webgl_create_context(canvas, &attributes);
    }
    const char* reason = "the browser offers no WebGL";
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !startDrawingPath(attributes.majorVersion, reason)) {
        std::fprintf(stderr, "throngwick: cannot draw: %s\n", reason);
        return 0;
    }
    return 1;
}

void glutSwapBuffers() {} // the browser shows the canvas once the frame's turn ends
// The window's first size arrives as a desktop window's does when it is shown; from then on the
// page runs the frames.
void glutMainLoop() {
    if (callbacks.reshape)
        callbacks.reshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
}

void glutPostRedisplay() {
    redisplay = true;
}

void glutReshapeWindow(int width, int height) {
    emscripten_set_canvas_element_size(canvas, width, height);
}

int glutGet(GLenum what) {
    // The clock is read every frame: it asks the page for no canvas.
    if (what == GLUT_ELAPSED_TIME)
        // As GLUT's int does, the count wraps around after 24.8 days; the scene counts on past it.
        return static_cast<int>(
            static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now() - startMs)));
    int width = 0;
    int height = 0;
    emscripten_get_canvas_element_size(canvas, &width, &height);
    if (what == GLUT_WINDOW_WIDTH)
        return width;
    if (what == GLUT_WINDOW_HEIGHT)
        return height;
    return 0;
}

void glutReshapeFunc(void (*callback)(int, int)) {
    callbacks.reshape = callback;
}
void glutDisplayFunc(void (*callback)()) {
    callbacks.display = callback;
}
void glutIdleFunc(void (*callback)()) {
    callbacks.idle = callback;
}
void glutMotionFunc(void (*callback)(int, int)) {
    callbacks.motion = callback;
}
void glutPassiveMotionFunc(void (*callback)(int, int)) {
    callbacks.passiveMotion = callback;
}
void glutMouseFunc(void (*callback)(int, int, int, int)) {
    callbacks.mouse = callback;
}
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    callbacks.keyboard = callback;
}
void glutKeyboardUpFunc(void (*callback)(unsigned char, int, int)) {
    callbacks.keyboardUp = callback;
}
void glutSpecialFunc(void (*callback)(int, int, int)) {
    callbacks.special = callback;
}
// The page sends no special key's release: the program does nothing with them.
void glutSpecialUpFunc(void (*)(int, int, int)) {}

EMSCRIPTEN_KEEPALIVE void webFrame() {
    if (callbacks.idle)
        callbacks.idle();
    if (redisplay && callbacks.display) {
        redisplay = false;
        callbacks.display();
    }
}

EMSCRIPTEN_KEEPALIVE void webReshape(int width, int height) {
    emscripten_set_canvas_element_size(canvas, width, height);
    if (callbacks.reshape)
        callbacks.reshape(width, height);
    // A new size empties the canvas: it is drawn again, also while paused, as a window system
    // has a resized window drawn.
    redisplay = true;
}

EMSCRIPTEN_KEEPALIVE void webMouse(int button, int state, int x, int y) {
    if (callbacks.mouse)
        callbacks.mouse(button, state, x, y);
}

EMSCRIPTEN_KEEPALIVE void webMove(int x, int y) {
    if (callbacks.passiveMotion)
        callbacks.passiveMotion(x, y);
}

EMSCRIPTEN_KEEPALIVE void webDrag(int x, int y) {
    if (callbacks.motion)
        callbacks.motion(x, y);
}

// Only ASCII reaches the program: a character beyond it cut to 8 bits would be another key.
EMSCRIPTEN_KEEPALIVE void webKey(int key, int x, int y) {
    if (callbacks.keyboard && key >= 0 && key <= largestKey)
        callbacks.keyboard(static_cast<unsigned char>(key), x, y);
}

EMSCRIPTEN_KEEPALIVE void webKeyUp(int key, int x, int y) {
    if (callbacks.keyboardUp && key >= 0 && key <= largestKey)
        callbacks.keyboardUp(static_cast<unsigned char>(key), x, y);
}

EMSCRIPTEN_KEEPALIVE void webSpecial(int key, int x, int y) {
    if (callbacks.special)
        callbacks.special(key, x, y);
}

EMSCRIPTEN_KEEPALIVE void webTap(int x, int y) {
    const OptionCard& card = OptionCard::instance();
    const AppState& app = AppState::instance();
    const int line = card.state == CardState::Shown
                         ? card.lineAt(static_cast<float>(x), static_cast<float>(y), app.width,
                                       app.height, InputController::instance().fieldOfView)
                         : 0;
    if (line != 0) {
        webKey('0' + line, x, y);
        return;
    }
    // A click where the finger was: the pointer comes there first, as a mouse's does.
    webMove(x, y);
    webMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, x, y);
    webMouse(GLUT_LEFT_BUTTON, GLUT_UP, x, y);
}

} // extern "C"
