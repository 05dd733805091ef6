#include "platform/web/GlOverWebGl.h"

#include "base/Framing.h"
#include "base/Matrix4.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

// WebGL's own calls under the names emscripten gives them beside the GL names this file answers.
extern "C" {
void emscripten_glEnable(GLenum cap);
void emscripten_glDisable(GLenum cap);
void emscripten_glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void emscripten_glClearDepthf(GLfloat depth);
void emscripten_glBindTexture(GLenum target, GLuint texture);
void emscripten_glTexParameteri(GLenum target, GLenum name, GLint value);
void emscripten_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                             GLsizei height, GLint border, GLenum format, GLenum type,
                             const void* pixels);
void emscripten_glGetIntegerv(GLenum name, GLint* values);
GLuint emscripten_glCreateShader(GLenum type);
void emscripten_glShaderSource(GLuint shader, GLsizei count, const char* const* text,
                               const GLint* lengths);
void emscripten_glCompileShader(GLuint shader);
void emscripten_glGetShaderiv(GLuint shader, GLenum name, GLint* value);
GLuint emscripten_glCreateProgram();
void emscripten_glAttachShader(GLuint program, GLuint shader);
void emscripten_glBindAttribLocation(GLuint program, GLuint index, const char* name);
void emscripten_glLinkProgram(GLuint program);
void emscripten_glGetProgramiv(GLuint program, GLenum name, GLint* value);
void emscripten_glUseProgram(GLuint program);
GLint emscripten_glGetUniformLocation(GLuint program, const char* name);
void emscripten_glUniform1i(GLint location, GLint value);
void emscripten_glUniform1f(GLint location, GLfloat value);
void emscripten_glUniform4f(GLint location, GLfloat x, GLfloat y, GLfloat z, GLfloat w);
void emscripten_glGenBuffers(GLsizei count, GLuint* buffers);
void emscripten_glBindBuffer(GLenum target, GLuint buffer);
void emscripten_glBufferData(GLenum target, GLsizeiptr size, const void* data, GLenum usage);
void emscripten_glEnableVertexAttribArray(GLuint index);
void emscripten_glVertexAttribPointer(GLuint index, GLint size, GLenum type, GLboolean normalized,
                                      GLsizei stride, const void* offset);
void emscripten_glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* offset);
GLboolean emscripten_glIsEnabled(GLenum cap);
void emscripten_glGetFloatv(GLenum name, GLfloat* values);
}

namespace {

constexpr GLenum vertexShaderType = 0x8B31;   // GL_VERTEX_SHADER
constexpr GLenum fragmentShaderType = 0x8B30; // GL_FRAGMENT_SHADER
constexpr GLenum compiled = 0x8B81;           // GL_COMPILE_STATUS
constexpr GLenum linked = 0x8B82;             // GL_LINK_STATUS
constexpr GLenum arrayBuffer = 0x8892;        // GL_ARRAY_BUFFER
constexpr GLenum indexBuffer = 0x8893;        // GL_ELEMENT_ARRAY_BUFFER
constexpr GLenum streamDraw = 0x88E0;         // GL_STREAM_DRAW
constexpr GLenum staticDraw = 0x88E4;         // GL_STATIC_DRAW
constexpr GLuint positionAttribute = 0;
constexpr GLuint texCoordAttribute = 1;
constexpr size_t stackDepth = 32;    // matrices a stack holds, as the desktop's OpenGL
constexpr size_t quadsADraw = 16383; // corners counted in 16 bits

// Corners arrive transformed: the vertex shader only places them and maps the texture's part.
const char* const vertexShader = R"(
attribute vec4 position;
attribute vec2 texCoord;
uniform vec4 part; // s0, t0 and the part's size in the texture
varying highp vec2 uv;
void main() {
    gl_Position = position;
    uv = part.xy + texCoord * part.zw;
}
)";

// The texture modulated by the colour, or replacing it, as the desktop's texture environment
// does, then the alpha test (the program asks only for GL_GREATER).
const char* const fragmentShader = R"(
precision highp float;
uniform sampler2D picture;
uniform bool textured;
uniform bool replacing;
uniform vec4 colour;
uniform bool alphaTest;
uniform float alphaRef;
varying highp vec2 uv;
void main() {
    vec4 c = colour;
    if (textured)
        c = replacing ? texture2D(picture, uv) : texture2D(picture, uv) * colour;
    if (alphaTest && !(c.a > alphaRef))
        discard;
    gl_FragColor = c;
}
)";

struct Vertex {
    float position[4]; // object coordinates, then clip coordinates once transformed
    float texCoord[2];
};

