// Finds the folder that holds the pictures (image_data/) and sounds (audio/), so that the program
// runs from any working folder: the program then makes it its working folder.
#pragma once

#include <string>

// In order: the folder given with --data; the working folder, if it holds image_data/; the
// program's own folder (a build's run folder); share/throngwick/ beside the program's folder
// (an installed or unpacked package). Returns false with a one-line error only when the given
// folder cannot be used; folder stays empty when none holds image_data/.
bool findDataFolder(const std::string& given, const std::string& executable, std::string& folder,
                    std::string& error);

// The running program's own path, from /proc; empty when it cannot be read.
std::string executablePath();
