#include "platform/desktop/VideoWriter.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>

namespace {

constexpr int32_t mixedRateHz = 44100; // the frames' sound
constexpr int32_t opusRateHz = 48000;  // Opus's own rate, which every player takes
// With the sound, a minute stays under 15 MB: the picture's rate is held steady (CBR), but with
// its look-ahead the encoder spends about a tenth more than it is given.
constexpr int64_t videoBitsPerSecond = 1450000;
constexpr int64_t soundBitsPerSecond = 96000;
constexpr int32_t keyFrameSeconds = 2;    // a player can start this often
constexpr const char* clusterMs = "1000"; // the most of the encoded clip a kill can lose
constexpr size_t framesAhead = 3;         // handed over, not yet encoded; the drawing waits beyond

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string describe(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

} // namespace

struct VideoWriter::Encoding {
    std::string path;
    int32_t fps = 0;
    AVFormatContext* file = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* sound = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* soundStream = nullptr;
    SwsContext* converter = nullptr; // for frames of the size below
    int32_t convertedWidth = 0;
    int32_t convertedHeight = 0;
    SwrContext* resampler = nullptr;
    AVAudioFifo* soundWaiting = nullptr; // resampled, not yet a whole Opus frame
    AVFrame* picture = nullptr;
    AVFrame* block = nullptr; // one Opus frame of sound
    AVPacket* packet = nullptr;
    std::vector<int16_t> resampled;
    int64_t picturesSent = 0;
    int64_t soundSent = 0; // samples at Opus's rate
    bool started = false;  // the encoders open and the file's header written
    Spent spent;