struct Texture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgba; // as the program gave it, top row first
    GLint wrapS = GL_REPEAT;
    GLint wrapT = GL_REPEAT;
    float part[4] = {0.0f, 0.0f, 1.0f, 1.0f}; // where the picture lies in what was uploaded
};

// A display list: textures bound and quads drawn, in their order.
struct ListStep {
    bool binds = false;
    GLuint texture = 0;
    std::vector<Vertex> quads;
};

struct ClientArray {
    bool enabled = false;
    GLint size = 0;
    GLsizei stride = 0;
    const float* pointer = nullptr;
};

struct Uniforms {
    GLint textured = -1, replacing = -1, colour = -1, alphaTest = -1, alphaRef = -1, part = -1;
};

struct State {
    int version = 1; // WebGL's
    GLuint program = 0;
    GLuint vertexBuffer = 0;
    GLuint quadIndices = 0;
    Uniforms uniforms;
    std::vector<Matrix4> stacks[2] = {{Matrix4{}}, {Matrix4{}}}; // model-view, projection
    int mode = 0;                                                // the stack matrix calls change
    GLint viewport[4] = {};
    bool texturing = false;
    GLint environment = GL_MODULATE; // the texture environment's mode
    bool alphaTest = false;
    float alphaRef = 0.0f;
    float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    GLuint bound = 0;
    std::map<GLuint, Texture> textures;
    std::map<GLuint, std::vector<ListStep>> lists;
    GLuint nextList = 1;
    std::vector<ListStep>* recording = nullptr;
    bool inQuads = false;
    float texCoord[2] = {};
    ClientArray vertices;
    ClientArray texCoords;
    std::vector<Vertex> corners; // of the draw being sent
};

State& gl() {
    static State state;
    return state;
}

Matrix4& top() {
    return gl().stacks[gl().mode].back();
}

bool powerOfTwo(int32_t value) {
    return value > 0 && (value & (value - 1)) == 0;
}

GLuint compile(GLenum type, const char* source) {
    const GLuint shader = emscripten_glCreateShader(type);
    emscripten_glShaderSource(shader, 1, &source, nullptr);
    emscripten_glCompileShader(shader);
    GLint status = 0;
    emscripten_glGetShaderiv(shader, compiled, &status);
    return status ? shader : 0;
}

const Texture* boundTexture() {
    const auto found = gl().textures.find(gl().bound);
    return found == gl().textures.end() || found->second.rgba.empty() ? nullptr : &found->second;
}

// The corners through the current matrices, as quads of triangles with the current state.
void drawCorners(std::vector<Vertex>& corners) {
    State& s = gl();
    if (corners.size() < 4 || s.program == 0)
        return;
    const Matrix4 mvp = product(s.stacks[1].back(), s.stacks[0].back());
    for (Vertex& corner : corners) {
        float clip[4];
        mvp.transform(corner.position, clip);
        std::copy(clip, clip + 4, corner.position);
    }
    // Without a picture (none bound, or one that did not load) the desktop draws the colour.
    const Texture* texture = s.texturing ? boundTexture() : nullptr;
    const float whole[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    const float* part = texture ? texture->part : whole;
    emscripten_glUniform1i(s.uniforms.textured, texture != nullptr);
    emscripten_glUniform1i(s.uniforms.replacing, s.environment == GL_REPLACE);
    emscripten_glUniform4f(s.uniforms.part, part[0], part[1], part[2], part[3]);
    emscripten_glUniform4f(s.uniforms.colour, s.colour[0], s.colour[1], s.colour[2], s.colour[3]);
    emscripten_glUniform1i(s.uniforms.alphaTest, s.alphaTest);
    emscripten_glUniform1f(s.uniforms.alphaRef, s.alphaRef);
    for (size_t first = 0; first + 4 <= corners.size(); first += quadsADraw * 4) {
        const size_t quads = std::min(quadsADraw, (corners.size() - first) / 4);
        emscripten_glBufferData(arrayBuffer, static_cast<GLsizeiptr>(quads * 4 * sizeof(Vertex)),
                                corners.data() + first, streamDraw);
        emscripten_glDrawElements(GL_TRIANGLES, static_cast<GLsizei>(quads * 6), GL_UNSIGNED_SHORT,
                                  nullptr);
    }
}

} // namespace

int webGlVersion() {
    return gl().version;
}

