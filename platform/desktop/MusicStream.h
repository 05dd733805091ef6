// One MP3 file decoded block by block to 44100 Hz stereo 16-bit, looping without end; or a
// whole file at once, as a sample. The sound bank feeds the mixer from it on the audio thread;
// libmpg123 stays inside.
#pragma once

#include <cstdint>
#include <vector>

struct mpg123_handle_struct;

class MusicStream {
  public:
    MusicStream() = default;
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Opens the file and reads its first frame; false when it is missing or not MP3.
    bool open(const char* path);
    // Writes frameCount interleaved stereo frames, starting the file again at its end, and
    // returns their peaks: left in the low 16 bits, right in the high, each 0 to 32768.
    uint32_t fill(int16_t* frames, int32_t frameCount);
    // The whole file once, interleaved stereo frames; false when it cannot be read to its end.
    static bool decodeWhole(const char* path, std::vector<int16_t>& frames);

  private:
    mpg123_handle_struct* decoder = nullptr;
    bool exhausted = false; // a whole pass gave no sound, or decoding failed: silence from then on
};
