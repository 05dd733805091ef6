#include "platform/desktop/DataFolder.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {
bool holdsPictures(const fs::path& folder) {
    std::error_code ignored;
    return fs::is_directory(folder / "image_data", ignored);
}
} // namespace

bool findDataFolder(const std::string& given, const std::string& executable, std::string& folder,
                    std::string& error) {
    folder.clear();
    std::error_code ignored;
    if (!given.empty()) {
        if (!fs::is_directory(given, ignored)) {
            error = "--data: no folder '" + given + "'";
            return false;
        }
        if (!holdsPictures(given)) {
            error = "--data: '" + given + "' holds no image_data/ folder";
            return false;
        }
        folder = given;
        return true;
    }
    if (holdsPictures("."))
        return true; // the working folder, as it always was: nothing to change
    if (executable.empty())
        return true;
    const fs::path programFolder = fs::path(executable).parent_path();
    for (const fs::path& candidate :
         {programFolder, programFolder / ".." / "share" / "throngwick"}) {
        if (holdsPictures(candidate)) {
            folder = candidate.lexically_normal().string();
            return true;
        }
    }
    return true;
}

std::string executablePath() {
    std::error_code error;
    const fs::path path = fs::read_symlink("/proc/self/exe", error);
    return error ? std::string() : path.string();
}
