// Writes each drawn frame of a replay as a numbered PNG file (frame-000001.png, ...) into a
// folder that is proved writable before the first frame, or, on the desktop, into a clip with the
// sound of the frame's span of time. Reads the back buffer only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ClipMaker;

class FrameWriter {
  public:
    std::string folder;      // absolute, so a later change of the working folder does not matter
    std::string clip;        // the clip's file; empty: none
    uint32_t framesDone = 0; // files written, or frames given to the clip

    // Makes the folder if it is missing and writes and removes a probe file in it.
    bool open(const std::string& path, std::string& error);
    // Makes the clip's file, of framesPerSecond frames a second and frameTotal frames; from then
    // on the sound is mixed for the clip, and no audio device is opened.
    bool openClip(const std::string& path, int32_t framesPerSecond, int64_t frameTotal,
                  std::string& error);
    // The drawn, not yet swapped frame of width by height pixels, as the next file or clip frame;
    // before the first file, the folder's frames of an earlier film are removed.
    bool write(int32_t width, int32_t height, std::string& error);
    // After the last frame: the clip's end written.
    bool finish(std::string& error);

  private:
    std::vector<uint8_t> pixels;      // bottom row first, as GL reads them
    std::shared_ptr<ClipMaker> maker; // the desktop's; shared, so that only it needs the type
};
