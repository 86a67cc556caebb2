// The video file writer on FFmpeg's libraries: FFV1 (lossless, the pixels as they are) in
// Matroska, or H.264 (4:2:0) in MP4.
#include "video_export.h"

#include "host/base/kel_memblock.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cstring>

namespace kel::video {

namespace {

// The live output's pixels in memory: 0xAARRGGBB words, little-endian, read without alpha.
constexpr AVPixelFormat kSourceFormat = AV_PIX_FMT_BGR0;

std::string AvError(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

const AVCodec* EncoderFor(VideoFormat format) {
    return format == VideoFormat::H264Mp4 ? avcodec_find_encoder(AV_CODEC_ID_H264)
                                          : avcodec_find_encoder(AV_CODEC_ID_FFV1);
}

class FfmpegWriter : public VideoFileWriter {
public:
    ~FfmpegWriter() override { Close(); }

    bool Open(const std::string& path, VideoFormat format, int width, int height,
              double framesPerSecond, std::string* error) override {
        const AVCodec* codec = EncoderFor(format);
        if (codec == nullptr)
            return Fail(error, "no encoder for the format");
        const char* container = format == VideoFormat::H264Mp4 ? "mp4" : "matroska";
        int code = avformat_alloc_output_context2(&m_format, nullptr, container, path.c_str());
        if (code < 0 || m_format == nullptr)
            return Fail(error, "cannot make the container: " + AvError(code));
        m_stream = avformat_new_stream(m_format, nullptr);
        m_codec = avcodec_alloc_context3(codec);
        if (m_stream == nullptr || m_codec == nullptr)
            return Fail(error, "out of memory");
        const AVRational rate = av_d2q(framesPerSecond, 100000);
        m_codec->width = width;
        m_codec->height = height;
        m_codec->time_base = av_inv_q(rate);
        m_codec->framerate = rate;
        m_codec->pix_fmt = format == VideoFormat::H264Mp4 ? AV_PIX_FMT_YUV420P : AV_PIX_FMT_BGR0;
        m_codec->gop_size = 25;
        // Frames in their order: every frame written is a frame a player shows, from the first.
        m_codec->max_b_frames = 0;
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (format == VideoFormat::H264Mp4 && m_codec->priv_data != nullptr)
            av_opt_set(m_codec->priv_data, "preset", "veryfast", 0);
        code = avcodec_open2(m_codec, codec, nullptr);
        if (code < 0)
            return Fail(error, "cannot open the encoder: " + AvError(code));
        code = avcodec_parameters_from_context(m_stream->codecpar, m_codec);
        if (code < 0)
            return Fail(error, AvError(code));
        m_stream->time_base = m_codec->time_base;
        if (!(m_format->oformat->flags & AVFMT_NOFILE)) {
            code = avio_open(&m_format->pb, path.c_str(), AVIO_FLAG_WRITE);
            if (code < 0)
                return Fail(error, "cannot write " + path + ": " + AvError(code));
        }
        code = avformat_write_header(m_format, nullptr);
        if (code < 0)
            return Fail(error, "cannot write the header: " + AvError(code));
        m_frame = av_frame_alloc();
        m_packet = av_packet_alloc();
        if (m_frame == nullptr || m_packet == nullptr)
            return Fail(error, "out of memory");
        m_frame->format = m_codec->pix_fmt;
        m_frame->width = width;
        m_frame->height = height;
        code = av_frame_get_buffer(m_frame, 0);
        if (code < 0)
            return Fail(error, AvError(code));
        if (m_codec->pix_fmt != kSourceFormat) {
            m_scale = sws_getContext(width, height, kSourceFormat, width, height, m_codec->pix_fmt,
                                     SWS_BILINEAR, nullptr, nullptr, nullptr);
            if (m_scale == nullptr)
                return Fail(error, "cannot convert the pixels");
        }
        m_width = width;
        m_height = height;
        return true;
    }

    bool Write(const CKelMemBlock& picture, std::string* error) override {
        if (m_frame == nullptr || picture.GetWidth() != m_width || picture.GetHeight() != m_height)
            return Fail(error, "the frame does not match the file");
        int code = av_frame_make_writable(m_frame);
        if (code < 0)
            return Fail(error, AvError(code));
        const auto* bits = reinterpret_cast<const uint8_t*>(picture.GetBits());
        const int stride = m_width * 4;
        if (m_scale != nullptr) {
            const uint8_t* planes[1] = {bits};
            const int strides[1] = {stride};
            sws_scale(m_scale, planes, strides, 0, m_height, m_frame->data, m_frame->linesize);
        } else {
            for (int y = 0; y < m_height; ++y)
                std::memcpy(m_frame->data[0] +
                                static_cast<std::ptrdiff_t>(y) * m_frame->linesize[0],
                            bits + static_cast<std::ptrdiff_t>(y) * stride,
                            static_cast<std::size_t>(stride));
        }
        m_frame->pts = m_nextPts++;
        code = avcodec_send_frame(m_codec, m_frame);
        if (code < 0)
            return Fail(error, "cannot encode: " + AvError(code));
        return Drain(error);
    }

    bool Finish(std::string* error) override {
        if (m_codec == nullptr)
            return Fail(error, "not open");
        int code = avcodec_send_frame(m_codec, nullptr);
        if (code < 0 || !Drain(error))
            return Fail(error, "cannot finish the encoding");
        code = av_write_trailer(m_format);
        if (code < 0)
            return Fail(error, "cannot finish the file: " + AvError(code));
        Close();
        return true;
    }

private:
    bool Drain(std::string* error) {
        for (;;) {
            int code = avcodec_receive_packet(m_codec, m_packet);
            if (code == AVERROR(EAGAIN) || code == AVERROR_EOF)
                return true;
            if (code < 0)
                return Fail(error, "cannot encode: " + AvError(code));
            // Each frame lasts one frame: without it MP4 cuts the last frame off its edit list.
            if (m_packet->duration <= 0)
                m_packet->duration = 1;
            av_packet_rescale_ts(m_packet, m_codec->time_base, m_stream->time_base);
            m_packet->stream_index = m_stream->index;
            code = av_interleaved_write_frame(m_format, m_packet);
            if (code < 0)
                return Fail(error, "cannot write: " + AvError(code));
        }
    }

    static bool Fail(std::string* error, const std::string& text) {
        if (error != nullptr && error->empty())
            *error = text;
        return false;
    }

    void Close() {
        sws_freeContext(m_scale);
        m_scale = nullptr;
        av_packet_free(&m_packet);
        av_frame_free(&m_frame);
        avcodec_free_context(&m_codec);
        if (m_format != nullptr) {
            if (!(m_format->oformat->flags & AVFMT_NOFILE) && m_format->pb != nullptr)
                avio_closep(&m_format->pb);
            avformat_free_context(m_format);
            m_format = nullptr;
        }
    }

    AVFormatContext* m_format = nullptr;
    AVStream* m_stream = nullptr;
    AVCodecContext* m_codec = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    SwsContext* m_scale = nullptr;
    int m_width = 0;
    int m_height = 0;
    int64_t m_nextPts = 0;
};

} // namespace

bool IsExportAvailable(std::string* /*why*/) {
    return true;
}

bool IsFormatAvailable(VideoFormat format) {
    return EncoderFor(format) != nullptr;
}

std::unique_ptr<VideoFileWriter> MakeVideoFileWriter() {
    // The encoders' statistics are no news to the user; failures are reported through errors.
    av_log_set_level(AV_LOG_ERROR);
    return std::make_unique<FfmpegWriter>();
}

} // namespace kel::video
