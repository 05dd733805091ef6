// Encodes the generators' stereo samples to MP3 files with LAME; knows nothing of what they sound
// like.
#pragma once

#include <vector>

// Encodes 44100 Hz stereo samples (each -1 to 1) to an MP3 file; false when the file cannot be
// written.
bool writeMp3(const char* path, const std::vector<float>& left, const std::vector<float>& right);

// As writeMp3, at a constant bit rate in kbit/s (for instance 64 for a short sample, 128 for
// music).
bool writeMp3AtBitrate(const char* path, const std::vector<float>& left,
                       const std::vector<float>& right, int kilobitsPerSecond);
