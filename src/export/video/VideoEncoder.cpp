#include "export/video/VideoEncoder.h"

#include "platform/StringTable.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cstring>

namespace pavonia {

struct VideoEncoder::State {
    ~State()
    {
        sws_freeContext(wholeScaler);
        sws_freeContext(regionScaler);
        av_frame_free(&picture);
        av_frame_free(&region);
        av_frame_free(&sound);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format) {
            if (format->pb)
                avio_closep(&format->pb);
            avformat_free_context(format);
        }
    }

    std::string path;
    VideoSettings settings;
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    AVFrame* picture = nullptr;
    AVFrame* sound = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* wholeScaler = nullptr;
    SwsContext* regionScaler = nullptr;
    AVFrame* region = nullptr; // a region's picture, before it goes into `picture`
    std::int64_t frames = 0;
    std::int64_t samples = 0;     // written to the encoder
    int soundFill = 0;            // samples waiting in `sound`
    bool headerWritten = false;
};

namespace {

// The system's error number behind an FFmpeg error, when there is one.
int systemErrorOf(int error)
{
    const int code = AVUNERROR(error);
    return code > 0 && code < 4096 ? code : 0;
}

} // namespace

VideoEncoder::VideoEncoder() : state_(std::make_unique<State>()) {}

VideoEncoder::~VideoEncoder() = default;

Result<> VideoEncoder::fail(int error) const
{
    const int system = systemErrorOf(error);
    if (system != 0)
        return Failure(str::VideoWriteFailed, {state_->path}, system);
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(error, text, sizeof text);
    return Failure(str::VideoEncodeFailed, {state_->path, text});
}

