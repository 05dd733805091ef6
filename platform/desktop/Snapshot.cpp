#include "platform/desktop/Snapshot.h"

#include <GL/gl.h>
#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace {
constexpr int32_t mostAttempts = 1000; // names for one second, before giving up

// Only an absolute path says where: a relative one would be taken from the data folder the
// program works in, and the desktop's rules call it invalid.
bool absolute(const char* variable) {
    return variable != nullptr && variable[0] == '/';
}

// The value of a line XDG_PICTURES_DIR="VALUE" as the shell reads it, VALUE being "$HOME/PATH"
// or "/PATH"; empty for any other line. Spaces around the line's parts, and whatever follows the
// closing quote (spaces, a carriage return, a comment), are left aside.
std::string picturesValue(const std::string& line, const std::string& home) {
    const std::string key = "XDG_PICTURES_DIR";
    size_t at = line.find_first_not_of(" \t");
    if (at == std::string::npos || line.compare(at, key.size(), key) != 0)
        return "";
    at = line.find_first_not_of(" \t", at + key.size());
    if (at == std::string::npos || line[at] != '=')
        return "";
    at = line.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || line[at] != '"')
        return "";
    // $HOME is expanded only at the start, and only unescaped.
    const bool inHome = line.compare(at + 1, 5, "$HOME") == 0 &&
                        (line.compare(at + 6, 1, "/") == 0 || line.compare(at + 6, 1, "\"") == 0);
    std::string value = inHome ? home : "";
    for (at += inHome ? 6 : 1; at < line.size() && line[at] != '"'; ++at) {
        // Inside double quotes a backslash escapes only these.
        if (line[at] == '\\' && at + 1 < line.size() &&
            std::string_view("$`\"\\").find(line[at + 1]) != std::string_view::npos)
            ++at;
        value += line[at];
    }
    // No closing quote, or neither under $HOME nor absolute: not the desktop's line.
    return at < line.size() && !value.empty() && value[0] == '/' ? value : "";
}

std::string picturesLine(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::string line;
    std::string found;
    while (std::getline(in, line)) {
        const std::string value = picturesValue(line, home);
        if (!value.empty())
            found = value; // the last such line wins
    }
    return found;
}
} // namespace

std::string picturesFolder(const char* picturesDir, const char* configHome, const char* home) {
    if (absolute(picturesDir))
        return picturesDir;
    if (!absolute(home))
        return "";
    const std::string config = absolute(configHome) ? configHome : std::string(home) + "/.config";
    const std::string named = picturesLine(config + "/user-dirs.dirs", home);
    return named.empty() ? std::string(home) + "/Pictures" : named;
}

std::string snapshotName(const std::tm& when, int32_t attempt) {
    char name[64];
    std::snprintf(name, sizeof name, "throngwick-%04d%02d%02d-%02d%02d%02d", when.tm_year + 1900,
                  when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
    return std::string(name) + (attempt > 1 ? "-" + std::to_string(attempt) : "") + ".png";
}

bool saveSnapshot(const std::string& pictures, const std::tm& when, int32_t width, int32_t height,
                  const std::vector<uint8_t>& pixels, std::string& path, std::string& error) {
    if (pictures.empty()) {
        error = "no picture saved: neither XDG_PICTURES_DIR nor HOME says where";
        return false;
    }
    const std::string folder = pictures + "/Throngwick";
    std::error_code code;
    std::filesystem::create_directories(folder, code);
    if (code) {
        error = "no picture saved: cannot make " + folder + ": " + code.message();
        return false;
    }
    for (int32_t attempt = 1; attempt <= mostAttempts; ++attempt) {
        path = folder + "/" + snapshotName(when, attempt);
        // Made only if no file has the name: nothing is ever written over.
        const int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        FILE* const file = descriptor < 0 ? nullptr : fdopen(descriptor, "wb");
        if (file == nullptr) {
            error = "no picture saved: cannot write in " + folder + ": " + std::strerror(errno);
            if (descriptor >= 0) {
                close(descriptor);
                std::remove(path.c_str());
            }
            return false;
        }
        if (!writePng(file, width, height, pixels, false, error)) {
            std::remove(path.c_str()); // no half picture is left behind
            error = "no picture saved: cannot write " + path + ": " + error;
            return false;
        }
        return true;
    }
    error = "no picture saved: " + folder + " already holds " + std::to_string(mostAttempts) +
            " pictures of this second";
    return false;
}

void readDrawnFrame(int32_t width, int32_t height, std::vector<uint8_t>& pixels) {
    pixels.resize(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
}

bool writePng(FILE* file, int32_t width, int32_t height, const std::vector<uint8_t>& pixels,
              bool fast, std::string& error) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    image.flags = fast ? PNG_IMAGE_FLAG_FAST : 0;
    // A negative stride: the bottom row comes first in memory and last in the file.
    const png_int_32 stride = -static_cast<png_int_32>(width * 3);
    const bool encoded =
        png_image_write_to_stdio(&image, file, 0, pixels.data(), stride, nullptr) != 0;
    if (!encoded)
        error = image.message;
    png_image_free(&image);
    // Closing writes what is buffered: a full disk shows here.
    if (std::fclose(file) != 0 && encoded) {
        error = std::strerror(errno);
        return false;
    }
    return encoded;
}
