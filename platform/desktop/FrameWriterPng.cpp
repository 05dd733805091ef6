#include "app/FrameWriter.h"

#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

bool FrameWriter::open(const std::string& path, std::string& error) {
    std::error_code code;
    folder = std::filesystem::absolute(path, code).lexically_normal().string();
    if (!code)
        std::filesystem::create_directories(folder, code);
    if (code) {
        error = path + ": cannot make the frames folder: " + code.message();
        return false;
    }
    const std::string probe = folder + "/.throngwick-probe";
    FILE* const file = std::fopen(probe.c_str(), "wb");
    if (file == nullptr) {
        error = path + ": cannot write frames there: " + std::strerror(errno);
        return false;
    }
    std::fclose(file);
    std::remove(probe.c_str());
    return true;
}

bool FrameWriter::write(int32_t width, int32_t height, std::string& error) {
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    pixels.resize(rowBytes * static_cast<size_t>(height));
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);

    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06u.png", framesDone + 1);
    const std::string path = folder + name;
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    image.flags = PNG_IMAGE_FLAG_FAST; // a film's frames are many: speed over size
    // A negative stride: the bottom row comes first in memory and last in the file.
    const png_int_32 stride = -static_cast<png_int_32>(rowBytes);
    if (png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), stride, nullptr) == 0) {
        error = path + ": cannot write it: " + image.message;
        png_image_free(&image);
        return false;
    }
    ++framesDone;
    return true;
}
