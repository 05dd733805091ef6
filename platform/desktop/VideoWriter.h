// A clip as a WebM file: VP9 video and Opus sound, through FFmpeg's libraries. Each frame comes
// with the sound of its span; a thread of its own encodes them a few frames behind the drawing.
// Clusters are written and flushed as they close, so that a killed program leaves a file that
// plays up to its last cluster. Built as a module of its own (throngwick-clip.so), loaded only to
// make a clip: FFmpeg's hundred libraries would otherwise slow every start of the program.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class VideoWriter {
  public:
    struct Frame {
        std::vector<uint8_t> pixels; // RGB, bottom row first, as GL reads them
        int32_t width = 0;           // pixels
        int32_t height = 0;          // pixels
        std::vector<int16_t> sound;  // the frame's span: interleaved stereo frames at 44100 Hz
    };

    // Seconds the encoding thread spent on each part of its work.
    struct Spent {
        double converting = 0.0;    // RGB into the video's colours and size
        double encodingVideo = 0.0; // VP9, its packets written
        double encodingSound = 0.0; // resampling and Opus, its packets written
    };

    VideoWriter();
    ~VideoWriter(); // finishes the file if that was not done
    VideoWriter(const VideoWriter&) = delete;
    VideoWriter& operator=(const VideoWriter&) = delete;

    // Makes the file at once, so that one that cannot be written is known before the first frame.
    // The clip takes its first frame's size; a frame of another size is fitted into it.
    bool open(const std::string& path, int32_t framesPerSecond, std::string& error);
    // Hands the frame over, leaving buffers of an earlier one in its place; waits only while the
    // encoder is a few frames behind. False with the reason once encoding has failed.
    bool write(Frame& frame, std::string& error);
    // Encodes what waits and writes the file's end; false with the reason.
    bool finish(std::string& error);
    // After finish.
    Spent spent() const;

  private:
    struct Encoding; // FFmpeg's side: the worker's alone until it is joined
    std::unique_ptr<Encoding> encoding;
    std::thread worker;
    std::mutex lock;
    std::condition_variable changed;
    std::deque<Frame> waiting; // handed over, not yet encoded
    std::vector<Frame> spare;  // encoded: their buffers serve the next frames
    bool ending = false;       // no more frames come
    std::string failure;       // why encoding stopped; empty while it goes well
    void encodeAll();
};

// The module's one entry: its operations, by pointer, for the program that loads it.
struct VideoWriterCalls {
    VideoWriter* (*create)();
    void (*destroy)(VideoWriter* writer);
    bool (*open)(VideoWriter& writer, const std::string& path, int32_t framesPerSecond,
                 std::string& error);
    bool (*write)(VideoWriter& writer, VideoWriter::Frame& frame, std::string& error);
    bool (*finish)(VideoWriter& writer, std::string& error);
    VideoWriter::Spent (*spent)(const VideoWriter& writer);
};
constexpr const char* videoWriterModule = "throngwick-clip.so";
constexpr const char* videoWriterEntry = "throngwickVideoWriterCalls";
