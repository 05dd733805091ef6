#include "app/FrameWriter.h"

#include "platform/desktop/ClipMaker.h"
#include "platform/desktop/Signals.h"
#include "platform/desktop/Snapshot.h"

#include <cerrno>
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

bool FrameWriter::openClip(const std::string& path, int32_t framesPerSecond, int64_t frameTotal,
                           std::string& error) {
    clip = path;
    maker = std::make_shared<ClipMaker>();
    return maker->open(path, framesPerSecond, frameTotal, error);
}

bool FrameWriter::write(int32_t width, int32_t height, std::string& error) {
    if (maker) {
        if (!maker->add(width, height, error))
            return false;
        ++framesDone;
        return true;
    }
    const WritingFile writing;
    readDrawnFrame(width, height, pixels);
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06u.png", framesDone + 1);
    const std::string path = folder + name;
    FILE* const file = std::fopen(path.c_str(), "wb");
    // A film's frames are many: speed over size.
    if (file == nullptr || !writePng(file, width, height, pixels, true, error)) {
        error = path + ": cannot write it: " + (file == nullptr ? std::strerror(errno) : error);
        return false;
    }
    ++framesDone;
    return true;
}

bool FrameWriter::finish(std::string& error) {
    return !maker || maker->finish(error);
}
