#include "assets/TextureRegistry.h"

#include "assets/TgaImage.h"

#include <GL/gl.h>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>

namespace {
bool hasTgaExtension(const char* path) {
    const char* dot = std::strrchr(path, '.');
    if (!dot || std::strlen(dot) != 4)
        return false;
    const char* expected = ".tga";
    for (int i = 0; i < 4; ++i)
        if (std::tolower(static_cast<unsigned char>(dot[i])) != expected[i])
            return false;
    return true;
}

// A person who replaces a picture learns why it does not show; once a file, the program goes on.
void reportRefusal(const char* path, const std::string& reason) {
    static std::set<std::string> reported;
    if (reported.insert(path).second)
        std::fprintf(stderr, "throngwick: picture %s refused: %s\n", path, reason.c_str());
}
} // namespace

uint32_t loadTexture(const char* path) {
    if (!hasTgaExtension(path))
        return 0;
    GLint largestSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largestSide);
    TgaImage image;
    if (!image.load(path, largestSide)) {
        if (!image.refusal.empty())
            reportRefusal(path, image.refusal); // a missing file stays silent
        return 0;
    }
    if (image.bitsPerPixel != 32) {
        reportRefusal(path, "8-bit grey pictures are not drawn");
        return 0;
    }
    const uint32_t name = createTexture(image.width, image.height, image.pixels, true);
    image.release();
    return name;
}

uint32_t createTexture(int32_t width, int32_t height, const uint8_t* rgba, bool repeat) {
    GLuint name = 0;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const GLint wrap = repeat ? GL_REPEAT : GL_CLAMP_TO_EDGE;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return name;
}

void drawSprite(const SpriteDraw& draw) {
    TextureRegistry::instance()
        .sprite(draw.sprite)
        .draw(draw.position, draw.scale, draw.rotation, draw.alphaRef);
}

TextureRegistry& TextureRegistry::instance() {
    static TextureRegistry registry;
    return registry;
}

TextureRegistry::TextureRegistry() {
    quadList = glGenLists(1);
    glNewList(quadList, GL_COMPILE);
    glBegin(GL_QUADS);
    glNormal3f(0.0f, 0.0f, 1.0f);
    // Texture row t = 0 on the top edge: pictures arrive top row first and show upright.
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, -1.0f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, 1.0f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, 1.0f, 0.0f);
    glEnd();
    glEndList();
}

int32_t TextureRegistry::registerSprite(const std::string& name, const char* path, bool blend) {
    names.push_back(name);
    sprites.push_back(Sprite{loadTexture(path), blend});
    return static_cast<int32_t>(sprites.size()) - 1;
}

int32_t TextureRegistry::indexOf(const std::string& name) const {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name)
            return static_cast<int32_t>(i);
    std::printf("Index not found %s! \n", name.c_str());
    std::fflush(stdout);
    std::getchar(); // the console holds the message until the user answers
    std::exit(1);
}
