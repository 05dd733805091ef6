// The browser build's frames go to the page, which hands them on (to a test that compares them
// with the desktop's); the folder is only a name there.
#include "visit/FrameWriter.h"

#include <GL/gl.h>
#include <emscripten/emscripten.h>

// The page's hook: the frame's number, its RGBA bytes (bottom row first) and its size.
EM_JS(void, handFrameToPage, (uint32_t number, const uint8_t* rgba, int32_t width, int32_t height),
      {
          Module.takeFrame(number, HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
      });

bool FrameWriter::open(const std::string& path, std::string&) {
    folder = path;
    return true;
}

bool FrameWriter::openClip(const std::string&, int32_t, int64_t, std::string& error) {
    error = "clips are made by the desktop program; the page records its own";
    return false;
}

bool FrameWriter::write(int32_t width, int32_t height, std::string&) {
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    handFrameToPage(++framesDone, pixels.data(), width, height);
    return true;
}

bool FrameWriter::finish(std::string&) {
    return true;
}
