// libFuzzer entry for the visit recording's reader: each input is read from memory and from a
// file, which must agree, and a readable one is stepped through as a replay would.
#include "fuzz/FuzzInput.h"
#include "visit/Recording.h"
#include "visit/ReplaySchedule.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// Every step's events lie in the recording and follow the last step's; the clock never falls.
void checkSteps(const Recording& recording, int32_t fps, size_t mostSteps) {
    ReplaySchedule schedule(recording, fps);
    ReplayStep step;
    size_t delivered = 0;
    int64_t clock = recording.startMs;
    for (size_t n = 0; n < mostSteps && schedule.next(step); ++n) {
        if (step.firstEvent != delivered || step.endEvent < step.firstEvent ||
            step.endEvent > recording.events.size() || step.clockMs < clock ||
            !(step.level >= 0.0f && step.level <= 1.0f))
            abort();
        delivered = step.endEvent;
        clock = step.clockMs;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* const text = reinterpret_cast<const char*>(data);
    Recording fromMemory;
    std::string memoryError;
    const bool readFromMemory = parseRecording(text, size, "v", fromMemory, memoryError);

    Recording fromFile;
    std::string fileError;
    const bool readFromFile =
        readRecording(writeFuzzInput("RecordingFuzz", ".txt", data, size), fromFile, fileError);
    if (readFromFile != readFromMemory)
        abort();
    if (!readFromMemory) {
        // The same problem on the same line, only the file's name differs.
        if (fileError.substr(fileError.find(':')) != memoryError.substr(memoryError.find(':')))
            abort();
        return 0;
    }
    if (fromMemory.frames.empty() || fromMemory.frames.size() != fromFile.frames.size() ||
        fromMemory.events.size() != fromFile.events.size() ||
        fromMemory.frames.back().endEvent != fromMemory.events.size())
        abort();
    checkSteps(fromMemory, 0, fromMemory.frames.size());
    // Resampled steps can be as many as the recorded milliseconds: look at the first ones.
    checkSteps(fromMemory, 1000, 4 * fromMemory.frames.size() + 64);
    checkSteps(fromMemory, 7, 4 * fromMemory.frames.size() + 64);
    return 0;
}
