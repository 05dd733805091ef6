#include "visit/FrameWriter.h"

#include "platform/desktop/ClipMaker.h"
#include "platform/desktop/Signals.h"
#include "platform/desktop/Snapshot.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace {
// A frame's name as write gives it: frame-, six digits or more, .png.
bool frameName(const std::string& name) {
    const size_t digits = name.size() - std::min(name.size(), sizeof "frame-.png" - 1);
    return digits >= 6 && name.rfind("frame-", 0) == 0 &&
           name.compare(name.size() - 4, 4, ".png") == 0 &&
           std::all_of(name.begin() + 6, name.end() - 4,
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The frames of an earlier film in the folder, so that a longer one's last frames do not follow
// this one's; nothing else in the folder is touched.
bool removeEarlierFrames(const std::string& folder, std::string& error) {
    std::error_code code;
    for (std::filesystem::directory_iterator entry(folder, code), end; !code && entry != end;
         entry.increment(code)) {
        const std::string name = entry->path().filename().string();
        if (frameName(name) && !entry->is_directory(code) && !code)
            std::filesystem::remove(entry->path(), code);
        if (code) {
            error = folder + "/" + name + ": cannot remove this earlier frame: " + code.message();
            return false;
        }
    }
    if (code)
        error = folder + ": cannot read the frames folder: " + code.message();
    return !code;
}
} // namespace

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
    // Only now that the replay runs: one that cannot start leaves the earlier film as it was.
    if (framesDone == 0 && !removeEarlierFrames(folder, error))
        return false;
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
