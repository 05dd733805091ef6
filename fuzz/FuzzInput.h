// The fuzzers' input as a file of its own: one a process, so parallel fuzzing jobs do not share
// it, removed when the process ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

inline std::string& fuzzInputPath() {
    static std::string path;
    return path;
}

// Writes the input to the file and returns its path; "stem-PID.extension" in /dev/shm or /tmp.
inline const std::string& writeFuzzInput(const char* stem, const char* extension,
                                         const uint8_t* data, size_t size) {
    std::string& path = fuzzInputPath();
    if (path.empty()) {
        const char* const folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        path = std::string(folder) + "/" + stem + "-" + std::to_string(getpid()) + extension;
        std::atexit([] { std::remove(fuzzInputPath().c_str()); });
    }
    FILE* const file = std::fopen(path.c_str(), "wb");
    if (!file || (size > 0 && std::fwrite(data, 1, size, file) != size))
        std::abort();
    std::fclose(file);
    return path;
}