Result<> VideoEncoder::open(const std::string& path, const std::string& shownAs, const VideoSettings& settings,
                            const std::vector<VideoChapter>& chapters)
{
    State& s = *state_;
    s.path = shownAs;
    // The libraries' own reports (the encoder's statistics) are not ours to print.
    av_log_set_level(AV_LOG_ERROR);
    s.settings = settings;
    int error = avformat_alloc_output_context2(&s.format, nullptr, "mp4", path.c_str());
    if (error < 0)
        return fail(error);

    const AVCodec* h264 = avcodec_find_encoder_by_name("libx264");
    const AVCodec* aac = avcodec_find_encoder(AV_CODEC_ID_AAC);
    if (!h264 || !aac)
        return Failure(str::VideoEncoderMissing);

    s.video = avcodec_alloc_context3(h264);
    s.video->width = settings.size.width();
    s.video->height = settings.size.height();
    s.video->time_base = AVRational{1, settings.fps};
    s.video->framerate = AVRational{settings.fps, 1};
    s.video->pix_fmt = AV_PIX_FMT_YUV420P;
    s.video->gop_size = settings.fps * 10;
    // Colours as the converter makes them (BT.601, limited range), said so
    // in the stream for players.
    s.video->colorspace = AVCOL_SPC_SMPTE170M;
    s.video->color_primaries = AVCOL_PRI_SMPTE170M;
    s.video->color_trc = AVCOL_TRC_SMPTE170M;
    s.video->color_range = AVCOL_RANGE_MPEG;
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER)
        s.video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* videoOptions = nullptr;
    av_dict_set(&videoOptions, "preset", settings.preset.c_str(), 0);
    av_dict_set(&videoOptions, "crf", std::to_string(settings.crf).c_str(), 0);
    error = avcodec_open2(s.video, h264, &videoOptions);
    av_dict_free(&videoOptions);
    if (error < 0)
        return fail(error);

    s.audio = avcodec_alloc_context3(aac);
    s.audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    s.audio->sample_rate = settings.sampleRate;
    av_channel_layout_default(&s.audio->ch_layout, 1);
    s.audio->bit_rate = 96000;
    s.audio->time_base = AVRational{1, settings.sampleRate};
    if (s.format->oformat->flags & AVFMT_GLOBALHEADER)
        s.audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    error = avcodec_open2(s.audio, aac, nullptr);
    if (error < 0)
        return fail(error);

    s.videoStream = avformat_new_stream(s.format, nullptr);
    s.audioStream = avformat_new_stream(s.format, nullptr);
    if (!s.videoStream || !s.audioStream)
        return fail(AVERROR(ENOMEM));
    avcodec_parameters_from_context(s.videoStream->codecpar, s.video);
    avcodec_parameters_from_context(s.audioStream->codecpar, s.audio);
    s.videoStream->time_base = s.video->time_base;
    s.videoStream->avg_frame_rate = s.video->framerate;
    s.audioStream->time_base = s.audio->time_base;

    for (const VideoChapter& chapter : chapters) {
        auto* entry = static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter)));
        void* list = av_realloc_array(s.format->chapters, s.format->nb_chapters + 1, sizeof(AVChapter*));
        if (!entry || !list) {
            av_free(entry);
            return fail(AVERROR(ENOMEM));
        }
        s.format->chapters = static_cast<AVChapter**>(list);
        s.format->chapters[s.format->nb_chapters++] = entry;
        entry->id = chapter.slide + 1;
        entry->time_base = AVRational{1, 1000};
        entry->start = chapter.startMs;
        entry->end = chapter.endMs;
        av_dict_set(&entry->metadata, "title", chapter.title.c_str(), 0);
    }

    error = avio_open(&s.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (error < 0)
        return fail(error);
    AVDictionary* muxOptions = nullptr;
    av_dict_set(&muxOptions, "movflags", "+faststart", 0);
    error = avformat_write_header(s.format, &muxOptions);
    av_dict_free(&muxOptions);
    if (error < 0)
        return fail(error);
    s.headerWritten = true;

    s.packet = av_packet_alloc();
    s.picture = av_frame_alloc();
    s.sound = av_frame_alloc();
    s.picture->format = AV_PIX_FMT_YUV420P;
    s.picture->width = s.video->width;
    s.picture->height = s.video->height;
    s.sound->format = AV_SAMPLE_FMT_FLTP;
    s.sound->sample_rate = settings.sampleRate;
    av_channel_layout_default(&s.sound->ch_layout, 1);
    s.sound->nb_samples = s.audio->frame_size > 0 ? s.audio->frame_size : 1024;
    if (av_frame_get_buffer(s.picture, 0) < 0 || av_frame_get_buffer(s.sound, 0) < 0)
        return fail(AVERROR(ENOMEM));
    s.wholeScaler = sws_getContext(s.video->width, s.video->height, AV_PIX_FMT_BGRA, s.video->width,
                                   s.video->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!s.wholeScaler)
        return fail(AVERROR(ENOMEM));
    return {};
}

void VideoEncoder::setPicture(const QImage& picture)
{
    State& s = *state_;
    if (av_frame_make_writable(s.picture) < 0)
        return;
    const uint8_t* source[1] = {picture.constBits()};
    const int stride[1] = {static_cast<int>(picture.bytesPerLine())};
    sws_scale(s.wholeScaler, source, stride, 0, picture.height(), s.picture->data, s.picture->linesize);
}