bool startDrawingPath(int version, const char*& reason) {
    State& s = gl();
    s.version = version;
    const GLuint vertex = compile(vertexShaderType, vertexShader);
    const GLuint fragment = compile(fragmentShaderType, fragmentShader);
    if (vertex == 0 || fragment == 0) {
        reason = "the shaders do not compile";
        return false;
    }
    s.program = emscripten_glCreateProgram();
    emscripten_glAttachShader(s.program, vertex);
    emscripten_glAttachShader(s.program, fragment);
    emscripten_glBindAttribLocation(s.program, positionAttribute, "position");
    emscripten_glBindAttribLocation(s.program, texCoordAttribute, "texCoord");
    emscripten_glLinkProgram(s.program);
    GLint status = 0;
    emscripten_glGetProgramiv(s.program, linked, &status);
    if (!status) {
        s.program = 0;
        reason = "the shaders do not link";
        return false;
    }
    emscripten_glUseProgram(s.program);
    s.uniforms = {emscripten_glGetUniformLocation(s.program, "textured"),
                  emscripten_glGetUniformLocation(s.program, "replacing"),
                  emscripten_glGetUniformLocation(s.program, "colour"),
                  emscripten_glGetUniformLocation(s.program, "alphaTest"),
                  emscripten_glGetUniformLocation(s.program, "alphaRef"),
                  emscripten_glGetUniformLocation(s.program, "part")};
    emscripten_glUniform1i(emscripten_glGetUniformLocation(s.program, "picture"), 0);

    // Every draw is quads: corners 0 1 2 and 0 2 3 of each.
    std::vector<uint16_t> indices;
    for (uint16_t quad = 0; quad < quadsADraw; ++quad) {
        const uint16_t c = static_cast<uint16_t>(quad * 4);
        indices.insert(indices.end(),
                       {c, static_cast<uint16_t>(c + 1), static_cast<uint16_t>(c + 2), c,
                        static_cast<uint16_t>(c + 2), static_cast<uint16_t>(c + 3)});
    }
    emscripten_glGenBuffers(1, &s.quadIndices);
    emscripten_glBindBuffer(indexBuffer, s.quadIndices);
    emscripten_glBufferData(indexBuffer, static_cast<GLsizeiptr>(indices.size() * 2),
                            indices.data(), staticDraw);
    // The one array buffer stays bound, so the attributes point into it once for every draw.
    emscripten_glGenBuffers(1, &s.vertexBuffer);
    emscripten_glBindBuffer(arrayBuffer, s.vertexBuffer);
    emscripten_glEnableVertexAttribArray(positionAttribute);
    emscripten_glEnableVertexAttribArray(texCoordAttribute);
    emscripten_glVertexAttribPointer(positionAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     nullptr);
    emscripten_glVertexAttribPointer(texCoordAttribute, 2, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                                     reinterpret_cast<const void*>(4 * sizeof(float)));
    return true;
}

extern "C" {

void glEnable(GLenum cap) {
    if (cap == GL_TEXTURE_2D)
        gl().texturing = true;
    else if (cap == GL_ALPHA_TEST)
        gl().alphaTest = true;
    else if (cap != GL_NORMALIZE) // no lighting: normals are never used
        emscripten_glEnable(cap);
}

void glDisable(GLenum cap) {
    if (cap == GL_TEXTURE_2D)
        gl().texturing = false;
    else if (cap == GL_ALPHA_TEST)
        gl().alphaTest = false;
    else if (cap != GL_NORMALIZE)
        emscripten_glDisable(cap);
}

GLboolean glIsEnabled(GLenum cap) {
    if (cap == GL_TEXTURE_2D)
        return gl().texturing;
    if (cap == GL_ALPHA_TEST)
        return gl().alphaTest;
    if (cap == GL_NORMALIZE || cap == 0x8DB9) // GL_FRAMEBUFFER_SRGB: WebGL has no switch for it
        return GL_FALSE;
    return emscripten_glIsEnabled(cap);
}

void glAlphaFunc(GLenum, GLclampf ref) {
    gl().alphaRef = std::clamp(ref, 0.0f, 1.0f);
}

void glShadeModel(GLenum) {}
void glPolygonMode(GLenum, GLenum) {}
void glHint(GLenum, GLenum) {} // WebGL interpolates with perspective always
void glNormal3f(GLfloat, GLfloat, GLfloat) {}

void glClearDepth(GLclampd depth) {
    emscripten_glClearDepthf(static_cast<GLfloat>(depth));
}

void glTexEnvi(GLenum, GLenum, GLint mode) {
    gl().environment = mode; // the program sets only the mode: GL_MODULATE or GL_REPLACE
}

void glGetTexEnviv(GLenum, GLenum, GLint* mode) {
    *mode = gl().environment;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    float* c = gl().colour;
    c[0] = red;
    c[1] = green;
    c[2] = blue;
    c[3] = alpha;
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    GLint* v = gl().viewport;
    v[0] = x;
    v[1] = y;
    v[2] = width;
    v[3] = height;
    emscripten_glViewport(x, y, width, height);
}

void glMatrixMode(GLenum mode) {
    gl().mode = mode == GL_PROJECTION ? 1 : 0;
}

void glLoadIdentity() {
    top() = Matrix4{};
}

void glPushMatrix() {
    std::vector<Matrix4>& stack = gl().stacks[gl().mode];
    if (stack.size() < stackDepth)
        stack.push_back(stack.back());
}

void glPopMatrix() {
    std::vector<Matrix4>& stack = gl().stacks[gl().mode];
    if (stack.size() > 1)
        stack.pop_back();
}

void glTranslatef(GLfloat x, GLfloat y, GLfloat z) {
    top().translate(x, y, z);
}

void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    top().rotate(angle, x, y, z);
}