    ~Encoding();
    bool fail(int code, const std::string& what, std::string& error) const {
        error = path + ": " + what + ": " + describe(code);
        return false;
    }
    bool openFile(std::string& error);
    bool start(int32_t width, int32_t height, std::string& error);
    bool openVideo(int32_t width, int32_t height, std::string& error);
    bool openSound(std::string& error);
    AVStream* addStream(const AVCodecContext* codec, std::string& error);
    bool encode(const Frame& frame, std::string& error);
    bool convert(const Frame& frame, std::string& error);
    bool resample(const int16_t* input, int32_t count, std::string& error);
    bool sendSound(int32_t count, std::string& error);
    bool send(AVCodecContext* codec, AVStream* stream, const AVFrame* frame, std::string& error);
    bool end(std::string& error);
};

VideoWriter::Encoding::~Encoding() {
    avcodec_free_context(&video);
    avcodec_free_context(&sound);
    sws_freeContext(converter);
    swr_free(&resampler);
    if (soundWaiting != nullptr)
        av_audio_fifo_free(soundWaiting);
    av_frame_free(&picture);
    av_frame_free(&block);
    av_packet_free(&packet);
    if (file != nullptr) {
        avio_closep(&file->pb);
        avformat_free_context(file);
    }
}

bool VideoWriter::Encoding::openFile(std::string& error) {
    int result = avformat_alloc_output_context2(&file, nullptr, "webm", path.c_str());
    if (result < 0)
        return fail(result, "cannot make a WebM file", error);
    result = avio_open(&file->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (result < 0)
        return fail(result, "cannot write it", error);
    // Each cluster reaches the disk as it closes, not when a buffer happens to fill.
    file->flush_packets = 1;
    return true;
}

bool VideoWriter::Encoding::start(int32_t width, int32_t height, std::string& error) {
    started = true;
    packet = av_packet_alloc();
    if (!openVideo(width, height, error) || !openSound(error))
        return false;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "cluster_time_limit", clusterMs, 0);
    const int result = avformat_write_header(file, &options);
    av_dict_free(&options);
    return result >= 0 || fail(result, "cannot write it", error);
}

bool VideoWriter::Encoding::openVideo(int32_t width, int32_t height, std::string& error) {
    const AVCodec* const codec = avcodec_find_encoder_by_name("libvpx-vp9");
    if (codec == nullptr || (video = avcodec_alloc_context3(codec)) == nullptr)
        return fail(AVERROR_ENCODER_NOT_FOUND, "no VP9 encoder", error);
    // 4:2:0 wants even sides: an odd side gains a row or column.
    video->width = (width + 1) & ~1;
    video->height = (height + 1) & ~1;
    video->time_base = {1, fps};
    video->framerate = {fps, 1};
    video->pix_fmt = AV_PIX_FMT_YUV420P;
    video->color_range = AVCOL_RANGE_MPEG;
    video->colorspace = AVCOL_SPC_BT709;
    video->color_primaries = AVCOL_PRI_BT709;
    video->color_trc = AVCOL_TRC_BT709;
    video->bit_rate = videoBitsPerSecond;
    video->rc_min_rate = videoBitsPerSecond;
    video->rc_max_rate = videoBitsPerSecond;
    video->rc_buffer_size = static_cast<int>(2 * videoBitsPerSecond);
    video->gop_size = keyFrameSeconds * fps;
    video->thread_count = 2;
    if (file->oformat->flags & AVFMT_GLOBALHEADER)
        video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // VP9's fastest settings, tuned for flat-coloured sharp-edged pictures like ours; looking
    // ahead gives our crowd 1.5 dB more for the same bits.
    AVDictionary* options = nullptr;
    av_dict_set(&options, "deadline", "realtime", 0);
    av_dict_set(&options, "cpu-used", "8", 0);
    av_dict_set(&options, "lag-in-frames", "25", 0);
    av_dict_set(&options, "row-mt", "1", 0);
    av_dict_set(&options, "tile-columns", "1", 0);
    av_dict_set(&options, "tune-content", "screen", 0);
    int result = avcodec_open2(video, codec, &options);
    av_dict_free(&options);
    if (result < 0)
        return fail(result, "cannot start the VP9 encoder", error);
    if ((videoStream = addStream(video, error)) == nullptr)
        return false;
    videoStream->avg_frame_rate = video->framerate;
    picture = av_frame_alloc();
    if (picture == nullptr)
        return fail(AVERROR(ENOMEM), "no memory for a picture", error);
    picture->format = video->pix_fmt;
    picture->width = video->width;
    picture->height = video->height;
    result = av_frame_get_buffer(picture, 0);
    return result >= 0 || fail(result, "no memory for a picture", error);
}

bool VideoWriter::Encoding::openSound(std::string& error) {
    const AVCodec* const codec = avcodec_find_encoder_by_name("libopus");
    if (codec == nullptr || (sound = avcodec_alloc_context3(codec)) == nullptr)
        return fail(AVERROR_ENCODER_NOT_FOUND, "no Opus encoder", error);
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO; // FFmpeg's calls take it unconst
    av_channel_layout_copy(&sound->ch_layout, &stereo);
    sound->sample_fmt = AV_SAMPLE_FMT_S16;
    sound->sample_rate = opusRateHz;
    sound->time_base = {1, opusRateHz};
    sound->bit_rate = soundBitsPerSecond;
    if (file->oformat->flags & AVFMT_GLOBALHEADER)
        sound->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int result = avcodec_open2(sound, codec, nullptr);
    if (result < 0)
        return fail(result, "cannot start the Opus encoder", error);
    if ((soundStream = addStream(sound, error)) == nullptr)
        return false;
    result = swr_alloc_set_opts2(&resampler, &stereo, AV_SAMPLE_FMT_S16, opusRateHz, &stereo,
                                 AV_SAMPLE_FMT_S16, mixedRateHz, 0, nullptr);
    if (result >= 0)
        result = swr_init(resampler);
    if (result < 0)
        return fail(result, "cannot resample the sound", error);
    soundWaiting = av_audio_fifo_alloc(AV_SAMPLE_FMT_S16, 2, sound->frame_size);
    block = av_frame_alloc();
    if (soundWaiting == nullptr || block == nullptr)
        return fail(AVERROR(ENOMEM), "no memory for the sound", error);
    block->format = sound->sample_fmt;
    block->sample_rate = sound->sample_rate;
    block->nb_samples = sound->frame_size;
    av_channel_layout_copy(&block->ch_layout, &stereo);
    result = av_frame_get_buffer(block, 0);
    return result >= 0 || fail(result, "no memory for the sound", error);
}

AVStream* VideoWriter::Encoding::addStream(const AVCodecContext* codec, std::string& error) {
    AVStream* const stream = avformat_new_stream(file, nullptr);
    const int result = stream == nullptr ? AVERROR(ENOMEM)
                                         : avcodec_parameters_from_context(stream->codecpar, codec);
    if (result < 0) {
        fail(result, "cannot add a stream", error);
        return nullptr;
    }
    stream->time_base = codec->time_base;
    return stream;
}

bool VideoWriter::Encoding::encode(const Frame& frame, std::string& error) {
    if (!started && !start(frame.width, frame.height, error))
        return false;
    auto begun = std::chrono::steady_clock::now();
    if (!convert(frame, error))
        return false;
    spent.converting += secondsSince(begun);
    begun = std::chrono::steady_clock::now();
    picture->pts = picturesSent++;
    if (!send(video, videoStream, picture, error))
        return false;
    spent.encodingVideo += secondsSince(begun);
    begun = std::chrono::steady_clock::now();
    if (!resample(frame.sound.data(), static_cast<int32_t>(frame.sound.size() / 2), error))
        return false;
    while (av_audio_fifo_size(soundWaiting) >= sound->frame_size)
        if (!sendSound(sound->frame_size, error))
            return false;
    spent.encodingSound += secondsSince(begun);
    return true;
}

// The frame's pixels into the picture, scaled to fit and centred when its size is another.
bool VideoWriter::Encoding::convert(const Frame& frame, std::string& error) {
    const int result = av_frame_make_writable(picture);
    if (result < 0)
        return fail(result, "no memory for a picture", error);
    const int32_t width = picture->width;
    const int32_t height = picture->height;
    int32_t fitWidth = width;
    int32_t fitHeight = height;
    if (frame.width != width || frame.height != height) {
        const double scale = std::min(static_cast<double>(width) / frame.width,
                                      static_cast<double>(height) / frame.height);
        fitWidth = std::clamp(static_cast<int32_t>(frame.width * scale) & ~1, 2, width);
        fitHeight = std::clamp(static_cast<int32_t>(frame.height * scale) & ~1, 2, height);
        // Black around it, in video's range.
        const ptrdiff_t lines[4] = {picture->linesize[0], picture->linesize[1],
                                    picture->linesize[2], 0};
        av_image_fill_black(picture->data, lines, AV_PIX_FMT_YUV420P, AVCOL_RANGE_MPEG, width,
                            height);
    }
    const int32_t left = ((width - fitWidth) / 2) & ~1;
    const int32_t top = ((height - fitHeight) / 2) & ~1;
    if (converter == nullptr || frame.width != convertedWidth || frame.height != convertedHeight) {
        sws_freeContext(converter);
        converter = sws_getContext(frame.width, frame.height, AV_PIX_FMT_RGB24, fitWidth, fitHeight,
                                   AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (converter == nullptr)
            return fail(AVERROR(EINVAL), "cannot convert a picture", error);
        // The screen's full-range RGB into BT.709's video range, as the stream says.
        const int* const bt709 = sws_getCoefficients(SWS_CS_ITU709);
        sws_setColorspaceDetails(converter, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
        convertedWidth = frame.width;
        convertedHeight = frame.height;
    }
    // GL's rows come bottom first: start at the last and step back.
    const int stride = frame.width * 3;
    const uint8_t* const source[1] = {frame.pixels.data() +
                                      static_cast<ptrdiff_t>(frame.height - 1) * stride};
    const int sourceStrides[1] = {-stride};
    uint8_t* const target[3] = {picture->data[0] + top * picture->linesize[0] + left,
                                picture->data[1] + top / 2 * picture->linesize[1] + left / 2,
                                picture->data[2] + top / 2 * picture->linesize[2] + left / 2};
    sws_scale(converter, source, sourceStrides, 0, frame.height, target, picture->linesize);
    return true;
}

bool VideoWriter::Encoding::resample(const int16_t* input, int32_t count, std::string& error) {
    const int room = swr_get_out_samples(resampler, count);
    resampled.resize(2 * static_cast<size_t>(std::max(room, 0)));
    uint8_t* output = reinterpret_cast<uint8_t*>(resampled.data());
    const uint8_t* source = reinterpret_cast<const uint8_t*>(input);
    const int made = swr_convert(resampler, &output, room, input ? &source : nullptr, count);
    if (made < 0)
        return fail(made, "cannot resample the sound", error);
    void* planes[1] = {output};
    const int written = av_audio_fifo_write(soundWaiting, planes, made);
    return written >= 0 || fail(written, "no memory for the sound", error);
}

bool VideoWriter::Encoding::sendSound(int32_t count, std::string& error) {
    const int result = av_frame_make_writable(block);
    if (result < 0)
        return fail(result, "no memory for the sound", error);
    block->nb_samples = count;
    av_audio_fifo_read(soundWaiting, reinterpret_cast<void**>(block->data), count);
    block->pts = soundSent;
    soundSent += count;
    return send(sound, soundStream, block, error);
}

bool VideoWriter::Encoding::send(AVCodecContext* codec, AVStream* stream, const AVFrame* frame,
                                 std::string& error) {
    int result = avcodec_send_frame(codec, frame);
    if (result < 0)
        return fail(result, "cannot encode", error);
    for (;;) {
        result = avcodec_receive_packet(codec, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
            return true;
        if (result < 0)
            return fail(result, "cannot encode", error);
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        result = av_interleaved_write_frame(file, packet);
        if (result < 0)
            return fail(result, "cannot write it", error);
    }
}

bool VideoWriter::Encoding::end(std::string& error) {
    if (!started)
        return true; // no frame came: the file stays empty
    // What the resampler holds back, then the last, shorter Opus frame.
    if (!resample(nullptr, 0, error))
        return false;
    while (av_audio_fifo_size(soundWaiting) > 0)
        if (!sendSound(std::min(av_audio_fifo_size(soundWaiting), sound->frame_size), error))
            return false;
    if (!send(sound, soundStream, nullptr, error) || !send(video, videoStream, nullptr, error))
        return false;
    int result = av_write_trailer(file);
    if (result >= 0)
        result = avio_closep(&file->pb);
    return result >= 0 || fail(result, "cannot write it", error);
}

VideoWriter::VideoWriter() = default;

VideoWriter::~VideoWriter() {
    std::string error;
    finish(error);
}

bool VideoWriter::open(const std::string& path, int32_t framesPerSecond, std::string& error) {
    av_log_set_level(AV_LOG_QUIET); // its failures reach the user as ours, in one line
    encoding = std::make_unique<Encoding>();
    encoding->path = path;
    encoding->fps = framesPerSecond;
    if (!encoding->openFile(error))
        return false;
    worker = std::thread([this] { encodeAll(); });
    return true;
}

bool VideoWriter::write(Frame& frame, std::string& error) {
    std::unique_lock<std::mutex> held(lock);
    changed.wait(held, [this] { return waiting.size() < framesAhead || !failure.empty(); });
    if (!failure.empty()) {
        error = failure;
        return false;
    }
    waiting.push_back(std::move(frame));
    frame = Frame{};
    if (!spare.empty()) {
        frame = std::move(spare.back());
        spare.pop_back();
    }
    changed.notify_all();
    return true;
}

bool VideoWriter::finish(std::string& error) {
    if (worker.joinable()) {
        {
            const std::lock_guard<std::mutex> held(lock);
            ending = true;
        }
        changed.notify_all();
        worker.join();
        if (failure.empty() && !encoding->end(error))
            failure = error;
    }
    error = failure;
    return failure.empty();
}

VideoWriter::Spent VideoWriter::spent() const {
    return encoding ? encoding->spent : Spent{};
}

void VideoWriter::encodeAll() {
    std::unique_lock<std::mutex> held(lock);
    for (;;) {
        changed.wait(held, [this] { return !waiting.empty() || ending; });
        if (waiting.empty())
            return;
        Frame frame = std::move(waiting.front());
        waiting.pop_front();
        const bool going = failure.empty();
        held.unlock();
        std::string error;
        // After a failure the frames are only taken, so that the drawing never waits for ever.
        const bool encoded = !going || encoding->encode(frame, error);
        held.lock();
        if (!encoded)
            failure = error;
        spare.push_back(std::move(frame));
        changed.notify_all();
    }
}

extern "C" const VideoWriterCalls throngwickVideoWriterCalls = {
    []() { return new VideoWriter; },
    [](VideoWriter* writer) { delete writer; },
    [](VideoWriter& writer, const std::string& path, int32_t framesPerSecond, std::string& error) {
        return writer.open(path, framesPerSecond, error);
    },
    [](VideoWriter& writer, VideoWriter::Frame& frame, std::string& error) {
        return writer.write(frame, error);
    },
    [](VideoWriter& writer, std::string& error) { return writer.finish(error); },
    [](const VideoWriter& writer) { return writer.spent(); },
};
