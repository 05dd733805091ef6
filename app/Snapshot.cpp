#include "app/Snapshot.h"

#include "app/FrameWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace {
constexpr int32_t mostAttempts = 1000; // names for one second, before giving up

bool set(const char* variable) {
    return variable != nullptr && variable[0] != '\0';
}

// XDG_PICTURES_DIR="$HOME/Pictures" or an absolute path, as xdg-user-dirs writes it.
std::string picturesLine(const std::string& file, const std::string& home) {
    std::ifstream in(file);
    std::string line;
    std::string found;
    const std::string key = "XDG_PICTURES_DIR=";
    while (std::getline(in, line)) {
        const size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, key.size(), key) != 0)
            continue;
        std::string value = line.substr(start + key.size());
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        if (value.rfind("$HOME", 0) == 0 && (value.size() == 5 || value[5] == '/'))
            found = home + value.substr(5);
        else if (!value.empty() && value[0] == '/')
            found = value;
    }
    return found; // the last such line wins
}
} // namespace

std::string picturesFolder(const char* picturesDir, const char* configHome, const char* home) {
    if (set(picturesDir))
        return picturesDir;
    if (!set(home))
        return "";
    const std::string config = set(configHome) ? configHome : std::string(home) + "/.config";
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