void glScalef(GLfloat x, GLfloat y, GLfloat z) {
    top().scale(x, y, z);
}

void gluPerspective(GLdouble fieldOfView, GLdouble aspect, GLdouble nearPlane, GLdouble farPlane) {
    top().multiply(perspective(fieldOfView, aspect, nearPlane, farPlane));
}

GLint gluProject(GLdouble objectX, GLdouble objectY, GLdouble objectZ, const GLdouble* modelview,
                 const GLdouble* projection, const GLint* viewport, GLdouble* x, GLdouble* y,
                 GLdouble* depth) {
    const double object[3] = {objectX, objectY, objectZ};
    double window[3];
    if (!project(object, modelview, projection, viewport, window))
        return GL_FALSE;
    *x = window[0];
    *y = window[1];
    *depth = window[2];
    return GL_TRUE;
}

GLint gluUnProject(GLdouble x, GLdouble y, GLdouble depth, const GLdouble* modelview,
                   const GLdouble* projection, const GLint* viewport, GLdouble* objectX,
                   GLdouble* objectY, GLdouble* objectZ) {
    const double window[3] = {x, y, depth};
    double object[3];
    if (!unProject(window, modelview, projection, viewport, object))
        return GL_FALSE;
    *objectX = object[0];
    *objectY = object[1];
    *objectZ = object[2];
    return GL_TRUE;
}

void glGetFloatv(GLenum name, GLfloat* values) {
    const State& s = gl();
    if (name == GL_MODELVIEW_MATRIX || name == GL_PROJECTION_MATRIX) {
        const Matrix4& m = s.stacks[name == GL_PROJECTION_MATRIX ? 1 : 0].back();
        std::copy(m.m, m.m + 16, values);
    } else if (name == GL_VIEWPORT) {
        std::copy(s.viewport, s.viewport + 4, values);
    } else if (name == GL_CURRENT_COLOR) {
        std::copy(s.colour, s.colour + 4, values);
    } else {
        emscripten_glGetFloatv(name, values);
    }
}

void glGetDoublev(GLenum name, GLdouble* values) {
    float read[16] = {};
    glGetFloatv(name, read);
    std::copy(read, read + 16, values);
}

void glGetIntegerv(GLenum name, GLint* values) {
    if (name == GL_VIEWPORT)
        std::copy(gl().viewport, gl().viewport + 4, values);
    else
        emscripten_glGetIntegerv(name, values);
}

GLuint glGenLists(GLsizei range) {
    const GLuint first = gl().nextList;
    gl().nextList += static_cast<GLuint>(range);
    return first;
}

void glNewList(GLuint list, GLenum) {
    gl().recording = &gl().lists[list];
    gl().recording->clear();
}

void glEndList() {
    gl().recording = nullptr;
}

void glCallList(GLuint list) {
    const auto found = gl().lists.find(list);
    if (found == gl().lists.end())
        return;
    for (const ListStep& step : found->second) {
        if (step.binds)
            glBindTexture(GL_TEXTURE_2D, step.texture);
        gl().corners = step.quads;
        drawCorners(gl().corners);
    }
}

void glBegin(GLenum mode) {
    // The program draws quads only, and only into lists.
    gl().inQuads = mode == GL_QUADS && gl().recording != nullptr;
    if (gl().inQuads)
        gl().recording->push_back(ListStep{});
}

void glEnd() {
    gl().inQuads = false;
}

void glTexCoord2f(GLfloat s, GLfloat t) {
    gl().texCoord[0] = s;
    gl().texCoord[1] = t;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (gl().inQuads)
        gl().recording->back().quads.push_back(
            {{x, y, z, 1.0f}, {gl().texCoord[0], gl().texCoord[1]}});
}