void VideoEncoder::setRegion(const QRect& region, const QImage& part)
{
    State& s = *state_;
    if (region.isEmpty() || av_frame_make_writable(s.picture) < 0)
        return;
    // The converter writes whole vectors, past the end of a row that is not
    // a multiple of their size: it converts into a frame of its own, whose
    // rows are then copied into the picture.
    if (!s.region || s.region->width != region.width() || s.region->height != region.height()) {
        av_frame_free(&s.region);
        sws_freeContext(s.regionScaler);
        s.region = av_frame_alloc();
        s.region->format = AV_PIX_FMT_YUV420P;
        s.region->width = region.width();
        s.region->height = region.height();
        s.regionScaler = sws_getContext(region.width(), region.height(), AV_PIX_FMT_BGRA, region.width(),
                                        region.height(), AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr,
                                        nullptr);
        if (av_frame_get_buffer(s.region, 0) < 0 || !s.regionScaler) {
            av_frame_free(&s.region);
            return;
        }
    }
    const uint8_t* source[1] = {part.constBits()};
    const int stride[1] = {static_cast<int>(part.bytesPerLine())};
    sws_scale(s.regionScaler, source, stride, 0, region.height(), s.region->data, s.region->linesize);
    for (int plane = 0; plane < 3; ++plane) {
        const int shift = plane == 0 ? 0 : 1;
        const int left = region.left() >> shift, top = region.top() >> shift;
        const int width = region.width() >> shift, height = region.height() >> shift;
        for (int y = 0; y < height; ++y)
            std::memcpy(s.picture->data[plane] + (top + y) * s.picture->linesize[plane] + left,
                        s.region->data[plane] + y * s.region->linesize[plane], static_cast<std::size_t>(width));
    }
}

namespace {

// Sends `frame` (nothing: the end) and writes every packet the encoder has.
int encode(AVFormatContext* format, AVCodecContext* codec, AVStream* stream, AVPacket* packet, AVFrame* frame)
{
    int error = avcodec_send_frame(codec, frame);
    if (error < 0)
        return error;
    for (;;) {
        error = avcodec_receive_packet(codec, packet);
        if (error == AVERROR(EAGAIN) || error == AVERROR_EOF)
            return 0;
        if (error < 0)
            return error;
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        error = av_interleaved_write_frame(format, packet);
        if (error < 0)
            return error;
    }
}

} // namespace

Result<> VideoEncoder::writeFrame()
{
    State& s = *state_;
    s.picture->pts = s.frames++;
    const int error = encode(s.format, s.video, s.videoStream, s.packet, s.picture);
    if (error < 0)
        return fail(error);
    return {};
}

Result<> VideoEncoder::writeSound(const float* samples, std::size_t count)
{
    State& s = *state_;
    while (count > 0) {
        if (s.soundFill == 0 && av_frame_make_writable(s.sound) < 0)
            return fail(AVERROR(ENOMEM));
        const std::size_t room = static_cast<std::size_t>(s.sound->nb_samples - s.soundFill);
        const std::size_t take = std::min(room, count);
        std::memcpy(reinterpret_cast<float*>(s.sound->data[0]) + s.soundFill, samples, take * sizeof(float));
        s.soundFill += static_cast<int>(take);
        samples += take;
        count -= take;
        if (s.soundFill == s.sound->nb_samples) {
            s.sound->pts = s.samples;
            s.samples += s.soundFill;
            s.soundFill = 0;
            const int error = encode(s.format, s.audio, s.audioStream, s.packet, s.sound);
            if (error < 0)
                return fail(error);
        }
    }
    return {};
}

std::int64_t VideoEncoder::soundWritten() const { return state_->samples + state_->soundFill; }

Result<> VideoEncoder::finish()
{
    State& s = *state_;
    if (s.soundFill > 0) {
        // The last sound frame, as long as what is left.
        s.sound->nb_samples = s.soundFill;
        s.sound->pts = s.samples;
        s.samples += s.soundFill;
        s.soundFill = 0;
        const int error = encode(s.format, s.audio, s.audioStream, s.packet, s.sound);
        if (error < 0)
            return fail(error);
    }
    int error = encode(s.format, s.video, s.videoStream, s.packet, nullptr);
    if (error >= 0)
        error = encode(s.format, s.audio, s.audioStream, s.packet, nullptr);
    if (error >= 0)
        error = av_write_trailer(s.format);
    if (error >= 0 && s.format->pb->error < 0)
        error = s.format->pb->error;
    const int closed = avio_closep(&s.format->pb);
    if (error >= 0)
        error = closed;
    if (error < 0)
        return fail(error);
    return {};
}

} // namespace pavonia
