#include "harvest/Thumbnail.h"

#include "ui/Picture.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace harvest {

namespace {

void quietLibraries() {
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

std::string averror(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

struct FormatClose {
    void operator()(AVFormatContext* context) const noexcept { avformat_close_input(&context); }
};
struct CodecFree {
    void operator()(AVCodecContext* context) const noexcept { avcodec_free_context(&context); }
};
struct FrameFree {
    void operator()(AVFrame* frame) const noexcept { av_frame_free(&frame); }
};
struct PacketFree {
    void operator()(AVPacket* packet) const noexcept { av_packet_free(&packet); }
};
struct SwsFree {
    void operator()(SwsContext* context) const noexcept { sws_freeContext(context); }
};
struct IoFree {
    void operator()(AVIOContext* io) const noexcept {
        if (io) {
            av_freep(&io->buffer);
            avio_context_free(&io);
        }
    }
};
using Format = std::unique_ptr<AVFormatContext, FormatClose>;
using Codec = std::unique_ptr<AVCodecContext, CodecFree>;
using Frame = std::unique_ptr<AVFrame, FrameFree>;
using Packet = std::unique_ptr<AVPacket, PacketFree>;
using Sws = std::unique_ptr<SwsContext, SwsFree>;
using Io = std::unique_ptr<AVIOContext, IoFree>;

struct DictFree {
    AVDictionary* dict = nullptr;
    ~DictFree() { av_dict_free(&dict); }
};

// The frame scaled over the thumbnail (stretched, as the pages stretch pictures) and
// encoded.
std::string encodeFrame(const AVFrame* frame) {
    Sws sws(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                           kThumbnailWidth, kThumbnailHeight, AV_PIX_FMT_RGB24, SWS_AREA, nullptr,
                           nullptr, nullptr));
    if (!sws)
        throw ThumbnailError("cannot scale a frame of format " + std::to_string(frame->format));
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kThumbnailWidth) * kThumbnailHeight * 3);
    std::uint8_t* planes[4] = {rgb.data(), nullptr, nullptr, nullptr};
    int strides[4] = {kThumbnailWidth * 3, 0, 0, 0};
    if (sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, planes, strides) <= 0)
        throw ThumbnailError("cannot scale the frame");
    const std::vector<std::uint8_t> jpeg =
        ui::Picture::encodeJpeg(kThumbnailWidth, kThumbnailHeight, rgb, 85);
    return std::string(reinterpret_cast<const char*>(jpeg.data()), jpeg.size());
}

struct Deadline {
    std::chrono::steady_clock::time_point at;
};

int interruptAtDeadline(void* opaque) {
    return std::chrono::steady_clock::now() > static_cast<Deadline*>(opaque)->at ? 1 : 0;
}

// The first frame of the best video stream of an opened input, from `seekSeconds` on.
std::string firstFrame(AVFormatContext* format, double seekSeconds, const Deadline* deadline,
                       bool picture) {
    const AVCodec* decoder = nullptr;
    const int stream = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (stream < 0 || !decoder)
        throw ThumbnailError(picture ? "not a picture" : "no video stream");
    const AVCodecParameters* parameters = format->streams[stream]->codecpar;
    if (picture) {
        switch (parameters->codec_id) {
        case AV_CODEC_ID_MJPEG:
        case AV_CODEC_ID_PNG:
        case AV_CODEC_ID_WEBP:
        case AV_CODEC_ID_GIF:
        case AV_CODEC_ID_BMP:
            break;
        default:
            throw ThumbnailError("not a picture");
        }
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(std::max(parameters->width, 0)) *
                                 static_cast<std::uint64_t>(std::max(parameters->height, 0));
    if (pixels > ui::Picture::kMaxPixels)
        throw ThumbnailError("claims " + std::to_string(parameters->width) + " by " +
                             std::to_string(parameters->height) + " pixels");
    Codec codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), parameters) < 0)
        throw ThumbnailError("cannot set up the decoder");
    // The decoder refuses larger frames itself, whatever a later header says.
    codec->max_pixels = static_cast<std::int64_t>(ui::Picture::kMaxPixels);
    codec->thread_count = 1;
    if (const int rc = avcodec_open2(codec.get(), decoder, nullptr); rc < 0)
        throw ThumbnailError("cannot open the decoder: " + averror(rc));
    if (seekSeconds > 0)
        av_seek_frame(format, -1, static_cast<std::int64_t>(seekSeconds * AV_TIME_BASE),
                      AVSEEK_FLAG_BACKWARD);

    Packet packet(av_packet_alloc());
    Frame frame(av_frame_alloc());
    if (!packet || !frame)
        throw std::bad_alloc();
    // A video that decodes nothing within this many packets of its stream is given up.
    int budget = 2000;
    bool draining = false;
    while (budget > 0) {
        if (deadline && interruptAtDeadline(const_cast<Deadline*>(deadline)))
            throw ThumbnailError("the video did not arrive in time");
        if (!draining) {
            const int rc = av_read_frame(format, packet.get());
            if (rc < 0) {
                draining = true;
                avcodec_send_packet(codec.get(), nullptr);
            } else {
                if (packet->stream_index == stream) {
                    --budget;
                    avcodec_send_packet(codec.get(), packet.get());
                }
                av_packet_unref(packet.get());
            }
        }
        const int rc = avcodec_receive_frame(codec.get(), frame.get());
        if (rc == 0 && frame->width > 0 && frame->height > 0)
            return encodeFrame(frame.get());
        if (rc == AVERROR_EOF || (draining && rc == AVERROR(EAGAIN)))
            break;
    }
    throw ThumbnailError(picture ? "the picture cannot be decoded" : "no frame could be decoded");
}