void glVertex2f(GLfloat x, GLfloat y) {
    glVertex3f(x, y, 0.0f);
}

void glBindTexture(GLenum target, GLuint texture) {
    State& s = gl();
    if (s.recording != nullptr) {
        ListStep step;
        step.binds = true;
        step.texture = texture;
        s.recording->push_back(step);
        return;
    }
    s.bound = texture;
    emscripten_glBindTexture(target, texture);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    Texture& texture = gl().textures[gl().bound];
    if (name == GL_TEXTURE_WRAP_S)
        texture.wrapS = value;
    else if (name == GL_TEXTURE_WRAP_T)
        texture.wrapT = value;
    emscripten_glTexParameteri(target, name, value);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const void* pixels) {
    Texture& texture = gl().textures[gl().bound];
    texture.width = width;
    texture.height = height;
    const auto* bytes = static_cast<const uint8_t*>(pixels);
    texture.rgba.assign(bytes, bytes + static_cast<size_t>(width) * height * 4);
    const bool repeats = texture.wrapS == GL_REPEAT || texture.wrapT == GL_REPEAT;
    if (!repeats || (powerOfTwo(width) && powerOfTwo(height)) || texture.rgba.empty()) {
        emscripten_glTexImage2D(target, level, internalFormat, width, height, border, format, type,
                                pixels);
        return;
    }
    // Framed and clamped, which filters at its border as repeating does.
    const int32_t frameWidth = width + 2 * frameBorder;
    const int32_t frameHeight = height + 2 * frameBorder;
    std::vector<uint8_t> frame(static_cast<size_t>(frameWidth) * frameHeight * 4);
    copyFramed(texture.rgba, width, height, frame, frameWidth, frameBorder, frameBorder);
    const float w = static_cast<float>(frameWidth);
    const float h = static_cast<float>(frameHeight);
    const float part[4] = {frameBorder / w, frameBorder / h, static_cast<float>(width) / w,
                           static_cast<float>(height) / h};
    std::copy(part, part + 4, texture.part);
    emscripten_glTexParameteri(target, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    emscripten_glTexParameteri(target, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    emscripten_glTexImage2D(target, level, internalFormat, frameWidth, frameHeight, border, format,
                            type, frame.data());
}

void glGetTexLevelParameteriv(GLenum, GLint, GLenum name, GLint* value) {
    const Texture* texture = boundTexture();
    if (name == GL_TEXTURE_WIDTH)
        *value = texture ? texture->width : 0;
    else if (name == GL_TEXTURE_HEIGHT)
        *value = texture ? texture->height : 0;
}

void glGetTexImage(GLenum, GLint, GLenum, GLenum, GLvoid* pixels) {
    if (const Texture* texture = boundTexture())
        std::copy(texture->rgba.begin(), texture->rgba.end(), static_cast<uint8_t*>(pixels));
}

void glEnableClientState(GLenum array) {
    (array == GL_VERTEX_ARRAY ? gl().vertices : gl().texCoords).enabled = true;
}

void glDisableClientState(GLenum array) {
    (array == GL_VERTEX_ARRAY ? gl().vertices : gl().texCoords).enabled = false;
}

void glVertexPointer(GLint size, GLenum, GLsizei stride, const GLvoid* pointer) {
    gl().vertices = {gl().vertices.enabled, size, stride, static_cast<const float*>(pointer)};
}

void glTexCoordPointer(GLint size, GLenum, GLsizei stride, const GLvoid* pointer) {
    gl().texCoords = {gl().texCoords.enabled, size, stride, static_cast<const float*>(pointer)};
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    State& s = gl();
    if (mode != GL_QUADS || !s.vertices.enabled)
        return; // the program draws arrays of quads only
    s.corners.resize(static_cast<size_t>(count));
    const auto element = [first](const ClientArray& array, GLsizei index) {
        const size_t stride =
            array.stride != 0 ? static_cast<size_t>(array.stride) : array.size * sizeof(float);
        return reinterpret_cast<const float*>(reinterpret_cast<const uint8_t*>(array.pointer) +
                                              (first + index) * stride);
    };
    for (GLsizei i = 0; i < count; ++i) {
        Vertex& v = s.corners[static_cast<size_t>(i)];
        const float* p = element(s.vertices, i);
        const float defaults[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        for (int k = 0; k < 4; ++k)
            v.position[k] = k < s.vertices.size ? p[k] : defaults[k];
        const float* t = s.texCoords.enabled ? element(s.texCoords, i) : s.texCoord;
        v.texCoord[0] = t[0];
        v.texCoord[1] = t[1];
    }
    drawCorners(s.corners);
}

} // extern "C"