struct Memory {
    std::string_view bytes;
    std::size_t position = 0;
};

int readMemory(void* opaque, std::uint8_t* buffer, int size) {
    auto* memory = static_cast<Memory*>(opaque);
    const std::size_t left = memory->bytes.size() - memory->position;
    if (left == 0)
        return AVERROR_EOF;
    const std::size_t count = std::min(left, static_cast<std::size_t>(size));
    std::memcpy(buffer, memory->bytes.data() + memory->position, count);
    memory->position += count;
    return static_cast<int>(count);
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

} // namespace

std::string thumbnailFromPicture(std::string_view bytes) {
    quietLibraries();
    if (bytes.empty())
        throw ThumbnailError("the picture is empty");
    Memory memory{bytes};
    constexpr int bufferSize = 64 * 1024;
    auto* buffer = static_cast<std::uint8_t*>(av_malloc(bufferSize));
    if (!buffer)
        throw std::bad_alloc();
    Io io(avio_alloc_context(buffer, bufferSize, 0, &memory, &readMemory, nullptr, nullptr));
    if (!io) {
        av_free(buffer);
        throw std::bad_alloc();
    }
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        throw std::bad_alloc();
    raw->pb = io.get();
    raw->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (const int rc = avformat_open_input(&raw, nullptr, nullptr, nullptr); rc < 0)
        throw ThumbnailError("not a picture: " + averror(rc));
    Format format(raw);
    if (avformat_find_stream_info(format.get(), nullptr) < 0)
        throw ThumbnailError("not a picture");
    return firstFrame(format.get(), 0, nullptr, true);
}

std::string thumbnailFromVideo(const std::string& url, std::chrono::milliseconds timeLimit) {
    quietLibraries();
    if (!startsWithNoCase(url, "http://") && !startsWithNoCase(url, "https://"))
        throw ThumbnailError("only http and https videos are read: " + url);
    Deadline deadline{std::chrono::steady_clock::now() + timeLimit};
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw)
        throw std::bad_alloc();
    raw->interrupt_callback.callback = &interruptAtDeadline;
    raw->interrupt_callback.opaque = &deadline;
    DictFree options;
    av_dict_set(&options.dict, "protocol_whitelist", "http,https,tcp,tls", 0);
    av_dict_set(&options.dict, "rw_timeout",
                std::to_string(std::chrono::microseconds(timeLimit).count()).c_str(), 0);
    av_dict_set(&options.dict, "user_agent", "Zorvex-Harvest/" ZORVEX_VERSION, 0);
    if (const int rc = avformat_open_input(&raw, url.c_str(), nullptr, &options.dict); rc < 0)
        throw ThumbnailError("cannot open the video: " + averror(rc));
    Format format(raw);
    format->probesize = 5 * 1024 * 1024;
    if (const int rc = avformat_find_stream_info(format.get(), nullptr); rc < 0)
        throw ThumbnailError("cannot read the video: " + averror(rc));
    const double seconds =
        format->duration > 0 ? static_cast<double>(format->duration) / AV_TIME_BASE : 0.0;
    return firstFrame(format.get(), seconds > 3.0 ? 1.0 : 0.0, &deadline, false);
}

const std::string& placeholderThumbnail() {
    static const std::string jpeg = [] {
        std::vector<std::uint8_t> rgb(static_cast<std::size_t>(kThumbnailWidth) * kThumbnailHeight *
                                      3);
        for (int y = 0; y < kThumbnailHeight; ++y) {
            for (int x = 0; x < kThumbnailWidth; ++x) {
                // A dark grey ground with a lighter triangle pointing right.
                const int dx = x - 50;
                const int dy = y - kThumbnailHeight / 2;
                const bool mark = dx >= 0 && dx <= 24 && std::abs(dy) * 2 <= 24 - dx;
                const std::uint8_t v = mark ? 200 : static_cast<std::uint8_t>(40 + y / 6);
                std::uint8_t* p = &rgb[(static_cast<std::size_t>(y) * kThumbnailWidth + x) * 3];
                p[0] = v;
                p[1] = v;
                p[2] = static_cast<std::uint8_t>(mark ? 200 : v + 10);
            }
        }
        const std::vector<std::uint8_t> bytes =
            ui::Picture::encodeJpeg(kThumbnailWidth, kThumbnailHeight, rgb, 85);
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }();
    return jpeg;
}

} // namespace harvest
